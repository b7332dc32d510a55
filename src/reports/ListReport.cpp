#include "reports/ListReport.h"

#include "reports/HeapTrim.h"

namespace scortavia {
namespace {

const QColor kSlate(0x4A, 0x56, 0x5B);
// 12.822 units a line (1/96 inch): the rows' pitch, which the band heights are computed from.
constexpr double kRowUnits = 12.822;

}  // namespace

std::unique_ptr<ReportTemplate> makeListTemplate() {
    auto report = std::make_unique<ReportTemplate>(QStringLiteral("Riepilogo dati"), QPageLayout::Landscape);

    auto title = std::make_unique<Band>(QStringLiteral("Titolo"), Band::Role::Title, 8, false);
    auto* titleText = title->add(std::make_unique<TextObject>(QStringLiteral("txtTitolo"), QRectF(2, 1, 273, 5)));
    titleText->font = {QStringLiteral("Verdana"), 9, true};
    titleText->color = Qt::white;
    titleText->background = kSlate;
    titleText->alignment = Qt::AlignCenter;
    titleText->setText(QStringLiteral("Riepilogo"));
    report->add(std::move(title));

    auto master = std::make_unique<Band>(QStringLiteral("MasterData"), Band::Role::MasterData, 28, true);
    auto* rows = master->add(std::make_unique<TextObject>(QStringLiteral("txtRiepilogo"), QRectF(3, 0, 273, 27)));
    rows->font = {QStringLiteral("Courier New"), 8, false};
    rows->lineHeightMm = kRowUnits / kUnitsPerMm;
    report->add(std::move(master));

    auto footer = std::make_unique<Band>(QStringLiteral("Calce"), Band::Role::Footer, 8, false);
    auto* page = footer->add(std::make_unique<TextObject>(QStringLiteral("txtPagina"), QRectF(3, 2, 272, 5)));
    page->font = {QStringLiteral("Verdana"), 8, true};
    page->color = Qt::white;
    page->background = kSlate;
    page->alignment = Qt::AlignCenter;
    page->setText(QStringLiteral("Stampa eseguita in data [DATE]"));
    report->add(std::move(footer));
    report->expandDateIn(QStringLiteral("txtPagina"));
    return report;
}

void fillList(ReportTemplate& report, const QString& title, const QStringList& rows) {
    report.find<TextObject>(QStringLiteral("txtTitolo"))->setText(title);
    auto* text = report.find<TextObject>(QStringLiteral("txtRiepilogo"));
    text->setLines(rows);
    auto* band = report.find<Band>(QStringLiteral("MasterData"));
    text->setHeight(text->lineCount() * kRowUnits);
    band->setHeight(text->rect().height() * kUnitsPerMm + 10);
}

void printList(QWidget* parent, ReportTemplate& report, const QString& title, const QStringList& rows) {
    fillList(report, title, rows);
    report.prepare();
    report.print(parent);
    // A list over several pages leaves megabytes of rows and laid-out pages behind: they go once
    // printed, and the heap gives them back when the caller's copy of the rows is gone too. A list
    // that fits on one page costs nothing to keep.
    if (report.pages().size() > 1) {
        report.releasePages();
        trimHeapWhenIdle();
    }
}

}  // namespace scortavia
