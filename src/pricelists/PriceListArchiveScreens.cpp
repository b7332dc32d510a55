#include "pricelists/PriceListArchiveScreens.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "pricelists/PriceListFiles.h"
#include "pricelists/PriceListReceiver.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/QtText.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgNoName =
    "Attenzione: per creare l'archivio è necessario indicare il nome del nuovo listino prezzi.";
constexpr std::string_view kMsgNameUsed =
    "Attenzione: il nome del listino prezzi indicato è già stato utilizzato in precedenza.\r\n\r\nInserire un nome "
    "diverso oppure, se si desidera aprire un listino prezzi già creato, premere il pulsante Apri listino esistente.";
constexpr std::string_view kMsgCreated =
    "Il file di archivio relativo al nuovo listino prezzi è stato creato con successo.\r\n\r\nE' ora possibile "
    "visualizzarlo nell'elenco dei listini esistenti.";
constexpr std::string_view kMsgNotCreated =
    "Attenzione: non è stato possibile creare il file di archivio del nuovo listino prezzi.\r\n\r\nAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.";
constexpr std::string_view kMsgEmptyList = "Attenzione: l'elenco non contiene nessun listino prezzi.";
constexpr const char* kMsgSelectToOpen =
    "Attenzione: selezionare il listino prezzi dall'elenco prima di premere il pulsante Apri archivio.";
constexpr const char* kMsgSelectToDelete =
    "Attenzione: selezionare dall'elenco il listino prezzi da eliminare prima di premere il pulsante del cestino.";
constexpr std::string_view kMsgConfirmDelete =
    "Si sta per eliminare il listino prezzi selezionato. Si ricorda che il file eliminato non potrà essere "
    "recuperato.\r\n\r\nSi conferma l'eliminazione dell'archivio?";
constexpr std::string_view kMsgDeleted = "Il listino prezzi è stato eliminato con successo.";
constexpr std::string_view kMsgNotDeleted =
    "Attenzione: il listino prezzi selezionato non è stato eliminato, perché non è stato possibile cancellare il "
    "suo file di archivio.\r\n\r\nAccertarsi che il file non sia in uso e di possedere i privilegi di scrittura "
    "nella cartella di installazione del programma.";
constexpr std::string_view kMsgFolderUnread =
    "Attenzione: non è stato possibile leggere l'elenco dei listini prezzi dalla cartella di installazione del "
    "programma.";

constexpr std::string_view kHomeKey = kMainMenuKey;
constexpr std::string_view kEditorKey = kPriceListEditorKey;

QString countText(int count) { return QStringLiteral("Sono stati creati %1 listini prezzi.").arg(count); }

QString pathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

constexpr const char* kFileBytes = "fileBytes";
constexpr const char* kFileShown = "fileShown";

// The bytes of a listed file's name, kept in its item: the text shows them.
constexpr int kFileNameRole = Qt::UserRole;

std::string fileNameOf(const QListWidgetItem* item) { return item->data(kFileNameRole).toByteArray().toStdString(); }

// A list that cannot be opened shows so, and says why when the mouse rests on it.
void showOpening(QListWidgetItem* item, const ListedArchive& archive) {
    item->setForeground(archive.canOpen() ? QColor(Qt::black) : palette::color("refuseInk"));
    item->setToolTip(toQString(openRefusal(archive)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// Drops a typed character that a list name must not hold; pasted text is left alone.
class ListNameTyping final : public QObject {
public:
    explicit ListNameTyping(QLineEdit* box) : QObject(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        for (const char32_t c : text.toUcs4()) {
            if (refusedWhenTyped(c)) return true;
        }
        return false;
    }
};

// The maximised screen of both: a white panel in the middle with the banner, the tile, the title
// and the instructions; the caller adds the rest to the returned layout.
QVBoxLayout* screenPanel(WorkArea* screen, const QString& picture, QLabel*& title, const QString& titleText,
                         QLabel*& instructions, const QString& instructionText) {
    screen->setWindowIcon(QIcon(QStringLiteral(":/icon_app.svg")));
    QVBoxLayout* layout = menuPanel(screen, 680);
    QWidget* panel = layout->parentWidget();
    layout->addWidget(
        new Picture(QStringLiteral("imgBanner"), QStringLiteral(":/caption_%1.svg").arg(picture), {300, 48}, panel), 0,
        Qt::AlignHCenter);

    title = captionLabel(QStringLiteral("lblTitolo"), titleText, panel);
    title->setProperty("heading", true);
    instructions = captionLabel(QStringLiteral("lblIstruzioni"), instructionText, panel);
    instructions->setWordWrap(true);
    auto* heading = new QVBoxLayout();
    heading->setSpacing(8);
    heading->addWidget(title);
    heading->addWidget(instructions);
    heading->addStretch(1);
    auto* top = new QHBoxLayout();
    top->setSpacing(28);
    top->addWidget(
        new Picture(QStringLiteral("imgListino"), QStringLiteral(":/tile_%1.svg").arg(picture), {160, 120}, panel), 0,
        Qt::AlignTop);
    top->addLayout(heading, 1);
    layout->addLayout(top);
    return layout;
}

PictureButton* helpButton(QWidget* parent) {
    auto* help = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {40, 40}, parent);
    help->setToolTip(QStringLiteral("Guida all'utilizzo del software"));
    help->reachByKeyboard();  // the only way to the help page
    return help;
}

}  // namespace

void showFileOnLabel(QLabel* label, const QString& shown, const std::string& bytes) {
    label->setText(shown);
    label->setProperty(kFileBytes, QByteArray::fromStdString(bytes));
    label->setProperty(kFileShown, shown);
}

std::string fileOnLabel(const QLabel* label) {
    const QString text = label->text();
    if (label->property(kFileShown).toString() == text && !text.isEmpty()) {
        return label->property(kFileBytes).toByteArray().toStdString();
    }
    return toStd(text);
}

TfrmCreaCatalogo::TfrmCreaCatalogo(ScreenRegistry& registry) : WorkArea(registry, toQString(screen::kCreaCatalogo)) {
    setWindowTitle(QStringLiteral(" Scortavia - Creazione listino prezzi"));
    presentMaximised();
    QVBoxLayout* layout = screenPanel(
        this, QStringLiteral("crea_listino"), lblTitolo, QStringLiteral("Creazione listino prezzi"), lblIstruzioni,
        QStringLiteral("Digitare nella casella sottostante il nome del nuovo listino prezzi e premere il pulsante "
                       "Applica e chiudi.\n\nIl nome comparirà nell'elenco dei listini che si apre con il pulsante "
                       "Apri listino esistente del menu principale.\n\nPremere il pulsante Annulla per uscire senza "
                       "creare un listino prezzi."));
    QWidget* panel = lblTitolo->parentWidget();

    titFile = captionLabel(QStringLiteral("titFile"), QStringLiteral("Nome del nuovo listino prezzi:"), panel);
    titFile->setProperty("heading", true);
    txtFile = editBox(QStringLiteral("txtFile"), 250, panel);
    QFont bold = txtFile->font();
    bold.setBold(true);
    bold.setPointSize(16);
    txtFile->setFont(bold);
    new ListNameTyping(txtFile);
    auto* name = new QVBoxLayout();
    name->setSpacing(6);
    name->addWidget(titFile);
    name->addWidget(txtFile);
    layout->addLayout(name);

    btnApplica = textButton(QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"), panel);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), panel);
    imgGuida = helpButton(panel);
    connect(imgGuida, &PictureButton::clicked, this,
            [this] { showHelp(this->registry(), this, HelpTopic::PriceListFiles); });
    layout->addSpacing(6);
    layout->addLayout(lineOf({imgGuida, nullptr, btnApplica, btnAnnulla}));

    lblFile = hiddenLabel(QStringLiteral("lblFile"), this);

    // Enter in the name creates the list, as "Applica e chiudi" does.
    connect(txtFile, &QLineEdit::returnPressed, btnApplica, &QAbstractButton::click);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmCreaCatalogo::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmCreaCatalogo::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    txtFile->clear();
    lblFile->clear();
    txtFile->setFocus();
}

void TfrmCreaCatalogo::btnApplicaClick() {
    lblFile->clear();
    const ListNameCheck name = checkListName(toStd(txtFile->text()));
    if (name.problem == ListNameProblem::Empty) {
        MessageService::warning(this, kMsgNoName);
        txtFile->setFocus();
        return;
    }
    // Pasted text passes the typing filter: whatever could lead out of the folder stops here.
    if (!name.ok()) {
        MessageService::warning(this, toQString(listNameWarning(name.problem)));
        txtFile->setFocus();
        return;
    }
    const CreateResult created = createListArchive(registry().programFolder(), name.name);
    lblFile->setText(pathText(created.path));
    switch (created.outcome) {
        case CreateOutcome::NameTaken:
            MessageService::warning(this, kMsgNameUsed);
            return;
        case CreateOutcome::Failed:
            MessageService::warning(this, kMsgNotCreated);
            return;
        case CreateOutcome::Created:
            break;
    }
    MessageService::information(this, kMsgCreated);
    close();
}

TfrmApriCatalogo::TfrmApriCatalogo(ScreenRegistry& registry) : WorkArea(registry, toQString(screen::kApriCatalogo)) {
    setWindowTitle(QStringLiteral(" Scortavia - Apertura listino prezzi"));
    presentMaximised();
    QVBoxLayout* layout = screenPanel(
        this, QStringLiteral("apri_listino"), lblTitolo, QStringLiteral("Apertura listino prezzi"), lblIstruzioni,
        QStringLiteral("Selezionare il listino prezzi nell'elenco sottostante e premere il pulsante "
                       "Apri archivio.\n\nFare clic sull'icona del cestino per eliminare il listino "
                       "prezzi selezionato.\n\nPremere il pulsante Annulla per uscire senza aprire un "
                       "listino prezzi."));
    QWidget* panel = lblTitolo->parentWidget();

    lstFiles = new QListWidget(panel);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    courier.setPointSize(14);
    lstFiles->setFont(courier);
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFiles->setUniformItemSizes(true);
    // A name too long for the box keeps its start and its extension in sight.
    lstFiles->setTextElideMode(Qt::ElideMiddle);
    lstFiles->setSpacing(2);  // the names clear of the frame and of each other
    lstFiles->setMinimumHeight(200);
    layout->addWidget(lstFiles, 1);

    lblCreati = captionLabel(QStringLiteral("lblCreati"), countText(0), panel);
    lblCreati->setProperty("count", true);
    btnElimina =
        new PictureButton(QStringLiteral("btnElimina"), QStringLiteral(":/foto_cancella.svg"), {36, 36}, panel);
    btnElimina->setToolTip(QStringLiteral("Elimina il listino prezzi selezionato"));
    btnElimina->reachByKeyboard();  // the only way to delete a list
    layout->addLayout(lineOf({lblCreati, nullptr, btnElimina}));

    btnApri = textButton(QStringLiteral("btnApri"), QStringLiteral("Apri archivio"), panel);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), panel);
    imgGuida = helpButton(panel);
    connect(imgGuida, &PictureButton::clicked, this,
            [this] { showHelp(this->registry(), this, HelpTopic::PriceListFiles); });
    layout->addLayout(lineOf({imgGuida, nullptr, btnApri, btnAnnulla}));

    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);
    lblMemory->setText(toQString(kHomeKey));
    lblFile = hiddenLabel(QStringLiteral("lblFile"), this);

    // Enter on the list moves to "Apri archivio"; Enter again presses it.
    enterMovesFocus({lstFiles, btnApri});
    connect(btnApri, &QPushButton::clicked, this, &TfrmApriCatalogo::btnApriClick);
    connect(btnElimina, &PictureButton::clicked, this, &TfrmApriCatalogo::btnEliminaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QWidget::close);
}

bool TfrmApriCatalogo::fillList() {
    lstFiles->clear();
    const auto archives = listArchives(registry().programFolder());
    if (!archives) return false;
    for (const ListedArchive& archive : *archives) {
        auto* item = new QListWidgetItem(toQString(archive.shownName), lstFiles);
        item->setData(kFileNameRole, QByteArray::fromStdString(archive.fileName));
        showOpening(item, archive);
    }
    return true;
}

void TfrmApriCatalogo::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    lblMemory->setText(toQString(kHomeKey));
    lblFile->setText(pathText(registry().programFolder()));
    const bool read = fillList();
    // With no list found the label keeps what it said.
    if (lstFiles->count() > 0) lblCreati->setText(countText(lstFiles->count()));
    lstFiles->setFocus();
    if (!read) QTimer::singleShot(0, this, [this] { MessageService::warning(this, kMsgFolderUnread); });
}

QListWidgetItem* TfrmApriCatalogo::selectedArchive(const char* noSelectionWarning) {
    if (lstFiles->count() == 0) {
        MessageService::warning(this, kMsgEmptyList);
        return nullptr;
    }
    const QList<QListWidgetItem*> selected = lstFiles->selectedItems();
    if (selected.isEmpty()) {
        MessageService::warning(this, QString::fromUtf8(noSelectionWarning));
        return nullptr;
    }
    return selected.front();
}

void TfrmApriCatalogo::btnApriClick() {
    QListWidgetItem* item = selectedArchive(kMsgSelectToOpen);
    if (!item) return;
    const std::filesystem::path folder = registry().programFolder();
    const std::string fileName = fileNameOf(item);
    // As the folder stands now: another list with the same photo names may have come since it was listed.
    const ListedArchive archive = archiveToOpen(folder, fileName);
    showOpening(item, archive);
    if (!archive.canOpen()) {
        MessageService::warning(this, toQString(openRefusal(archive)));
        return;
    }
    showFileOnLabel(lblFile, pathText(folder / toStd(item->text())), (folder / fileName).string());
    lblMemory->setText(toQString(kEditorKey));
    close();
}

void TfrmApriCatalogo::btnEliminaClick() {
    QListWidgetItem* item = selectedArchive(kMsgSelectToDelete);
    if (!item) return;
    if (!MessageService::question(this, kMsgConfirmDelete)) return;
    const std::filesystem::path folder = registry().programFolder();
    const std::string fileName = fileNameOf(item);
    showFileOnLabel(lblFile, pathText(folder / toStd(item->text())), (folder / fileName).string());
    // Only the archive goes: the list's photos stay in their folder.
    if (deleteListArchive(folder, fileName)) {
        MessageService::information(this, kMsgDeleted);
    } else {
        MessageService::warning(this, kMsgNotDeleted);
    }
    lblMemory->setText(toQString(kHomeKey));
    lblFile->clear();
    const bool read = fillList();
    lblCreati->setText(countText(lstFiles->count()));
    if (!read) MessageService::warning(this, kMsgFolderUnread);
}

void TfrmApriCatalogo::onClose() {
    QString key = lblMemory->text().trimmed();
    const QList<QListWidgetItem*> selected = lstFiles->selectedItems();
    if (key == toQString(kEditorKey) && selected.isEmpty()) key = toQString(kHomeKey);
    if (key == toQString(kEditorKey)) {
        const std::filesystem::path folder = registry().programFolder();
        const QString shown = selected.front()->text();
        const std::string fileName = fileNameOf(selected.front());
        if (auto* editor = registry().handOver().receiver<HandOver::PriceListOpen>(key)) {
            // The name without ".lis", whatever its case.
            editor->openPriceList({pathText(folder / toStd(shown)), (folder / fileName).string()},
                                  {shown.chopped(4), fileName.substr(0, fileName.size() - 4)});
        }
    }
    // An editor this program does not have (or any other key) leads back to the main menu.
    auto* next = registry().handOver().receiver<HandOver::MenuClose>(key);
    registry().switchTo(next ? next->objectName() : toQString(screen::kAvvio), this);
}

}  // namespace scortavia
