#include "movements/MovementCardPrint.h"

#include <QLineEdit>
#include <string>

#include "common/TextRules.h"
#include "movements/MovementCardScreen.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"

namespace scortavia {
namespace {

const QColor kLightSteelBlue(0xB0, 0xC4, 0xDE);
const QColor kGold(0xFF, 0xD7, 0x00);

constexpr double kRowsTop = 7;
constexpr double kRowPitch = 5;
constexpr double kRowHeight = 4.6;

QString rowName(const char* prefix, std::size_t row) {
    return QString::fromLatin1(prefix) + QString::number(row).rightJustified(2, QLatin1Char('0'));
}

// "txtFornitore" -> "titFornitore": a row's caption is named after its value.
QString captionName(const char* valueName) { return QStringLiteral("tit") + QString::fromLatin1(valueName + 3); }

// The captions of the printed rows: the card's own for the other party, its contact, the date and the
// quantity; the money rows have captions of their own, without the card's currency sign.
std::array<QString, kMovementPrintRowCount> rowCaptions(const MovementDirection& direction) {
    return {
        QStringLiteral("Documento n."),
        QStringLiteral("Data emissione:"),
        toQString(direction.partyCaption),
        toQString(direction.contactCaption),
        toQString(direction.dateCaption),
        QStringLiteral("Codice articolo:"),
        QStringLiteral("Tipologia:"),
        QStringLiteral("Marca e modello:"),
        QStringLiteral("Descrizione:"),
        toQString(direction.printUnitCaption),
        toQString(direction.quantityCaption),
        toQString(direction.printTotalCaption),
        QStringLiteral("Note:"),
    };
}

QString trimmed(const QString& text) {
    const std::string bytes = text.toStdString();
    return toQString(trimBlanks(bytes));
}

BoxObject* addBox(ReportTemplate& report, const QString& name, QRectF mm, QColor fill = Qt::transparent) {
    auto* box = report.add(std::make_unique<BoxObject>(name, mm));
    box->border = Qt::black;
    box->widthMm = 0.15;
    box->fill = fill;
    return box;
}

std::vector<PrintRun::Choice> movementCardChoices(const MovementDirection& direction) {
    std::vector<PrintRun::Choice> choices;
    choices.push_back({QString(), makeMovementCardTemplate(direction)});
    return choices;
}

}  // namespace

MovementPrintTexts movementPrintTextsOf(const MovementCardScreen& card) {
    const QLineEdit* boxes[kMovementPrintRowCount] = {
        card.txtNumDoc, card.txtDataDoc,   card.txtFornitore, card.txtRecapiti,    card.txtData,
        card.txtCodice, card.txtTipologia, card.txtMarca,     card.txtDescrizione, card.txtCostoUni,
        card.txtQuant,  card.txtCostoTot,  card.txtNote,
    };
    MovementPrintTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = boxes[i]->text();
    return texts;
}

std::unique_ptr<ReportTemplate> makeMovementCardTemplate(const MovementDirection& direction) {
    auto report = std::make_unique<ReportTemplate>(toQString(direction.printTemplate), QPageLayout::Portrait);
    const auto arial = [](double points) { return ReportFont{.family = QStringLiteral("Arial"), .pointSize = points}; };

    addBox(*report, QStringLiteral("shpTitolo"), QRectF(1, 1, 188, 5.8), kLightSteelBlue);
    report
        ->addText(QStringLiteral("titArcataSup"), QRectF(2, 2, 185.8, 4.2), arial(9), Qt::black, Qt::transparent,
                  Qt::AlignCenter)
        ->setText(toQString(direction.printTitle));

    const std::array<QString, kMovementPrintRowCount> captions = rowCaptions(direction);
    for (std::size_t i = 0; i < kMovementPrintRowCount; ++i) {
        const double top = kRowsTop + kRowPitch * static_cast<double>(i);
        addBox(*report, rowName("shpRiga", i + 1), QRectF(1, top, 188, kRowHeight));
        report->addText(captionName(kMovementPrintValues[i]), QRectF(2, top + 0.5, 37.8, 3.5), arial(7))
            ->setText(captions[i]);
        report->addText(QString::fromLatin1(kMovementPrintValues[i]), QRectF(44, top + 0.5, 144, 3.5), arial(7));
    }
    // From the top of the first row to the bottom of the last one.
    auto* column = report->add(std::make_unique<LineObject>(
        QStringLiteral("linColonna"),
        QRectF(42, kRowsTop, 0, kRowPitch * static_cast<double>(kMovementPrintRowCount - 1) + kRowHeight)));
    column->color = Qt::black;
    column->widthMm = 0.15;

    addBox(*report, QStringLiteral("shpCalce"), QRectF(1, 72, 188, 5.8), kGold);
    report
        ->addText(QStringLiteral("txtCalce"), QRectF(2, 73, 185.8, 4.2), arial(8), Qt::black, Qt::transparent,
                  Qt::AlignCenter)
        ->setText(QStringLiteral("Data e ora stampa"));
    return report;
}

void fillMovementCardTemplate(ReportTemplate& report, const MovementPrintTexts& texts, const QDateTime& now) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (auto* value = report.find<TextObject>(QString::fromLatin1(kMovementPrintValues[i])))
            value->setText(trimmed(texts[i]));
    }
    if (auto* footer = report.find<TextObject>(QStringLiteral("txtCalce"))) {
        footer->setText(QStringLiteral("Stampa eseguita in data %1 alle ore %2")
                            .arg(now.toString(QStringLiteral("dd/MM/yyyy")), now.toString(QStringLiteral("HH:mm:ss"))));
    }
}

MovementPrintDialog::MovementPrintDialog(ScreenRegistry& registry, QWidget* owner, const MovementDirection& direction)
    : PrintDialog(owner, designOf(direction), movementCardChoices(direction)),
      repDocumento(report()),
      registry_(registry),
      direction_(direction) {}

PrintDialogDesign MovementPrintDialog::designOf(const MovementDirection& direction) {
    return {.mode = PrintMode::Print,
            .name = direction.printName,
            .picture = ":/spiegazione_stampa_movimento.svg",
            .closeBox = true};
}

MovementCardScreen* MovementPrintDialog::card() const {
    return registry_.get<MovementCardScreen>(toQString(direction_.cardName));
}

std::optional<PrintRun::Fill> MovementPrintDialog::pageFill() {
    const MovementCardScreen* owner = card();
    if (!owner) return PrintRun::Fill();
    return [texts = movementPrintTextsOf(*owner)](ReportTemplate& report) {
        fillMovementCardTemplate(report, texts, QDateTime::currentDateTime());
    };
}

std::unique_ptr<MovementPrintDialog> makeMovementPrintDialog(ScreenRegistry& registry, QWidget* owner,
                                                             const MovementDirection& direction) {
    if (direction.direction == Direction::GoodsIn) return std::make_unique<TfrmStampaCarico>(registry, owner);
    return std::make_unique<TfrmStampaScarico>(registry, owner);
}

}  // namespace scortavia
