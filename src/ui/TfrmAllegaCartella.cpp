#include "ui/TfrmAllegaCartella.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "storage/CardFiles.h"
#include "ui/DesktopService.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgOverwrite =
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
    "Si vuole sovrascrivere il file esistente?";

// Same capacity as the description fields of the records.
constexpr int kDescriptionLength = 250;

// Trimmed the way stored texts are: blanks and control characters at both ends.
QString trimmedText(const QLineEdit* box) {
    const std::string text = box->text().toStdString();
    return QString::fromStdString(std::string(trimBlanks(text)));
}

bool isPlainName(const QString& name) { return paths::isPlainFileName(name.toStdString()); }

bool sameFile(const QString& a, const QString& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdString()), std::filesystem::path(b.toStdString()),
                                       ignored);
}

std::filesystem::path pathOf(const QString& file) { return std::filesystem::path(file.toStdString()); }

}  // namespace

TfrmAllegaCartella::TfrmAllegaCartella(ScreenRegistry& registry, QWidget* owner) : QDialog(owner), registry_(registry) {
    auto* layout = setUpDialog(this, QStringLiteral("frmAllegaCartella"), QStringLiteral(" Allega file"), {720, 356});
    auto* grid = formGrid(10, 10);
    grid->setColumnStretch(1, 1);
    buildSlot(grid, 0, lblNome01, txtFile01, btnSfoglia01, btnApri01, imgCancella01, lblDescrizione01, txtDesc01);
    buildSlot(grid, 1, lblNome02, txtFile02, btnSfoglia02, btnApri02, imgCancella02, lblDescrizione02, txtDesc02);
    buildSlot(grid, 2, lblNome03, txtFile03, btnSfoglia03, btnApri03, imgCancella03, lblDescrizione03, txtDesc03);
    layout->addLayout(grid);
    layout->addStretch(1);

    btnApplica = textButton(QStringLiteral("btnApplica"), QStringLiteral("Applica e chiudi"), this);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"), this);
    layout->addLayout(buttonRow({btnApplica, btnAnnulla}));
    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    for (int k = 0; k < kSlots; ++k) {
        const Slot& s = slots_[k];
        connect(s.browse, &QPushButton::clicked, this, [this, k] { btnSfogliaClick(k); });
        connect(s.open, &QPushButton::clicked, this, [this, k] { btnApriClick(k); });
        connect(s.remove, &PictureButton::clicked, this, [this, k] { imgCancellaClick(k); });
        connect(s.file, &QLineEdit::textChanged, this, [this, k] { txtFileChange(k); });
        txtFileChange(k);
    }
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    // The name boxes are read-only: start where a document is chosen.
    btnSfoglia01->setFocus();
}

void TfrmAllegaCartella::buildSlot(QGridLayout* grid, int slot, QLabel*& name, QLineEdit*& file, QPushButton*& browse,
                                   QPushButton*& open, PictureButton*& remove, QLabel*& description, QLineEdit*& text) {
    const QString number = QStringLiteral("%1").arg(slot + 1, 2, 10, QLatin1Char('0'));
    name = new QLabel(QString::fromUtf8("Nome %1° file allegato:").arg(slot + 1), this);
    name->setObjectName(QStringLiteral("lblNome") + number);
    file = new QLineEdit(this);
    file->setObjectName(QStringLiteral("txtFile") + number);
    file->setReadOnly(true);
    file->setMinimumHeight(28);
    browse = textButton(QStringLiteral("btnSfoglia") + number, QStringLiteral("Sfoglia..."), this);
    open = textButton(QStringLiteral("btnApri") + number, QStringLiteral("Apri"), this);
    remove = new PictureButton(QStringLiteral("imgCancella") + number, QStringLiteral(":/foto_cancella.svg"), {22, 22},
                               this);
    description = new QLabel(QString::fromUtf8("Descrizione %1° file allegato:").arg(slot + 1), this);
    description->setObjectName(QStringLiteral("lblDescrizione") + number);
    text = new QLineEdit(this);
    text->setObjectName(QStringLiteral("txtDesc") + number);
    text->setMaxLength(kDescriptionLength);
    text->setMinimumHeight(28);
    slots_[slot] = {file, browse, open, remove, text};

    const int row = slot * 3;
    if (slot > 0) {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        grid->addWidget(line, row - 1, 0, 1, 5);
    }
    grid->addWidget(name, row, 0);
    grid->addWidget(file, row, 1);
    grid->addWidget(browse, row, 2);
    grid->addWidget(open, row, 3);
    grid->addWidget(remove, row, 4);
    grid->addWidget(description, row + 1, 0);
    grid->addWidget(text, row + 1, 1, 1, 4);
}

void TfrmAllegaCartella::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) centerOnScreen(this);
}

QString TfrmAllegaCartella::attachmentFolder() const {
    return QString::fromStdString(paths::attachmentFolder(registry_.programFolder()).string());
}

void TfrmAllegaCartella::btnSfogliaClick(int slot) {
    const auto chosen = FileDialogService::openFile(this, QStringLiteral("Selezionare il file da allegare:"),
                                                    QStringLiteral("Tutti i file (*)"));
    if (!chosen) return;
    // Only a bare name stays inside the folder once joined to it: "dir/.." or "dir/" name no file.
    const QString name = QFileInfo(*chosen).fileName();
    if (!isPlainName(name)) return;
    slots_[slot].file->setText(name);

    const QString folder = attachmentFolder();
    QDir().mkpath(folder);
    const QString target = folder + QLatin1Char('/') + name;
    if (const auto there = cardFileExists(pathOf(target)); there && *there) {
        if (!MessageService::question(this, kMsgOverwrite)) return;
        // The user picked the document already in the folder: there is nothing to copy.
        if (sameFile(*chosen, target)) return;
    }
    // Complete or not at all: a document that cannot be read to the end (or a FIFO, a device
    // chosen by mistake) never leaves the one already in the folder cut short.
    // A failed copy says nothing, like a failed mkpath: the slot keeps the name and "Apri" shows what is there.
    static_cast<void>(copyIntoCardFile(pathOf(*chosen), pathOf(target)));
}

void TfrmAllegaCartella::btnApriClick(int slot) {
    // A name from a record written elsewhere may hold a path; it must not reach outside the folder.
    const QString name = trimmedText(slots_[slot].file);
    if (!isPlainName(name)) return;
    // A document kept on a server is opened from a copy in the temporary folder.
    const auto file = openableCardFile(pathOf(attachmentFolder() + QLatin1Char('/') + name),
                                       pathOf(QDir::tempPath() + QStringLiteral("/Scortavia")));
    const QString path = file ? QString::fromStdString(file->string()) : attachmentFolder() + QLatin1Char('/') + name;
    DesktopService::open(QLatin1Char('"') + path + QLatin1Char('"'));
}

void TfrmAllegaCartella::imgCancellaClick(int slot) { slots_[slot].file->clear(); }

void TfrmAllegaCartella::txtFileChange(int slot) {
    slots_[slot].open->setEnabled(!trimmedText(slots_[slot].file).isEmpty());
}

void TfrmAllegaCartella::setTexts(const AttachmentTexts& texts) {
    for (int k = 0; k < kSlots; ++k) {
        slots_[k].file->setText(QString::fromStdString(texts[k]).trimmed());
        slots_[k].text->setText(QString::fromStdString(texts[kSlots + k]).trimmed());
    }
}

void TfrmAllegaCartella::btnApplicaClick() {
    if (auto* card = registry_.handOver().receiver<HandOver::Attachments>(lblMemory->text())) {
        AttachmentTexts texts;
        for (int k = 0; k < kSlots; ++k) {
            texts[k] = trimmedText(slots_[k].file).toStdString();
            texts[kSlots + k] = trimmedText(slots_[k].text).toStdString();
        }
        card->setAttachmentTexts(texts);
    }
    accept();
}

}  // namespace scortavia
