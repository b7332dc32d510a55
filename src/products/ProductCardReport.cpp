#include "products/ProductCardReport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QShowEvent>
#include <QSvgRenderer>
#include <string>

#include "common/Numbers.h"
#include "common/TextRules.h"
#include "products/TfrmMagazzino.h"
#include "ui/PhotoBox.h"
#include "ui/QtText.h"
#include "ui/ScreenNames.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

const QColor kDarkOrange(0xD2, 0x69, 0x1E);
const QColor kTeal(0x16, 0x7A, 0x80);

constexpr double kPhotoRowsTop = 104;
constexpr double kPhotoRowsPitch = 9;
constexpr double kPlainRowsTop = 24;
constexpr double kPlainRowsPitch = 10;

// Row 11 has no colon on the printed card, unlike its caption on screen.
constexpr const char* kRowTitles[kProductPrintRowCount] = {
    "Codice articolo:",
    "Costo unitario:",
    "Nome prodotto:",
    "Giacenza attuale:",
    "Aspetto esteriore del bene:",
    "Categoria merceologica:",
    "Caratteristiche:",
    "Collocazione in magazzino:",
    "Ditta fornitrice:",
    "Agente:",
    "Recapito telefonico",
    "Documento di acquisto:",
    "Modalità di pagamento:",
    "Data scadenza:",
    "Note:",
    "Prezzo di vendita:",
    "Valore totale:",
    "Pagato:",
};

QString rowName(const char* prefix, std::size_t row) {
    return QString::fromLatin1(prefix) + QString::number(row).rightJustified(2, QLatin1Char('0'));
}

std::optional<double> readNumber(const QString& text) { return parseDecimalComma(text.toStdString()); }

QString trimmedText(const QLineEdit* box) {
    const std::string text = box->text().toStdString();
    return QString::fromStdString(std::string(trimBlanks(text)));
}

// The folder icon at the top-left corner, drawn large enough to stay sharp on paper.
const QImage& folderIcon() {
    static const QImage image = [] {
        QImage picture(QSize(340, 260), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        QSvgRenderer(QStringLiteral(":/cartella_gialla.svg")).render(&painter);
        return picture;
    }();
    return image;
}

void setText(ReportTemplate& report, const QString& name, const QString& text) {
    if (auto* object = report.find<TextObject>(name)) object->setText(text);
}

}  // namespace

std::optional<ProductPrintRows> productPrintRows(const ProductPrintTexts& texts) {
    const std::optional<double> cost = readNumber(texts.costo);
    const std::optional<double> stock = readNumber(texts.giacenza);
    if (!cost || !stock) return std::nullopt;
    const QString total = QString::fromStdString(formatGeneral(*stock * *cost));
    const QString values[kProductPrintRowCount] = {
        texts.codice,
        texts.costo,
        texts.nome,
        texts.giacenza,
        texts.um,
        texts.tipologia,
        texts.caratteristiche,
        texts.collocazione,
        texts.ditta,
        texts.agente,
        texts.recapito,
        texts.documento,
        texts.pagamento,
        texts.dataSca,
        texts.note,
        texts.prezzo,
        QString::fromUtf8("Costo unitario (€ %1) x giacenza (%2 pezzi) = € %3").arg(texts.costo, texts.giacenza, total),
        texts.pagato ? QString::fromUtf8("Sì") : QStringLiteral("No"),
    };
    ProductPrintRows rows;
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = {QString::fromUtf8(kRowTitles[i]), values[i]};
    return rows;
}

ProductPrintTexts productPrintTextsOf(const TfrmMagazzino& card) {
    ProductPrintTexts texts;
    texts.codice = trimmedText(card.txtCodice);
    texts.costo = trimmedText(card.txtCosto);
    texts.nome = trimmedText(card.txtNome);
    texts.giacenza = trimmedText(card.txtGiacenza);
    texts.um = trimmedText(card.txtUM);
    texts.tipologia = trimmedText(card.txtTipologia);
    texts.caratteristiche = trimmedText(card.txtCaratteristiche);
    texts.collocazione = trimmedText(card.txtCollocazione);
    texts.ditta = trimmedText(card.txtDitta);
    texts.agente = trimmedText(card.txtAgente);
    texts.recapito = trimmedText(card.txtRecapito);
    texts.documento = trimmedText(card.txtDocumento);
    texts.pagamento = trimmedText(card.txtPagamento);
    texts.dataSca = trimmedText(card.txtDataSca);
    texts.note = trimmedText(card.txtNote);
    texts.prezzo = trimmedText(card.txtPrezzo);
    texts.pagato = card.chkPagato->isChecked();
    return texts;
}

std::unique_ptr<ReportTemplate> makeProductCardTemplate(bool withPhoto) {
    auto report = std::make_unique<ReportTemplate>(QStringLiteral("Scheda informativa"), QPageLayout::Portrait);
    const auto arial = [](double points) { return ReportFont{.family = QStringLiteral("Arial"), .pointSize = points}; };

    report->add(std::make_unique<PictureObject>(QStringLiteral("imgCartella"), QRectF(3, 3, 17, 13)))
        ->setPicture(folderIcon());
    report->addText(QStringLiteral("txtTitolo"), QRectF(23, 3, 165, 9), arial(16), Qt::white, kDarkOrange,
                    Qt::AlignCenter);
    report->add(std::make_unique<LineObject>(QStringLiteral("linSepara01"), QRectF(23, 16, 165, 0)));
    if (withPhoto) report->add(std::make_unique<PictureObject>(QStringLiteral("imgFoto"), QRectF(4, 21, 183, 79)));

    const double top = withPhoto ? kPhotoRowsTop : kPlainRowsTop;
    const double pitch = withPhoto ? kPhotoRowsPitch : kPlainRowsPitch;
    for (std::size_t row = 1; row <= kProductPrintRowCount; ++row) {
        const double y = top + pitch * static_cast<double>(row - 1);
        report->addText(rowName("titCampo", row), QRectF(3, y, 52, 6), arial(9), Qt::white, kTeal);
        report->addText(rowName("txtCampo", row), QRectF(60, y, 128, 6), arial(10));
    }

    if (!withPhoto) {
        report->add(std::make_unique<BoxObject>(QStringLiteral("shpAppunti"), QRectF(3, 204, 185, 57)));
        report
            ->addText(QStringLiteral("titAppunti"), QRectF(3.5, 204.5, 60, 4), arial(6), Qt::black, Qt::transparent,
                      Qt::AlignLeft | Qt::AlignTop)
            ->setText(QStringLiteral("SPAZIO PER APPUNTI:"));
    }
    report->add(std::make_unique<LineObject>(QStringLiteral("linSepara02"), QRectF(3, 265, 185, 0)));
    report->addText(QStringLiteral("txtCalce"), QRectF(3, 269, 185, 6), arial(10), Qt::white, kDarkOrange,
                    Qt::AlignCenter);
    return report;
}

void fillProductCardTemplate(ReportTemplate& report, const ProductPrintRows& rows, const QImage& photo,
                             const QDateTime& now) {
    setText(report, QStringLiteral("txtTitolo"), QStringLiteral("SCHEDA PRODOTTO"));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        setText(report, rowName("titCampo", i + 1), rows[i].title);
        setText(report, rowName("txtCampo", i + 1), rows[i].value);
    }
    setText(report, QStringLiteral("txtCalce"),
            QStringLiteral("Stampa eseguita in data %1 alle ore %2")
                .arg(now.toString(QStringLiteral("dd/MM/yyyy")), now.toString(QStringLiteral("HH:mm:ss"))));
    if (auto* picture = report.find<PictureObject>(QStringLiteral("imgFoto"))) picture->setPicture(photo);
}

namespace {

// The product card's choices and the keys they pick their templates by.
constexpr const char* kWithPhoto = "con";
constexpr const char* kWithoutPhoto = "senza";

std::vector<PrintRun::Choice> productCardChoices() {
    std::vector<PrintRun::Choice> choices;
    choices.push_back({QString::fromLatin1(kWithPhoto), makeProductCardTemplate(true)});
    choices.push_back({QString::fromLatin1(kWithoutPhoto), makeProductCardTemplate(false)});
    return choices;
}

}  // namespace

ProductPrintDialog::ProductPrintDialog(ScreenRegistry& registry, QWidget* owner, Mode mode)
    : PrintDialog(owner, designOf(mode), productCardChoices()),
      optUno(option(0)),
      optDue(option(1)),
      repFoto(report(QString::fromLatin1(kWithPhoto))),
      repScheda(report(QString::fromLatin1(kWithoutPhoto))),
      registry_(registry) {
    imgLogo = new PhotoBox(QStringLiteral("imgLogo"), this);
    imgLogo->hide();
    imgBianco = new PhotoBox(QStringLiteral("imgBianco"), this);  // starts on the placeholder photo
    imgBianco->hide();
}

PrintDialogDesign ProductPrintDialog::designOf(Mode mode) {
    const bool print = mode == Mode::Print;
    return {.mode = mode,
            .name = print ? "frmStampaMag" : "frmAnteprimaMag",
            .picture = print ? ":/spiegazione_stampa.svg" : ":/spiegazione_anteprima.svg",
            .size = {516, 286},
            .options = {{"optUno", print ? "Stampa dati con foto." : "Anteprima dati con foto.", kWithPhoto},
                        {"optDue", print ? "Stampa dati senza foto." : "Anteprima dati senza foto.", kWithoutPhoto}}};
}

TfrmMagazzino* ProductPrintDialog::card() const { return registry_.get<TfrmMagazzino>(toQString(screen::kMagazzino)); }

void ProductPrintDialog::showEvent(QShowEvent* event) {
    PrintDialog::showEvent(event);
    if (event->spontaneous()) return;
    // The card's photo as it is now; a card with none to copy prints the fallback picture.
    const TfrmMagazzino* owner = card();
    const QImage photo = owner ? owner->imgFoto->image() : QImage();
    imgLogo->setImage(photo.isNull() ? imgBianco->image() : photo);
}

std::optional<PrintRun::Fill> ProductPrintDialog::pageFill() {
    TfrmMagazzino* owner = card();
    if (!owner) return std::nullopt;
    // Blank numbers print as zeros, and the card shows them from now on (still unsaved).
    if (trimmedText(owner->txtGiacenza).isEmpty()) owner->txtGiacenza->setText(QStringLiteral("0"));
    if (trimmedText(owner->txtCosto).isEmpty()) owner->txtCosto->setText(QStringLiteral("0,00"));
    // A stock or cost that is not a number leaves no total to print: the dialog stays as it is.
    const std::optional<ProductPrintRows> rows = productPrintRows(productPrintTextsOf(*owner));
    if (!rows) return std::nullopt;
    return [this, rows = *rows](ReportTemplate& report) {
        fillProductCardTemplate(report, rows, imgLogo->image(), QDateTime::currentDateTime());
    };
}

}  // namespace scortavia
