#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "movements/MovementCardPrint.h"
#include "movements/MovementLists.h"
#include "pricelists/PriceListPrint.h"
#include "products/ProductCardReport.h"
#include "products/ProductRows.h"
#include "reports/ListReport.h"
#include "reports/PrintService.h"
#include "summaries/Summaries.h"
#include "support/PrintedPage.h"
#include "support/Records.h"
#include "support/TempFolder.h"

using namespace scortavia;

namespace {

using P = ProductLayout;
using M = MovementLayout;

constexpr double kMarginMm = 10;
constexpr double kToleranceMm = 0.5;
const QDateTime kNow(QDate(2024, 3, 12), QTime(10, 15, 42));

// A printout as a screen hands it to the print service: its template, filled and laid out.
using Printout = std::function<std::unique_ptr<ReportTemplate>()>;

QImage photo(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x4A, 0x7E, 0xC8));
    sky.setColorAt(1, QColor(0xE8, 0xC0, 0x70));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(0x30, 0x30, 0x30));
    painter.drawEllipse(QRectF(size.width() * 0.3, size.height() * 0.3, size.width() * 0.4, size.height() * 0.4));
    return picture;
}

std::unique_ptr<ReportTemplate> productCard(bool withPhoto) {
    const ProductPrintTexts texts{.codice = QStringLiteral("TR-0042"),
                                  .costo = QStringLiteral("89,90"),
                                  .nome = QStringLiteral("Trapano avvitatore a batteria"),
                                  .giacenza = QStringLiteral("12"),
                                  .um = QStringLiteral("Valigetta in plastica blu"),
                                  .tipologia = QStringLiteral("Elettroutensili"),
                                  .caratteristiche = QStringLiteral("Due batterie 18 V, caricatore rapido"),
                                  .collocazione = QStringLiteral("Scaffale B3"),
                                  .ditta = QStringLiteral("Ferramenta Rossi S.r.l."),
                                  .agente = QStringLiteral("Mario Bianchi"),
                                  .recapito = QStringLiteral("0461 123456"),
                                  .documento = QStringLiteral("Fattura 118/2024"),
                                  .pagamento = QStringLiteral("Bonifico a 30 giorni"),
                                  .dataSca = QStringLiteral("15/04/2024"),
                                  .note = QStringLiteral("Ordinare a fine mese"),
                                  .prezzo = QStringLiteral("129,00"),
                                  .pagato = true};
    auto report = makeProductCardTemplate(withPhoto);
    fillProductCardTemplate(*report, *productPrintRows(texts), photo({800, 600}), kNow);
    report->prepare();
    return report;
}

std::unique_ptr<ReportTemplate> movementCard() {
    const MovementPrintTexts texts = {
        "118/2024",
        "12/03/2024",
        "Ferramenta Rossi S.r.l.",
        "0461 123456",
        "13/03/2024",
        "TR-0042",
        "Elettroutensili",
        "Bosch GSR 18V",
        "Trapano avvitatore a batteria",
        "89,9000",
        "12",
        "1078,80",
        "Consegna al magazzino B, piano terra",
    };
    auto report = makeMovementCardTemplate(kGoodsIn);
    fillMovementCardTemplate(*report, texts, kNow);
    report->prepare();
    return report;
}

std::vector<ProductRecord> shopProducts(int count) {
    const char* names[] = {"Trapano avvitatore", "Martello da carpentiere",  "Cacciavite a croce PH2",
                           "Pinza universale",   "Viti autofilettanti 4x30", "Nastro isolante nero"};
    const char* categories[] = {"Elettroutensili", "Utensili", "Utensili", "Utensili", "Minuteria", "Elettricità"};
    std::vector<ProductRecord> products;
    for (int i = 0; i < count; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % 6;
        const std::string stock = std::to_string(3 + i % 17);
        const std::string cost = std::to_string(2 + i % 40) + "," + std::to_string(10 + i % 90);
        products.push_back(test::product("ART-" + std::to_string(1000 + i), names[k],
                                         {{P::Tipologia, categories[k]},
                                          {P::Giacenza, stock},
                                          {P::Costo, cost},
                                          {P::DataSca, "30/06/2024"},
                                          {P::Ditta, "Ferramenta Rossi S.r.l."}}));
    }
    return products;
}

// 53 rows fill the first page under the title; the rest and the footer go on the second.
std::unique_ptr<ReportTemplate> productList() {
    QStringList rows;
    for (const ProductRecord& product : shopProducts(53 + 12))
        rows << QString::fromStdString(productRowA(product.view()));
    auto report = makeListTemplate();
    fillList(*report, QStringLiteral("Riepilogo prodotti in magazzino"), rows);
    report->prepare();
    return report;
}

std::unique_ptr<ReportTemplate> movementSummary() {
    QStringList rows;
    for (int i = 0; i < 14; ++i) {
        const std::string day = (i < 9 ? "0" : "") + std::to_string(i + 1);
        rows << QString::fromStdString(
            movementRow(test::movement("Ferramenta Rossi S.r.l.", "ART-" + std::to_string(1000 + i),
                                       {{M::Data, day + "/03/2024"},
                                        {M::Tipologia, "Utensili"},
                                        {M::Descrizione, "Martello da carpentiere"},
                                        {M::Quant, "4"},
                                        {M::CostoTot, "54,40"}})
                            .view()));
    }
    for (const std::string& line : summaryFooterLines("Dal   01/03/2024   al   31/03/2024", "14", "€ 761,60"))
        rows << QString::fromStdString(line);
    auto report = makeListTemplate();
    fillList(*report, QStringLiteral("Movimenti di carico merce - Codice articolo: Tutti gli articoli"), rows);
    report->prepare();
    return report;
}

std::unique_ptr<ReportTemplate> inventory() {
    QStringList rows;
    for (const ProductRecord& product : shopProducts(24)) {
        std::string row;
        appendInventoryRow(row, product.view());
        rows << QString::fromStdString(row);
    }
    rows << QStringLiteral("--------------------------") << QString::fromUtf8("VALORE TOTALE: € 5123,40");
    auto report = makeListTemplate();
    fillList(*report, QStringLiteral("Inventario merce - Categoria: Tutti gli articoli in magazzino."), rows);
    report->prepare();
    return report;
}

std::unique_ptr<ReportTemplate> priceListPage() {
    PriceListPrintPage page;
    page.listName = QStringLiteral("Listino primavera 2024");
    page.pageNumber = QStringLiteral("3");
    const char* names[] = {"Trapano avvitatore", "Martello da carpentiere", "Cacciavite a croce", "Pinza universale",
                           "Sega circolare",     "Livella laser",           "Metro a nastro 5 m", "Smerigliatrice"};
    for (int k = 0; k < kPriceListPrintSlots; ++k) {
        PriceListPrintSlot& slot = page.slots[static_cast<std::size_t>(k)];
        slot.codice = QStringLiteral("ART-%1").arg(1000 + k);
        slot.nome = QString::fromLatin1(names[k]);
        slot.um = QStringLiteral("Confezione singola");
        slot.caratteristiche = QStringLiteral("Garanzia due anni");
        slot.prezzo = QStringLiteral("%1,50").arg(19 + 37 * k);
        slot.foto = priceListPhotoImage(photo({640, 480}));
    }
    page.slots[7].prezzo = QStringLiteral("1250,00");
    auto report = makePriceListTemplate();
    fillPriceListTemplate(*report, page);
    report->prepare();
    return report;
}

const std::map<QString, Printout>& printouts() {
    static const std::map<QString, Printout> all{
        {"scheda prodotto con foto", [] { return productCard(true); }},
        {"scheda prodotto senza foto", [] { return productCard(false); }},
        {"scheda carico", movementCard},
        {"lista prodotti", productList},
        {"riepilogo movimenti", movementSummary},
        {"inventario", inventory},
        {"pagina del listino", priceListPage},
    };
    return all;
}

// Where a laid-out page lands on the sheet: the report's millimetres, margin included, times
// `scale`, from `corner`.
struct Sheet {
    QSizeF sizeMm;
    double scale = 1;
    QPointF corner;

    QRectF map(const QRectF& onPageMm) const {
        const QRectF withMargin = onPageMm.translated(kMarginMm, kMarginMm);
        return QRectF(corner + withMargin.topLeft() * scale, withMargin.size() * scale);
    }
};

// A paper size the print dialog offers, holding the report's page shrunk to fit if it must, centred.
Sheet sheetFor(const ReportTemplate& report, QPageSize::PageSizeId paper) {
    const QSizeF page = report.paperMm();
    QSizeF size = QPageSize(paper).size(QPageSize::Millimeter);
    if ((size.width() > size.height()) != (page.width() > page.height())) size.transpose();
    const double scale = std::min({1.0, size.width() / page.width(), size.height() / page.height()});
    const QSizeF used = page * scale;
    return {size, scale, QPointF((size.width() - used.width()) / 2, (size.height() - used.height()) / 2)};
}

// What is measured on a printed page: the edges of a box (filled or framed), or the ink of one line
// of text in its slot.
struct Mark {
    QString what;
    int page = 1;  // of the report, 1-based
    const PlacedObject* object = nullptr;
    QString edges;        // for a box: which of L, T, R, B to measure, the others lying against a neighbour
    int line = 0;         // for a text: which of its lines on that page, from 0
    bool onFill = false;  // a text on its own background or on a filled box
};

Mark box(const ReportTemplate& report, int page, const QString& name, const QString& edges = QStringLiteral("LTRB")) {
    return {name, page, report.pages()[static_cast<std::size_t>(page - 1)].find(name), edges, 0, false};
}

Mark text(const ReportTemplate& report, int page, const QString& name, int line = 0) {
    const ReportPage& onPage = report.pages()[static_cast<std::size_t>(page - 1)];
    const PlacedObject* placed = onPage.find(name);
    if (!placed) return {name, page, nullptr, QString(), 0, false};
    if (line < 0) line = static_cast<int>(placed->lines.size()) + line;
    bool onFill = static_cast<const TextObject&>(*placed->source).background.alpha() > 0;
    for (const PlacedObject& other : onPage.objects) {
        const auto* filled = dynamic_cast<const BoxObject*>(other.source);
        if (filled && filled->fill.alpha() > 0 && other.rect.contains(placed->rect)) onFill = true;
    }
    return {name + QStringLiteral(" riga %1").arg(line + 1), page, placed, QString(), line, onFill};
}

// The first object's box and the last row of every printout, and the footer where there is one:
// what falls into the printer's unprintable edge first when the page moves.
std::vector<Mark> marksOf(const QString& printout, const ReportTemplate& r) {
    const int last = static_cast<int>(r.pages().size());
    if (printout.startsWith(QLatin1String("scheda prodotto"))) {
        return {box(r, 1, "txtTitolo"),   text(r, 1, "txtTitolo"), box(r, 1, "titCampo18"), text(r, 1, "titCampo18"),
                text(r, 1, "txtCampo18"), box(r, 1, "txtCalce"),   text(r, 1, "txtCalce")};
    }
    if (printout == QLatin1String("scheda carico")) {
        // The title strip touches the first row's frame, the last row's frame the footer strip.
        return {box(r, 1, "shpTitolo", "LTR"), text(r, 1, "titArcataSup"), box(r, 1, "shpRiga13", "LR"),
                text(r, 1, "titNote"),         text(r, 1, "txtNote"),      box(r, 1, "shpCalce", "LRB"),
                text(r, 1, "txtCalce")};
    }
    if (printout == QLatin1String("pagina del listino")) {
        return {text(r, 1, "txtNome"),      box(r, 1, "shpRiquadro_A"), text(r, 1, "txtNome_A"),
                box(r, 1, "shpRiquadro_H"), text(r, 1, "txtCodice_H"),  text(r, 1, "txtPrezzo_H"),
                text(r, 1, "txtPagina")};
    }
    // A list: the title band, the last row of every page and the first of every page after the first, the footer.
    std::vector<Mark> marks{box(r, 1, "txtTitolo"), text(r, 1, "txtTitolo"), text(r, 1, "txtRiepilogo", -1)};
    for (int page = 2; page <= last; ++page) {
        marks.push_back(text(r, page, "txtRiepilogo", 0));
        marks.push_back(text(r, page, "txtRiepilogo", -1));
    }
    marks.push_back(box(r, last, "txtPagina"));
    marks.push_back(text(r, last, "txtPagina"));
    return marks;
}

// Every way `mark` is off its place on the printed page, one line each; empty when it lands.
QStringList misplacements(const Mark& mark, const test::PrintedPage& printed, const Sheet& sheet) {
    const auto mm = [](double v) { return QString::number(v, 'f', 2); };
    if (!mark.object || (mark.edges.isEmpty() && mark.line >= mark.object->lines.size()))
        return {mark.what + QStringLiteral(": not on the page")};
    QStringList wrong;
    if (mark.edges.isEmpty()) {
        const auto& source = static_cast<const TextObject&>(*mark.object->source);
        const QRectF rect = mark.object->rect;
        const double pitch = mark.object->lines.size() > 1 ? source.linePitchMm() : rect.height();
        const QRectF slot = sheet.map(QRectF(rect.x(), rect.y() + mark.line * pitch, rect.width(), pitch));
        const QRectF expected = test::expectedLineInk(source, slot, mark.object->lines[mark.line], sheet.scale);
        // On a fill, only the fill: its own edges are no ink of the text.
        const QRectF found =
            mark.onFill ? printed.lineInk(slot.adjusted(0.3, 0.3, -0.3, -0.3), 0) : printed.lineInk(slot);
        if (found.isEmpty()) return {mark.what + QStringLiteral(": no ink at ") + mm(slot.top())};
        // Across, the side the text is aligned to: how far a long row runs depends on the font's size
        // to the device pixel, not on where it stands.
        const Qt::Alignment horizontal = source.alignment & Qt::AlignHorizontal_Mask;
        const char* anchor = (horizontal & Qt::AlignRight)     ? "right"
                             : (horizontal & Qt::AlignHCenter) ? "centre"
                                                               : "left";
        const auto anchorOf = [&](const QRectF& r) {
            if (horizontal & Qt::AlignRight) return r.right();
            if (horizontal & Qt::AlignHCenter) return r.center().x();
            return r.left();
        };
        const std::pair<const char*, std::pair<double, double>> sides[] = {
            {anchor, {anchorOf(found), anchorOf(expected)}},
            {"top", {found.top(), expected.top()}},
            {"bottom", {found.bottom(), expected.bottom()}},
        };
        for (const auto& [side, at] : sides) {
            if (std::abs(at.first - at.second) > kToleranceMm)
                wrong << QStringLiteral("%1 %2: ink at %3 mm, template %4 mm")
                             .arg(mark.what, side, mm(at.first), mm(at.second));
        }
        return wrong;
    }
    // A frame's line straddles its edge.
    QRectF onPage = mark.object->rect;
    if (const auto* frame = dynamic_cast<const BoxObject*>(mark.object->source)) {
        const double half = frame->widthMm / 2;
        onPage.adjust(-half, -half, half, half);
    }
    const QRectF expected = sheet.map(onPage);
    const double reach = 1.5;
    struct Edge {
        QChar name;
        bool horizontal;
        double across, from, to, at;
    };
    const Edge edges[] = {
        {'L', true, expected.center().y(), expected.left() - reach, expected.left() + reach, expected.left()},
        {'R', true, expected.center().y(), expected.right() + reach, expected.right() - reach, expected.right()},
        {'T', false, expected.center().x(), expected.top() - reach, expected.top() + reach, expected.top()},
        {'B', false, expected.center().x(), expected.bottom() + reach, expected.bottom() - reach, expected.bottom()},
    };
    for (const Edge& e : edges) {
        if (!mark.edges.contains(e.name)) continue;
        const std::optional<double> found = printed.firstInk(e.horizontal, e.across, e.from, e.to);
        if (!found) {
            wrong << QStringLiteral("%1 %2: no edge within %3 mm of %4 mm").arg(mark.what, e.name, mm(reach), mm(e.at));
        } else if (std::abs(*found - e.at) > kToleranceMm) {
            wrong
                << QStringLiteral("%1 %2: edge at %3 mm, template %4 mm").arg(mark.what, e.name, mm(*found), mm(e.at));
        }
    }
    return wrong;
}

// Prints `report` to a PDF file on the printer the print dialog starts from, with `paper` chosen in
// the dialog.
bool printToFile(const ReportTemplate& report, const std::filesystem::path& file, QPageSize::PageSizeId paper) {
    QPrinter printer(QPrinter::HighResolution);
    PrintService::setUpPrinter(printer, report);
    if (paper != QPageSize::A4) printer.setPageSize(QPageSize(paper));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file.string()));
    return PrintService::printPages(printer, report, 1, static_cast<int>(report.pages().size()), nullptr);
}

// Checks the marks of `printout` on the PDF file printed from it, whose first page is the report's `firstPage`.
QStringList misplacementsIn(const QString& printout, const ReportTemplate& report, const std::filesystem::path& pdf,
                            const Sheet& sheet, int firstPage = 1) {
    QStringList wrong;
    std::map<int, test::PrintedPage> pages;
    for (const Mark& mark : marksOf(printout, report)) {
        if (mark.page < firstPage) continue;
        auto [it, added] = pages.try_emplace(mark.page);
        if (added) it->second = test::PrintedPage::of(pdf, mark.page - firstPage + 1);
        if (it->second.isNull()) return {QStringLiteral("page %1 could not be rasterised").arg(mark.page)};
        if (std::abs(it->second.sizeMm().width() - sheet.sizeMm.width()) > 1 ||
            std::abs(it->second.sizeMm().height() - sheet.sizeMm.height()) > 1)
            return {QStringLiteral("sheet of %1 x %2 mm")
                        .arg(it->second.sizeMm().width())
                        .arg(it->second.sizeMm().height())};
        wrong << misplacements(mark, it->second, sheet);
    }
    return wrong;
}

}  // namespace

class PrintPlacementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachPrintoutLandsWhereItsTemplatePutsIt_data() {
        QTest::addColumn<QString>("printout");
        QTest::addColumn<int>("paper");
        for (const auto& [name, build] : printouts()) QTest::newRow(qPrintable(name)) << name << int(QPageSize::A4);
        // Letter chosen in the print dialog: the page shrinks to fit, centred, and keeps its margins in proportion.
        QTest::newRow("scheda prodotto con foto, Letter") << "scheda prodotto con foto" << int(QPageSize::Letter);
        QTest::newRow("lista prodotti, Letter") << "lista prodotti" << int(QPageSize::Letter);
    }
    void eachPrintoutLandsWhereItsTemplatePutsIt() {
        QFETCH(QString, printout);
        QFETCH(int, paper);
        const auto id = static_cast<QPageSize::PageSizeId>(paper);
        const std::unique_ptr<ReportTemplate> report = printouts().at(printout)();
        test::TempFolder folder;
        const auto pdf = folder.file("stampa.pdf");
        QVERIFY(printToFile(*report, pdf, id));
        const QStringList wrong = misplacementsIn(printout, *report, pdf, sheetFor(*report, id));
        QVERIFY2(wrong.isEmpty(), qPrintable(QLatin1Char('\n') + wrong.join(QLatin1Char('\n'))));
    }

    // The print dialog itself, printing pages 2 and 3 of a list to a file: the pages chosen, and
    // nothing else, in their places.
    void theDialogsPrintToFileKeepsPlacesAndPageRange() {
        QStringList rows;
        for (const ProductRecord& product : shopProducts(53 + 56 + 20))
            rows << QString::fromStdString(productRowA(product.view()));
        auto report = makeListTemplate();
        fillList(*report, QStringLiteral("Riepilogo prodotti in magazzino"), rows);
        report->prepare();
        QCOMPARE(report->pages().size(), size_t(3));
        test::TempFolder folder;
        const auto pdf = folder.file("lista.pdf");
        QString chosen;
        QTimer watch;
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            watch.stop();
            // Never a real printer: the dialog's own "print to file" entry, the last of its list.
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
            auto* range = dialog->findChild<QAbstractButton*>(QStringLiteral("printRange"));
            auto* from = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
            auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
            if (!printers || !file || !range || !from || !to) {
                dialog->reject();
                return;
            }
            printers->setCurrentIndex(printers->count() - 1);
            chosen = printers->currentText();
            if (!chosen.contains(QLatin1String("PDF"))) {
                dialog->reject();
                return;
            }
            file->setText(QString::fromStdString(pdf.string()));
            range->setChecked(true);
            from->setValue(2);
            to->setValue(3);
            dialog->accept();
        });
        watch.start();
        PrintService::print(*report, nullptr);
        QVERIFY2(chosen.contains(QLatin1String("PDF")), qPrintable(chosen));
        QVERIFY(std::filesystem::exists(pdf));
        QVERIFY(test::PrintedPage::of(pdf, 3).isNull());  // two pages, not three
        const QStringList wrong =
            misplacementsIn(QStringLiteral("lista prodotti"), *report, pdf, sheetFor(*report, QPageSize::A4), 2);
        QVERIFY2(wrong.isEmpty(), qPrintable(QLatin1Char('\n') + wrong.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(PrintPlacementTest)
#include "PrintPlacementTest.moc"
