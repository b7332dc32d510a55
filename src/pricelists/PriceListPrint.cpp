#include "pricelists/PriceListPrint.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <string>
#include <system_error>

#include "common/TextRules.h"
#include "products/ProductPhoto.h"
#include "storage/ArchivePaths.h"
#include "ui/PhotoBox.h"
#include "ui/QtText.h"
#include "ui/ScreenNames.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

namespace fs = std::filesystem;

const QColor kBrown(0x8B, 0x45, 0x13);
const QColor kNavy(0x00, 0x00, 0x80);

constexpr double kFirstSlotTop = 7;
constexpr double kSlotPitch = 33;
constexpr double kPriceLeft = 138.0;
constexpr double kPriceRight = 186.4;

// The slot objects of the template and the editor's controls share their names: "txtNome" + "_C".
QString slotName(const char* prefix, int slot) {
    return QString::fromLatin1(prefix) + QLatin1Char('_') + QLatin1Char(static_cast<char>('A' + slot));
}

QString trimmed(const QString& text) {
    const std::string bytes = text.toStdString();
    return toQString(trimBlanks(bytes));
}

QString labelText(const QWidget* editor, const char* name) {
    const auto* label = editor->findChild<const QLabel*>(QString::fromLatin1(name));
    return label ? trimmed(label->text()) : QString();
}

QString fieldText(const QWidget* editor, const char* prefix, int slot) {
    const auto* box = editor->findChild<const QLineEdit*>(slotName(prefix, slot));
    return box ? trimmed(box->text()) : QString();
}

PhotoBox* slotPicture(const QWidget* editor, int slot) {
    return editor->findChild<PhotoBox*>(slotName("imgFoto", slot));
}

void setText(ReportTemplate& report, const QString& name, const QString& text) {
    if (auto* object = report.find<TextObject>(name)) object->setText(text);
}

// Where the print copies go; nothing when the list name would lead out of the folder.
fs::path printCopyPath(const fs::path& programFolder, const QString& listName, int slot) {
    const std::string name = listName.toStdString();
    if (!paths::isPlainFileName(name + "_Anteprima_A.jpg")) return {};
    return paths::priceListPrintCopy(programFolder, name, slot);
}

// The photo folder, created with any folder missing above it; a failure shows at the first copy.
void makePhotoFolder(const fs::path& programFolder) {
    std::error_code ignored;
    fs::create_directories(paths::priceListPhotoFolder(programFolder), ignored);
}

QString pathText(const fs::path& path) { return QString::fromStdString(path.string()); }

std::vector<PrintRun::Choice> priceListChoices() {
    std::vector<PrintRun::Choice> choices;
    choices.push_back({QString(), makePriceListTemplate()});
    return choices;
}

}  // namespace

PriceListPrintPage priceListPageOf(const QWidget* editor) {
    PriceListPrintPage page;
    if (!editor) return page;
    page.listName = labelText(editor, "lblNome");
    page.pageNumber = labelText(editor, "lblPosizione");
    for (int k = 0; k < kPriceListPrintSlots; ++k) {
        PriceListPrintSlot& slot = page.slots[static_cast<std::size_t>(k)];
        slot.codice = fieldText(editor, "txtCodice", k);
        slot.nome = fieldText(editor, "txtNome", k);
        slot.um = fieldText(editor, "txtUM", k);
        slot.caratteristiche = fieldText(editor, "txtCaratteristiche", k);
        slot.prezzo = fieldText(editor, "txtPrezzo", k);
        if (const PhotoBox* picture = slotPicture(editor, k)) slot.foto = picture->image();
    }
    return page;
}

QImage priceListPhotoImage(const QImage& picture) {
    QImage photo(kPhotoSize, QImage::Format_ARGB32_Premultiplied);
    photo.fill(QColor(0, 0, 0, 0));
    if (!picture.isNull()) {
        QPainter painter(&photo);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), kPhotoSize), picture);
    }
    return photo;
}

PriceListPrintCopies makePriceListPrintCopies(const fs::path& programFolder, QWidget* editor) {
    PriceListPrintCopies done;
    if (!editor) return done;
    const QString listName = labelText(editor, "lblNome");

    makePhotoFolder(programFolder);
    for (; done.written < kPriceListPrintSlots; ++done.written) {
        const PhotoBox* picture = slotPicture(editor, done.written);
        const fs::path copy = printCopyPath(programFolder, listName, done.written);
        if (!picture || copy.empty() || !writeJpeg(pathText(copy), priceListPhotoImage(picture->image()))) break;
    }

    // A copy that could not be written may still stand there from another page: only this run's are shown.
    makePhotoFolder(programFolder);
    for (; done.loaded < done.written; ++done.loaded) {
        PhotoBox* picture = slotPicture(editor, done.loaded);
        const QString copy = pathText(printCopyPath(programFolder, listName, done.loaded));
        if (!picture->showFileBytes(readPictureFile(copy))) break;
    }
    return done;
}

std::unique_ptr<ReportTemplate> makePriceListTemplate() {
    auto report = std::make_unique<ReportTemplate>(QStringLiteral("Listino Prezzi"), QPageLayout::Portrait);
    const auto arial = [](double points, bool bold = false) {
        return ReportFont{.family = QStringLiteral("Arial"), .pointSize = points, .bold = bold};
    };
    report->addText(QStringLiteral("txtNome"), QRectF(1.0, 0.6, 188.0, 4.0), arial(8))
        ->setText(QStringLiteral("NOME LISTINO PREZZI"));
    for (int k = 0; k < kPriceListPrintSlots; ++k) {
        const double t = kFirstSlotTop + kSlotPitch * k;
        auto* frame = report->add(std::make_unique<BoxObject>(slotName("shpRiquadro", k), QRectF(1.0, t - 1, 188, 30)));
        frame->border = Qt::black;
        frame->widthMm = 0.2;
        report->add(std::make_unique<PictureObject>(slotName("imgFoto", k), QRectF(2.0, t, 38.0, 28.0)));
        report->addText(slotName("txtNome", k), QRectF(42.4, t, 145.0, 7.0), arial(16, true), kBrown)
            ->setText(QStringLiteral("NOME PRODOTTO"));
        report->addText(slotName("txtUM", k), QRectF(42.4, t + 9.0, 145.0, 4.0), arial(10))
            ->setText(QStringLiteral("ASPETTO ESTERIORE DEL BENE"));
        report->addText(slotName("txtCaratteristiche", k), QRectF(42.4, t + 15.0, 145.0, 4.0), arial(10))
            ->setText(QStringLiteral("CARATTERISTICHE DEL PRODOTTO"));
        report->addText(slotName("txtCodice", k), QRectF(42.4, t + 21.0, 93.6, 7.0), arial(16, true), kNavy)
            ->setText(QStringLiteral("CODICE XYZ"));
        // Wide enough for the euro sign and the twelve characters of the longest price, from 2 mm
        // after the code's box to the right edge the prices line up on.
        report
            ->addText(slotName("txtPrezzo", k), QRectF(kPriceLeft, t + 20.8, kPriceRight - kPriceLeft, 7.0),
                      arial(16, true), Qt::black, Qt::transparent, Qt::AlignRight | Qt::AlignVCenter)
            ->setText(QStringLiteral("0,00"));
    }
    report
        ->addText(QStringLiteral("txtPagina"), QRectF(0.0, 273.0, 190.0, 4.0), arial(8), Qt::black, Qt::transparent,
                  Qt::AlignCenter)
        ->setText(QStringLiteral("Pagina"));
    return report;
}

void fillPriceListTemplate(ReportTemplate& report, const PriceListPrintPage& page) {
    setText(report, QStringLiteral("txtNome"), page.listName);
    for (int k = 0; k < kPriceListPrintSlots; ++k) {
        const PriceListPrintSlot& slot = page.slots[static_cast<std::size_t>(k)];
        if (auto* picture = report.find<PictureObject>(slotName("imgFoto", k))) picture->setPicture(slot.foto);
        setText(report, slotName("txtNome", k), slot.nome);
        setText(report, slotName("txtUM", k), slot.um);
        setText(report, slotName("txtCaratteristiche", k), slot.caratteristiche);
        setText(report, slotName("txtCodice", k), slot.codice);
        setText(report, slotName("txtPrezzo", k), QString::fromUtf8("€  ") + slot.prezzo);
    }
    setText(report, QStringLiteral("txtPagina"), page.pageNumber);
}

PriceListPrintDialog::PriceListPrintDialog(ScreenRegistry& registry, QWidget* owner, Mode mode)
    : PrintDialog(owner, designOf(mode), priceListChoices()), repDocumento(report()), registry_(registry) {}

PrintDialogDesign PriceListPrintDialog::designOf(Mode mode) {
    const bool print = mode == Mode::Print;
    return {.mode = mode,
            .name = print ? "frmStampaProdotto" : "frmAnteprimaProdotto",
            .picture = print ? ":/spiegazione_stampa_listino.svg" : ":/spiegazione_anteprima_listino.svg",
            .buttons = PrintDialogDesign::Buttons::CancelFirst};
}

QWidget* PriceListPrintDialog::editor() const {
    if (QWidget* registered = registry_.screen(toQString(screen::kListinoPrezzi))) return registered;
    return parentWidget();
}

std::optional<PrintRun::Fill> PriceListPrintDialog::pageFill() {
    return [page = priceListPageOf(editor())](ReportTemplate& report) { fillPriceListTemplate(report, page); };
}

TfrmAnteprimaProdotto::TfrmAnteprimaProdotto(ScreenRegistry& registry, QWidget* owner)
    : PriceListPrintDialog(registry, owner, Mode::Preview) {}

TfrmStampaProdotto::TfrmStampaProdotto(ScreenRegistry& registry, QWidget* owner)
    : PriceListPrintDialog(registry, owner, Mode::Print) {}

std::unique_ptr<PriceListPrintDialog> makePriceListPrintDialog(ScreenRegistry& registry, QWidget* owner,
                                                               PriceListPrintDialog::Mode mode) {
    if (mode == PriceListPrintDialog::Mode::Preview) return std::make_unique<TfrmAnteprimaProdotto>(registry, owner);
    return std::make_unique<TfrmStampaProdotto>(registry, owner);
}

void openPriceListPrint(ScreenRegistry& registry, QWidget* editor, PriceListPrintDialog::Mode mode) {
    makePriceListPrintCopies(registry.programFolder(), editor);
    makePriceListPrintDialog(registry, editor, mode)->exec();
}

}  // namespace scortavia
