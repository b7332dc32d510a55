#include "backups/TfrmCopie.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>
#include <system_error>

#include "backups/BackupProgressWindow.h"
#include "backups/BackupRestore.h"
#include "backups/BackupSettings.h"
#include "backups/FolderAlone.h"
#include "backups/FolderLock.h"
#include "storage/ArchiveEngine.h"
#include "ui/BoxBehaviour.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr const char* kMsgInsideProgram =
    "La cartella delle copie deve stare fuori dalla cartella del programma, per esempio su una chiavetta USB o in "
    "una cartella di rete.";
constexpr const char* kMsgFolderNotKept =
    "Non è stato possibile ricordare la cartella scelta: il file delle impostazioni del programma (\"unins000.dll\") "
    "manca o non si può scrivere.";
constexpr const char* kMsgFolderInUse =
    "Il ripristino non è possibile mentre il programma è aperto su un altro computer (o in un'altra finestra). "
    "Chiudi Scortavia dappertutto e riprova.";
constexpr const char* kMsgLocksUnknown =
    "In questa cartella il programma non può accorgersi se Scortavia è aperto su un altro computer.\n\n"
    "Il ripristino va fatto quando Scortavia è chiuso su tutti gli altri computer che usano questa cartella. "
    "È chiuso dappertutto?";
constexpr const char* kMsgOnServer =
    "Gli archivi del negozio sono sul server: le copie di sicurezza si fanno sul server, oppure con «Copia in una "
    "cartella» della finestra «Archivio sul server». Qui si possono ancora verificare le copie fatte prima.";
constexpr const char* kMsgRestored =
    "Ripristino completato.\n\nScortavia ora si chiude: riaprilo per lavorare con i dati ripristinati.";

// Where the columns of the list are.
enum Column { kWhen, kKind, kSize, kProducts, kMovements, kPages, kColumns };

QString pathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
std::filesystem::path pathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

TfrmCopie::TfrmCopie(ScreenRegistry& registry, FolderLock* lock, QWidget* owner)
    : QDialog(owner), registry_(registry), lock_(lock) {
    QVBoxLayout* layout =
        setUpDialog(this, QStringLiteral("frmCopie"), QStringLiteral(" Copie di sicurezza"), {880, 560});
    layout->setSpacing(10);
    layout->addWidget(instructionBanner(
        QStringLiteral("lblIstruzioni"),
        QStringLiteral("Una copia di sicurezza contiene tutti i dati del negozio: archivi, foto, documenti allegati, "
                       "listini e password. Tienila fuori dalla cartella del programma, per esempio su una chiavetta "
                       "USB o in una cartella di rete."),
        this));

    txtCartella = new QLineEdit(this);
    txtCartella->setObjectName(QStringLiteral("txtCartella"));
    txtCartella->setReadOnly(true);
    txtCartella->setFocusPolicy(Qt::NoFocus);  // only "Scegli…" changes it
    txtCartella->setPlaceholderText(QStringLiteral("Nessuna cartella scelta"));
    btnCartella = textButton(QStringLiteral("btnCartella"), QStringLiteral("Scegli…"), this);
    layout->addLayout(
        lineOf({captionLabel(QStringLiteral("titCartella"), QStringLiteral("Cartella delle copie:"), this), txtCartella,
                btnCartella}));

    lstCopie = new QTableWidget(0, kColumns, this);
    lstCopie->setObjectName(QStringLiteral("lstCopie"));
    lstCopie->setHorizontalHeaderLabels({QStringLiteral("Data e ora"), QStringLiteral("Tipo"),
                                         QStringLiteral("Dimensione"), QStringLiteral("Prodotti"),
                                         QStringLiteral("Movimenti"), QStringLiteral("Pagine listino")});
    lstCopie->verticalHeader()->hide();
    lstCopie->verticalHeader()->setDefaultSectionSize(24);
    lstCopie->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstCopie->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstCopie->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstCopie->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCopie->setWordWrap(false);
    lstCopie->setShowGrid(false);
    lstCopie->setAlternatingRowColors(true);
    lstCopie->setTabKeyNavigation(false);
    QHeaderView* header = lstCopie->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    const QFontMetrics metrics = lstCopie->fontMetrics();
    const int margin = 4 * metrics.averageCharWidth();
    const auto widthFor = [&](const char* text) { return metrics.horizontalAdvance(QString::fromUtf8(text)) + margin; };
    lstCopie->setColumnWidth(kWhen, widthFor("00/00/0000 00:00"));
    lstCopie->setColumnWidth(kKind, widthFor("prima del ripristino"));
    lstCopie->setColumnWidth(kSize, widthFor("Dimensione"));
    lstCopie->setColumnWidth(kProducts, widthFor("Prodotti"));
    lstCopie->setColumnWidth(kMovements, widthFor("Movimenti"));
    layout->addWidget(lstCopie, 1);

    lblStato = new QLabel(this);
    lblStato->setObjectName(QStringLiteral("lblStato"));
    lblStato->setWordWrap(true);
    lblStato->setProperty("count", true);
    layout->addWidget(lblStato);

    btnCrea = textButton(QStringLiteral("btnCrea"), QStringLiteral("Crea copia adesso"), this);
    btnVerifica = textButton(QStringLiteral("btnVerifica"), QStringLiteral("Verifica"), this);
    btnRipristina = textButton(QStringLiteral("btnRipristina"), QStringLiteral("Ripristina…"), this);
    btnAnnullaRipristino =
        textButton(QStringLiteral("btnAnnullaRipristino"), QStringLiteral("Annulla ultimo ripristino"), this);
    layout->addLayout(lineOf({btnCrea, btnVerifica, btnRipristina, btnAnnullaRipristino, nullptr}));

    imgGuida = new PictureButton(QStringLiteral("imgGuida"), QStringLiteral(":/icon_guida.svg"), {32, 32}, this);
    imgGuida->reachByKeyboard();
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), this);
    QLabel* panInfo = nullptr;
    layout->addLayout(statusRow(panInfo, {imgGuida, btnChiudi}, this));

    auto* hints = new HoverHints(panInfo, this);
    hints->set(btnCartella, QStringLiteral("Sceglie dove tenere le copie: una chiavetta USB o una cartella di rete."));
    hints->set(lstCopie, QStringLiteral("Le copie trovate nella cartella, dalla più recente."));
    hints->set(btnCrea, QStringLiteral("Copia adesso tutti i dati nella cartella delle copie."));
    hints->set(btnVerifica, QStringLiteral("Controlla che la copia scelta sia integra, senza toccare i dati."));
    hints->set(btnRipristina, QStringLiteral("Rimette i dati come erano nella copia scelta."));
    hints->set(btnAnnullaRipristino, QStringLiteral("Riporta i dati a come erano prima dell'ultimo ripristino."));
    hints->set(imgGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints->set(btnChiudi, QStringLiteral("Chiude la finestra."));
    hints->watchAll();

    setTabOrder(btnCartella, lstCopie);
    setTabOrder(lstCopie, btnCrea);
    setTabOrder(btnCrea, btnVerifica);
    setTabOrder(btnVerifica, btnRipristina);
    setTabOrder(btnRipristina, btnAnnullaRipristino);
    setTabOrder(btnAnnullaRipristino, imgGuida);
    setTabOrder(imgGuida, btnChiudi);

    connect(btnCartella, &QPushButton::clicked, this, &TfrmCopie::btnCartellaClick);
    connect(btnCrea, &QPushButton::clicked, this, &TfrmCopie::btnCreaClick);
    connect(btnVerifica, &QPushButton::clicked, this, &TfrmCopie::btnVerificaClick);
    connect(btnRipristina, &QPushButton::clicked, this, &TfrmCopie::btnRipristinaClick);
    connect(btnAnnullaRipristino, &QPushButton::clicked, this, &TfrmCopie::btnAnnullaRipristinoClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(imgGuida, &PictureButton::clicked, this, [this] { showHelp(registry_, this, HelpTopic::Backups); });
    connect(lstCopie, &QTableWidget::itemSelectionChanged, this, &TfrmCopie::updateButtons);

    txtCartella->setText(toQString(readBackupSetting(registry_.programFolder(), kBackupFolderKey)));
    refresh();
    // Where the work starts: the folder first, while there is none.
    (btnCrea->isEnabled() ? btnCrea : btnCartella)->setFocus();
}

void TfrmCopie::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) centerOnScreen(this);
}

std::filesystem::path TfrmCopie::folder() const { return pathOf(txtCartella->text()); }

bool TfrmCopie::folderReachable() {
    std::error_code unknown;
    if (!txtCartella->text().isEmpty() && std::filesystem::is_directory(folder(), unknown)) return true;
    MessageService::warning(this, toQString(unreachableFolderText(folder())));
    refresh();
    return false;
}

void TfrmCopie::refresh(const std::filesystem::path& select) {
    rows_.clear();
    lstCopie->clearContents();
    std::error_code unknown;
    const bool chosen = !txtCartella->text().isEmpty();
    const bool reachable = chosen && std::filesystem::is_directory(folder(), unknown);
    if (reachable) {
        for (const std::filesystem::path& file : listBackups(folder()))
            rows_.push_back(backupListRow(file, readBackupInfo(file)));
    }
    lstCopie->setRowCount(static_cast<int>(rows_.size()));
    const QColor refused = palette::color("refuseInk");
    int selected = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const BackupListRow& row = rows_[i];
        const int at = static_cast<int>(i);
        const auto put = [&](int column, const std::string& text, Qt::Alignment align = Qt::AlignLeft) {
            auto* item = new QTableWidgetItem(toQString(text));
            item->setTextAlignment(align | Qt::AlignVCenter);
            if (!row.problem.empty()) {
                item->setForeground(refused);
                item->setToolTip(toQString(row.problem));
            }
            lstCopie->setItem(at, column, item);
        };
        put(kWhen, row.when);
        put(kKind, row.kind);
        put(kSize, row.size, Qt::AlignRight);
        if (row.problem.empty()) {
            put(kProducts, row.products, Qt::AlignRight);
            put(kMovements, row.movements, Qt::AlignRight);
            put(kPages, row.pages, Qt::AlignRight);
        } else {
            // Shown, not hidden: a damaged copy must be seen before the day it is needed.
            lstCopie->setSpan(at, kProducts, 1, kColumns - kProducts);
            put(kProducts, row.problem);
        }
        if (!select.empty() && row.file == select) selected = at;
    }
    if (selected >= 0) lstCopie->selectRow(selected);

    if (onServer()) {
        lblStato->setText(QString::fromUtf8(kMsgOnServer));
    } else if (!chosen) {
        lblStato->setText(QStringLiteral("Scegli prima la cartella delle copie con il pulsante «Scegli…»."));
    } else if (!reachable) {
        lblStato->setText(toQString(unreachableFolderText(folder())));
    } else if (rows_.empty()) {
        lblStato->setText(QStringLiteral("Nella cartella non c'è ancora nessuna copia."));
    } else if (rows_.size() == 1) {
        lblStato->setText(QStringLiteral("1 copia nella cartella."));
    } else {
        lblStato->setText(QStringLiteral("%1 copie nella cartella.").arg(rows_.size()));
    }
    updateButtons();
}

const BackupListRow* TfrmCopie::selectedRow() const {
    const QList<QTableWidgetItem*> items = lstCopie->selectedItems();
    if (items.isEmpty()) return nullptr;
    const auto at = static_cast<std::size_t>(items.front()->row());
    return at < rows_.size() ? &rows_[at] : nullptr;
}

std::filesystem::path TfrmCopie::lastRestoreCopy() const {
    const std::string name = readBackupSetting(registry_.programFolder(), kLastRestoreKey);
    // Only a backup's own name: the setting never leads out of the folder.
    if (txtCartella->text().isEmpty() || !parseBackupFileName(name)) return {};
    const std::filesystem::path file = folder() / name;
    std::error_code unknown;
    return std::filesystem::is_regular_file(file, unknown) ? file : std::filesystem::path();
}

// The folder's files are not the shop's data while its archives are on a server.
bool TfrmCopie::onServer() const { return archiveEngineOf(registry_.programFolder()) != nullptr; }

void TfrmCopie::updateButtons() {
    const bool chosen = !txtCartella->text().isEmpty() && !onServer();
    btnCrea->setEnabled(chosen);
    btnRipristina->setEnabled(chosen);
    btnVerifica->setEnabled(selectedRow() != nullptr);
    btnAnnullaRipristino->setEnabled(chosen && !lastRestoreCopy().empty());
}

void TfrmCopie::btnCartellaClick() {
    const std::filesystem::path& program = registry_.programFolder();
    const auto chosen = FileDialogService::chooseFolder(
        this, QStringLiteral("Scegli la cartella delle copie di sicurezza"), txtCartella->text());
    if (!chosen) return;
    const std::filesystem::path picked = pathOf(*chosen);
    if (isSameOrInside(picked, program)) {
        MessageService::warning(this, QString::fromUtf8(kMsgInsideProgram));
        return;
    }
    if (!writeBackupSetting(program, kBackupFolderKey, picked.string())) {
        MessageService::error(this, QString::fromUtf8(kMsgFolderNotKept));
        return;
    }
    txtCartella->setText(*chosen);
    refresh();
}

void TfrmCopie::btnCreaClick() {
    if (!folderReachable()) return;
    const LocalMinute now = localNow();
    bool cancelled = false;
    const Result<BackupInfo> made = [&] {
        BackupProgressWindow progress(this, QStringLiteral("Copia dei dati in corso…"));
        Result<BackupInfo> result =
            createBackup(registry_.programFolder(), newBackupPath(folder(), BackupKind::Manual, now),
                         BackupKind::Manual, manifestTime(now), progress.callback());
        cancelled = progress.cancelled();
        return result;
    }();
    if (!made) {
        // A cancelled copy leaves nothing behind, and nothing to say.
        if (!cancelled) MessageService::error(this, toQString(made.error()));
        return;
    }
    MessageService::information(this,
                                QStringLiteral("Copia di sicurezza creata.\n\nFile: %1\nDimensione: %2")
                                    .arg(pathText(made->file.filename()), toQString(backupSizeText(made->fileBytes))));
    refresh(made->file);
}

void TfrmCopie::btnVerificaClick() {
    const BackupListRow* row = selectedRow();
    if (!row) return;
    const BackupListRow chosen = *row;
    bool cancelled = false;
    const Result<BackupInfo> checked = [&] {
        BackupProgressWindow progress(this, QStringLiteral("Verifica della copia in corso…"));
        Result<BackupInfo> result = verifyBackup(chosen.file, progress.callback());
        cancelled = progress.cancelled();
        return result;
    }();
    if (!checked) {
        if (!cancelled) MessageService::error(this, toQString(checked.error()));
        return;
    }
    MessageService::information(this, QStringLiteral("La copia %1 è integra: %2 file controllati.")
                                          .arg(toQString(backupTitle(chosen)))
                                          .arg(checked->fileCount));
}

void TfrmCopie::btnRipristinaClick() {
    std::optional<BackupListRow> chosen;
    if (const BackupListRow* row = selectedRow()) {
        chosen = *row;
    } else {
        const auto file =
            FileDialogService::openFile(this, QStringLiteral("Scegli la copia da ripristinare"),
                                        QStringLiteral("Copie di Scortavia (Scortavia_*.zip)"), txtCartella->text());
        if (!file) return;
        chosen = backupListRow(pathOf(*file), readBackupInfo(pathOf(*file)));
        // Nothing to ask about a file that is no usable backup.
        if (!chosen->problem.empty()) {
            MessageService::error(this, toQString(chosen->problem));
            return;
        }
    }
    restoreFrom(
        chosen->file,
        QStringLiteral("I dati attuali di Scortavia saranno sostituiti da quelli della copia %1.\n\n"
                       "Prima la copia viene controllata, e dei dati attuali viene fatta una copia «prima del "
                       "ripristino», che permette di annullare il ripristino. Alla fine Scortavia si chiude.\n\n"
                       "Vuoi ripristinare la copia?")
            .arg(toQString(backupTitle(*chosen))));
}

void TfrmCopie::btnAnnullaRipristinoClick() {
    const std::filesystem::path file = lastRestoreCopy();
    if (file.empty()) return;
    const BackupListRow row = backupListRow(file, readBackupInfo(file));
    restoreFrom(file, QStringLiteral("I dati tornano come erano prima dell'ultimo ripristino (copia %1).\n\n"
                                     "Prima dei dati attuali viene fatta una copia «prima del ripristino». Alla fine "
                                     "Scortavia si chiude.\n\nVuoi annullare l'ultimo ripristino?")
                          .arg(toQString(backupTitle(row))));
}

void TfrmCopie::restoreFrom(const std::filesystem::path& file, const QString& question) {
    if (!folderReachable()) return;
    if (!MessageService::question(this, question)) return;
    FolderAlone alone =
        FolderAlone::take(lock_, this, QString::fromUtf8(kMsgFolderInUse), QString::fromUtf8(kMsgLocksUnknown));
    if (!alone.taken()) return;
    const std::filesystem::path& program = registry_.programFolder();
    const LocalMinute now = localNow();
    bool cancelled = false;
    const Result<RestoreOutcome> outcome = [&] {
        BackupProgressWindow progress(this, QStringLiteral("Ripristino dei dati in corso…"));
        Result<RestoreOutcome> result =
            restoreBackup(program, file, newBackupPath(folder(), BackupKind::BeforeRestore, now), manifestTime(now),
                          progress.callback());
        cancelled = progress.cancelled();
        return result;
    }();
    if (!outcome) {
        if (restoreLeftUnfinished(program)) {
            // Part of the data is swapped: only the next start finishes the restore, and nothing may be
            // saved meanwhile. The program ends, still holding the folder alone.
            MessageService::error(this, toQString(outcome.error()));
            accept();
            registry_.endProgram();
            return;
        }
        alone.share();
        if (!cancelled) MessageService::error(this, toQString(outcome.error()));
        refresh();
        return;
    }
    // The settings file is now the one of the backup: it learns again where the backups are and which copy
    // undoes this restore, and forgets a failure that belongs to its past. Should it refuse, the data are
    // restored all the same; only the undo is not offered.
    static_cast<void>(writeBackupSetting(program, kLastRestoreKey, outcome->beforeRestore.filename().string()));
    static_cast<void>(writeBackupSetting(program, kBackupFolderKey, folder().string()));
    static_cast<void>(writeBackupSetting(program, kBackupFailureKey, ""));
    MessageService::information(this, QString::fromUtf8(kMsgRestored));
    accept();
    // The work areas hold screens full of the old data: saving one would write old cards into the
    // restored archives. The program ends instead, with the folder still held alone.
    registry_.endProgram();
}

}  // namespace scortavia
