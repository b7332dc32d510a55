#include <sys/stat.h>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "pricelists/PriceListPrint.h"
#include "reports/PrintService.h"
#include "reports/TfrmPreview.h"
#include "shell/Application.h"
#include "storage/ArchivePaths.h"
#include "support/GuiActions.h"
#include "support/GuiRecorders.h"
#include "support/PrintedPage.h"
#include "support/TempFolder.h"
#include "ui/PhotoBox.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

using Mode = PriceListPrintDialog::Mode;

const QColor kBrown(0x8B, 0x45, 0x13);
const QColor kNavy(0x00, 0x00, 0x80);

QString slotName(const char* prefix, int slot) {
    return QString::fromLatin1(prefix) + QLatin1Char('_') + QLatin1Char(static_cast<char>('A' + slot));
}

// A picture whose left and right halves differ, so a stretched copy can be told from a fitted one.
QImage twoColours(QSize size, QColor left, QColor right) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(right);
    QPainter(&picture).fillRect(QRect(0, 0, size.width() / 2, size.height()), left);
    return picture;
}

bool near(QColor a, QColor b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Mean difference per channel of two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size()) return 255;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// The laid-out page of `report` painted on white paper, `pxPerMm` pixels to the paper's millimetre.
QImage paintedPage(const ReportTemplate& report, double pxPerMm) {
    QImage image((report.paperMm() * pxPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PrintService::paintPage(painter, report, report.pages().front(), pxPerMm);
    return image;
}

// Whether any pixel of the paper rectangle (millimetres from the paper's corner) is dark.
bool inked(const QImage& page, double pxPerMm, double fromX, double toX, double fromY, double toY) {
    for (int x = qRound(fromX * pxPerMm); x < qRound(toX * pxPerMm); ++x) {
        for (int y = qRound(fromY * pxPerMm); y < qRound(toY * pxPerMm); ++y) {
            if (page.pixelColor(x, y).lightness() < 128) return true;
        }
    }
    return false;
}

std::string fileBytes(const fs::path& path) { return test::readBytes(path); }

}  // namespace

// Stands in for the page editor: a work area named as it is, holding its controls by their names,
// each slot as the editor leaves an untouched one (empty texts, "0,00", the placeholder picture).
class PriceListPrintTest : public QObject {
    Q_OBJECT

    struct Slot {
        QLineEdit* codice;
        QLineEdit* nome;
        QLineEdit* um;
        QLineEdit* caratteristiche;
        QLineEdit* prezzo;
        PhotoBox* foto;
    };

    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<test::PrintRecorder> printer;
    std::unique_ptr<test::MessageRecorder> messages;
    std::unique_ptr<ScreenRegistry> registry;
    WorkArea* editor = nullptr;
    QLabel* lblNome = nullptr;
    QLabel* lblPosizione = nullptr;
    std::array<Slot, 8> slots{};

    const std::vector<test::PrintJob>& jobs() const { return printer->jobs; }

    fs::path copyOf(int slot, const std::string& list = "Estate") const {
        return paths::priceListPrintCopy(folder->path(), list, slot);
    }
    fs::path photoFolder() const { return paths::priceListPhotoFolder(folder->path()); }

    void fillSlot(int k, const QString& codice, const QString& nome, const QString& um, const QString& caratteristiche,
                  const QString& prezzo, const QImage& foto) {
        Slot& s = slots[static_cast<std::size_t>(k)];
        s.codice->setText(codice);
        s.nome->setText(nome);
        s.um->setText(um);
        s.caratteristiche->setText(caratteristiche);
        s.prezzo->setText(prezzo);
        s.foto->setImage(foto);
    }

    // Presses the editor's button for `mode` as the editor does: the print copies, then the dialog,
    // which `steps` drives. False when no dialog of that kind came up.
    bool pressEditorButton(Mode mode, const std::function<void(PriceListPrintDialog&)>& steps) {
        bool seen = false;
        test::onNextModal([&](QWidget* shown) {
            auto* dialog = qobject_cast<PriceListPrintDialog*>(shown);
            seen = dialog && dialog->mode() == mode;
            if (seen) steps(*dialog);
            if (shown->isVisible()) shown->close();
        });
        openPriceListPrint(*registry, editor, mode);
        return seen;
    }
    // The right button of the dialog, after which it closes by itself.
    void printWith(Mode mode) {
        bool closed = false;
        QVERIFY(pressEditorButton(mode, [&](PriceListPrintDialog& d) {
            test::click(d.btnStampa);
            closed = !d.isVisible();
        }));
        QVERIFY2(closed, "still open after the right button");
    }

    static void modeTable() {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("anteprima") << Mode::Preview;
        QTest::newRow("stampa") << Mode::Print;
    }

private Q_SLOTS:
    void initTestCase() { Application::applyLook(); }

    void init() {
        folder = std::make_unique<test::TempFolder>();
        printer = std::make_unique<test::PrintRecorder>();
        messages = std::make_unique<test::MessageRecorder>();
        registry = std::make_unique<ScreenRegistry>(folder->path());
        editor = registry->add(std::make_unique<WorkArea>(*registry, QStringLiteral("frmListinoPrezzi")));
        auto* grid = new QGridLayout(editor);
        lblNome = new QLabel(QStringLiteral("Estate"), editor);
        lblNome->setObjectName(QStringLiteral("lblNome"));
        lblPosizione = new QLabel(editor);
        lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
        grid->addWidget(lblNome, 0, 0);
        grid->addWidget(lblPosizione, 0, 1);
        for (int k = 0; k < 8; ++k) {
            Slot& s = slots[static_cast<std::size_t>(k)];
            QLineEdit** boxes[] = {&s.codice, &s.nome, &s.um, &s.caratteristiche, &s.prezzo};
            const char* prefixes[] = {"txtCodice", "txtNome", "txtUM", "txtCaratteristiche", "txtPrezzo"};
            for (int f = 0; f < 5; ++f) {
                *boxes[f] = editBox(slotName(prefixes[f], k), 250, editor);
                grid->addWidget(*boxes[f], k + 1, f + 1);
            }
            s.prezzo->setText(QStringLiteral("0,00"));
            s.foto = new PhotoBox(slotName("imgFoto", k), editor);
            s.foto->setMinimumSize(40, 30);
            grid->addWidget(s.foto, k + 1, 0);
        }
        editor->resize(1000, 700);
        editor->show();
        QVERIFY(QTest::qWaitForWindowActive(editor));
    }

    void cleanup() {
        registry.reset();  // the editor with it
        editor = nullptr;
        messages.reset();
        printer.reset();
        folder.reset();
    }

    // clang-format off
    void dialogsOpenInTheirDesignState_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("action");
        QTest::newRow("anteprima") << Mode::Preview << "frmAnteprimaProdotto" << " Anteprima di stampa" << "Mostra anteprima";
        QTest::newRow("stampa") << Mode::Print << "frmStampaProdotto" << " Stampa scheda" << "Stampa";
    }
    // clang-format on
    void dialogsOpenInTheirDesignState() {
        QFETCH(Mode, mode);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, action);
        QVERIFY(pressEditorButton(mode, [&](PriceListPrintDialog& d) {
            QCOMPARE(d.objectName(), name);
            if (mode == Mode::Preview) {
                QVERIFY(qobject_cast<TfrmAnteprimaProdotto*>(&d));
            } else {
                QVERIFY(qobject_cast<TfrmStampaProdotto*>(&d));
            }
            QCOMPARE(d.parentWidget(), editor);
            QVERIFY(d.isModal());
            QCOMPARE(d.windowTitle(), caption);
            QVERIFY(!d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
            QCOMPARE(d.minimumSize(), d.maximumSize());
            QVERIFY((d.geometry().center() - editor->geometry().center()).manhattanLength() < 4);
            QCOMPARE(d.btnAnnulla->text(), QStringLiteral("Annulla"));
            QCOMPARE(d.btnStampa->text(), action);
            QVERIFY(d.btnAnnulla->x() < d.btnStampa->x());
            QVERIFY(d.imgSpiegazione->isVisible());
            QCOMPARE(d.repDocumento->name(), QStringLiteral("Listino Prezzi"));
            const std::pair<QString, QString> design[] = {
                {"txtNome", "NOME LISTINO PREZZI"},
                {"txtNome_C", "NOME PRODOTTO"},
                {"txtUM_C", "ASPETTO ESTERIORE DEL BENE"},
                {"txtCaratteristiche_C", "CARATTERISTICHE DEL PRODOTTO"},
                {"txtCodice_C", "CODICE XYZ"},
                {"txtPrezzo_C", "0,00"},
                {"txtPagina", "Pagina"},
            };
            for (const auto& [object, text] : design) {
                QVERIFY2(d.repDocumento->find<TextObject>(object), qPrintable(object));
                QCOMPARE(d.repDocumento->find<TextObject>(object)->text(), text);
            }
        }));
        QVERIFY(jobs().empty());
    }

    void theRightButtonPrintsThePageOnScreen_data() {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("pageLine");
        QTest::newRow("anteprima of page 3") << Mode::Preview << " 3 "
                                             << "3";
        QTest::newRow("stampa of page 3") << Mode::Print << "3"
                                          << "3";
        QTest::newRow("stampa of a page never saved") << Mode::Print << ""
                                                      << "";
    }
    void theRightButtonPrintsThePageOnScreen() {
        QFETCH(Mode, mode);
        QFETCH(QString, position);
        QFETCH(QString, pageLine);
        lblNome->setText(QStringLiteral(" Estate "));
        lblPosizione->setText(position);
        fillSlot(0, " TR-0042 ", "  Trapano avvitatore", "Valigetta blu ", " Due batterie 18 V", " 89,90 ",
                 twoColours({800, 600}, Qt::red, Qt::blue));
        fillSlot(7, "MT-12", "Martello", "Manico in fibra", "Testa da 500 g", "12,50",
                 twoColours({300, 300}, Qt::yellow, Qt::darkGreen));
        // Texts that look like a template's markers print as typed.
        fillSlot(1, "[DATE]", "Pinza [PAGE]", "", "", "7,00", twoColours({100, 100}, Qt::gray, Qt::white));
        printWith(mode);

        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();
        QCOMPARE(job.request, mode == Mode::Preview ? PrintService::Request::Preview : PrintService::Request::Print);
        QCOMPARE(job.name, QStringLiteral("Listino Prezzi"));
        QCOMPARE(job.orientation, QPageLayout::Portrait);
        QCOMPARE(qRound(job.paperMm.width()), 210);
        QCOMPARE(qRound(job.paperMm.height()), 297);
        QCOMPARE(job.pages.size(), 1u);

        QCOMPARE(job.text("txtNome"), QStringLiteral("Estate"));
        QCOMPARE(job.text("txtPagina"), pageLine);
        QCOMPARE(job.text("txtCodice_A"), QStringLiteral("TR-0042"));
        QCOMPARE(job.text("txtNome_A"), QStringLiteral("Trapano avvitatore"));
        QCOMPARE(job.text("txtUM_A"), QStringLiteral("Valigetta blu"));
        QCOMPARE(job.text("txtCaratteristiche_A"), QStringLiteral("Due batterie 18 V"));
        QCOMPARE(job.text("txtPrezzo_A"), QString::fromUtf8("€  89,90"));
        QCOMPARE(job.text("txtCodice_H"), QStringLiteral("MT-12"));
        QCOMPARE(job.text("txtNome_H"), QStringLiteral("Martello"));
        QCOMPARE(job.text("txtPrezzo_H"), QString::fromUtf8("€  12,50"));
        QCOMPARE(job.text("txtCodice_B"), QStringLiteral("[DATE]"));
        QCOMPARE(job.text("txtNome_B"), QStringLiteral("Pinza [PAGE]"));
        // Each slot prints the picture its slot shows, the reduced copy of what it showed before.
        const QImage printedA = job.find("imgFoto_A")->picture;
        QCOMPARE(printedA.size(), kPhotoSize);
        QCOMPARE(printedA, slots[0].foto->image());
        QVERIFY(near(printedA.pixelColor(20, 137), Qt::red));
        QVERIFY(near(job.find("imgFoto_H")->picture.pixelColor(346, 137), Qt::darkGreen));

        // The editor keeps the texts as typed, and the dialog is gone.
        QCOMPARE(slots[0].nome->text(), QStringLiteral("  Trapano avvitatore"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void everyObjectSitsInItsPlace_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QRectF>("place");
        QTest::newRow("txtNome") << "txtNome" << QRectF(1, 0.6, 188, 4);
        QTest::newRow("txtPagina") << "txtPagina" << QRectF(0, 273, 190, 4);
        // The first slot, whose top is 7 mm, and the last, 33 mm apart each.
        const std::pair<int, double> tops[] = {{0, 7}, {7, 238}};
        for (const auto& [k, t] : tops) {
            auto add = [&, k = k](const char* prefix, QRectF place) {
                const QString object = slotName(prefix, k);
                QTest::newRow(qPrintable(object)) << object << place;
            };
            add("shpRiquadro", {1, t - 1, 188, 30});
            add("imgFoto", {2, t, 38, 28});
            add("txtNome", {42.4, t, 145, 7});
            add("txtUM", {42.4, t + 9, 145, 4});
            add("txtCaratteristiche", {42.4, t + 15, 145, 4});
            add("txtCodice", {42.4, t + 21, 93.6, 7});
            add("txtPrezzo", {138, t + 20.8, 48.4, 7});
        }
        QTest::newRow("shpRiquadro_D") << "shpRiquadro_D" << QRectF(1, 105, 188, 30);
    }
    void everyObjectSitsInItsPlace() {
        QFETCH(QString, object);
        QFETCH(QRectF, place);
        printWith(Mode::Print);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintedObject* printed = jobs().front().find(object);
        QVERIFY(printed);
        QCOMPARE(printed->rect, place);
    }

    // clang-format off
    void textsHaveTheirFonts_data() {
        QTest::addColumn<QString>("object");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("alignment");
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        QTest::newRow("txtNome") << "txtNome" << 8.0 << false << QColor(Qt::black) << left;
        QTest::newRow("txtNome_E") << "txtNome_E" << 16.0 << true << kBrown << left;
        QTest::newRow("txtUM_E") << "txtUM_E" << 10.0 << false << QColor(Qt::black) << left;
        QTest::newRow("txtCaratteristiche_E") << "txtCaratteristiche_E" << 10.0 << false << QColor(Qt::black) << left;
        QTest::newRow("txtCodice_E") << "txtCodice_E" << 16.0 << true << kNavy << left;
        QTest::newRow("txtPrezzo_E") << "txtPrezzo_E" << 16.0 << true << QColor(Qt::black)
                                     << int(Qt::AlignRight | Qt::AlignVCenter);
        QTest::newRow("txtPagina") << "txtPagina" << 8.0 << false << QColor(Qt::black) << int(Qt::AlignCenter);
    }
    // clang-format on
    void textsHaveTheirFonts() {
        QFETCH(QString, object);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, color);
        QFETCH(int, alignment);
        const std::unique_ptr<ReportTemplate> report = makePriceListTemplate();
        const auto* text = report->find<TextObject>(object);
        QVERIFY(text);
        QCOMPARE(text->font.family, QStringLiteral("Arial"));
        QCOMPARE(text->font.pointSize, points);
        QCOMPARE(text->font.bold, bold);
        QCOMPARE(text->color, color);
        QCOMPARE(int(text->alignment), alignment);
        QVERIFY(!text->wordWrap);
    }

    void anEmptySlotPrintsItsBoxThePlaceholderAndAZeroPrice() {
        fillSlot(0, "TR-0042", "Trapano", "Blu", "18 V", "89,90", twoColours({800, 600}, Qt::red, Qt::blue));
        printWith(Mode::Print);
        QCOMPARE(jobs().size(), 1u);
        const test::PrintJob& job = jobs().front();
        QVERIFY(job.find("shpRiquadro_D"));
        for (const char* prefix : {"txtNome", "txtUM", "txtCaratteristiche", "txtCodice"})
            QCOMPARE(job.text(slotName(prefix, 3)), QString());
        QCOMPARE(job.text("txtPrezzo_D"), QString::fromUtf8("€  0,00"));
        // The placeholder, as its print copy holds it.
        const QImage picture = job.find("imgFoto_D")->picture;
        QCOMPARE(picture.size(), kPhotoSize);
        QVERIFY2(meanDifference(picture, placeholderPhoto()) < 4,
                 qPrintable(QString::number(meanDifference(picture, placeholderPhoto()))));
    }

    // A name longer than its box runs up to the box's right edge on one line and stops there,
    // short of the slot's frame at 189 mm.
    void aLongNameIsCutAtTheRightEdgeOfItsBox() {
        const QString name = QStringLiteral("TRAPANO AVVITATORE A PERCUSSIONE BRUSHLESS 18 V CON DUE BATTERIE");
        fillSlot(0, "TR-0042", name, "", "", "189,00", placeholderPhoto());
        printWith(Mode::Print);
        QCOMPARE(jobs().size(), 1u);
        QCOMPARE(jobs().front().find("txtNome_A")->lines, QStringList{name});

        auto report = makePriceListTemplate();
        fillPriceListTemplate(*report, priceListPageOf(editor));
        report->prepare();
        // The name's box: 42.4 to 187.4 mm across, 7 to 14 mm down, inside the 10 mm margins.
        const double pxPerMm = 8;
        const QImage page = paintedPage(*report, pxPerMm);
        QVERIFY(inked(page, pxPerMm, 10 + 184, 10 + 187.4, 10 + 7, 10 + 14));
        QVERIFY(!inked(page, pxPerMm, 10 + 187.5, 10 + 188.8, 10 + 7, 10 + 14));
        // Nothing of it on the line below.
        QVERIFY(!inked(page, pxPerMm, 10 + 42.4, 10 + 187.4, 10 + 14.2, 10 + 15.8));
    }

    // "€  1250,00" ends at the right edge of its object, with room to spare on its left.
    void aPriceIsRightAligned() {
        fillSlot(0, "SG-3", "Sega circolare", "", "", "1250,00", placeholderPhoto());
        auto report = makePriceListTemplate();
        fillPriceListTemplate(*report, priceListPageOf(editor));
        report->prepare();
        QCOMPARE(report->pages().front().find("txtPrezzo_A")->lines, QStringList{QString::fromUtf8("€  1250,00")});
        const double pxPerMm = 8;
        const QImage page = paintedPage(*report, pxPerMm);
        // The price line of slot A: 146 to 186.4 mm across, 27.8 to 34.8 mm down.
        QVERIFY(inked(page, pxPerMm, 10 + 184.5, 10 + 186.4, 10 + 27.8, 10 + 34.8));
        QVERIFY(!inked(page, pxPerMm, 10 + 146, 10 + 152, 10 + 27.8, 10 + 34.8));
    }

    // The longest price the box takes keeps its euro sign and every digit, on paper and in the
    // preview: all of it stands inside its object, against the right edge.
    void theLongestPriceKeepsItsEuroSignAndEveryDigit_data() {
        QTest::addColumn<QString>("price");
        QTest::newRow("123456789,00") << "123456789,00";
        QTest::newRow("twelve digits, the widest") << "999999999999";
    }
    void theLongestPriceKeepsItsEuroSignAndEveryDigit() {
        QFETCH(QString, price);
        fillSlot(0, "SG-3", "Sega circolare", "", "", price, placeholderPhoto());
        auto report = makePriceListTemplate();
        fillPriceListTemplate(*report, priceListPageOf(editor));
        report->prepare();
        const PlacedObject* placed = report->pages().front().find("txtPrezzo_A");
        const QString text = QString::fromUtf8("€  ") + price;
        QCOMPARE(placed->lines, QStringList{text});
        const QRectF box = placed->rect.translated(10, 10);  // on the sheet
        const QRectF expected =
            test::expectedLineInk(static_cast<const TextObject&>(*placed->source), box, placed->lines.front());
        QVERIFY2(expected.left() > box.left() + 0.6, "the price is wider than its box");

        // Printed through the printer the print dialog sets up.
        const fs::path pdf = folder->file("listino.pdf");
        QPrinter paper(QPrinter::HighResolution);
        PrintService::setUpPrinter(paper, *report);
        paper.setOutputFormat(QPrinter::PdfFormat);
        paper.setOutputFileName(QString::fromStdString(pdf.string()));
        QVERIFY(PrintService::printPages(paper, *report, 1, 1, nullptr));
        const QRectF printed = test::PrintedPage::of(pdf, 1).lineInk(box);
        QVERIFY2(std::abs(printed.left() - expected.left()) < 0.5 && std::abs(printed.right() - expected.right()) < 0.5,
                 qPrintable(QStringLiteral("ink from %1 to %2 mm, the whole price from %3 to %4 mm")
                                .arg(printed.left())
                                .arg(printed.right())
                                .arg(expected.left())
                                .arg(expected.right())));

        // The preview's page: smaller glyphs on screen pixels, the same text whole, clear of the box's left edge.
        TfrmPreview preview(*report, nullptr);
        const QImage page = preview.findChild<QLabel*>("imgPagina1")->pixmap().toImage();
        const QRectF shown = test::PrintedPage::of(page, 96 / 25.4).lineInk(box);
        QVERIFY2(shown.left() > box.left() + 0.3 && shown.width() > expected.width() * 0.95 &&
                     std::abs(shown.right() - expected.right()) < 0.5,
                 qPrintable(QStringLiteral("shown from %1 to %2 mm").arg(shown.left()).arg(shown.right())));
    }

    // The copies are written, and shown on the editor, before the dialog opens: "Annulla" keeps them.
    void annullaPrintsNothingButTheCopiesStay_data() { modeTable(); }
    void annullaPrintsNothingButTheCopiesStay() {
        QFETCH(Mode, mode);
        QVERIFY(!fs::exists(photoFolder()));
        // Pictures of every shape: wide, tall, tiny and larger than a copy.
        const QSize sizes[] = {{800, 600}, {100, 300}, {20, 10}, {366, 274}, {1200, 400}, {50, 50}, {640, 480}};
        for (int k = 0; k < 7; ++k)
            slots[static_cast<std::size_t>(k)].foto->setImage(twoColours(sizes[k], Qt::red, Qt::blue));
        // Slot H keeps the placeholder.
        bool closed = false;
        QVERIFY(pressEditorButton(mode, [&](PriceListPrintDialog& d) {
            test::click(d.btnAnnulla);
            closed = !d.isVisible();
        }));
        QVERIFY(closed);
        QVERIFY(jobs().empty());
        QVERIFY(messages->shown.empty());

        std::set<std::string> expected;
        for (int k = 0; k < 8; ++k) {
            const fs::path copy = copyOf(k);
            expected.insert(copy.filename().string());
            QVERIFY2(fs::is_regular_file(copy), copy.c_str());
            const std::string bytes = fileBytes(copy);
            QVERIFY(bytes.rfind("\xFF\xD8\xFF", 0) == 0);  // JPEG
            QImage written;
            QVERIFY(written.loadFromData(QByteArray::fromStdString(bytes), "JPEG"));
            QCOMPARE(written.size(), kPhotoSize);
            // The editor shows the copy now.
            QCOMPARE(slots[static_cast<std::size_t>(k)].foto->image().size(), kPhotoSize);
            QVERIFY(meanDifference(slots[static_cast<std::size_t>(k)].foto->image(), written) < 1);
            if (k < 7) {
                // Stretched over the whole copy, not fitted inside it: both edges show the picture.
                QVERIFY2(near(written.pixelColor(3, 137), Qt::red), copy.c_str());
                QVERIFY2(near(written.pixelColor(362, 137), Qt::blue), copy.c_str());
                QVERIFY2(near(written.pixelColor(90, 3), Qt::red), copy.c_str());
                QVERIFY2(near(written.pixelColor(270, 270), Qt::blue), copy.c_str());
            }
        }
        QVERIFY(meanDifference(slots[7].foto->image(), placeholderPhoto()) < 4);
        // Nothing else in the folder: no temporary file left behind.
        std::set<std::string> present;
        for (const auto& entry : fs::directory_iterator(photoFolder()))
            present.insert(entry.path().filename().string());
        QCOMPARE(present, expected);
    }

    // A copy left by an earlier print is replaced by renaming over it, never written through: a
    // link standing there is replaced and the file it pointed at stays as it was; a FIFO is
    // replaced without waiting for a reader.
    void aCopyIsReplacedThroughARename() {
        fs::create_directories(photoFolder());
        const fs::path outside = folder->file("foto_cliente.jpg");
        test::writeBytes(outside, "not to be touched");
        fs::create_symlink(outside, copyOf(0));
        test::writeBytes(copyOf(1), "old copy");
        const fs::path alsoB = folder->file("secondo_nome.jpg");
        fs::create_hard_link(copyOf(1), alsoB);
        QCOMPARE(::mkfifo(copyOf(2).c_str(), 0644), 0);

        printWith(Mode::Preview);
        QCOMPARE(fileBytes(outside), std::string("not to be touched"));
        QCOMPARE(fileBytes(alsoB), std::string("old copy"));
        QVERIFY(!fs::is_symlink(copyOf(0)));
        QVERIFY(fs::is_regular_file(copyOf(0)));
        QCOMPARE(QImage(QString::fromStdString(copyOf(1).string())).size(), kPhotoSize);
        QVERIFY(fs::is_regular_file(copyOf(2)));
        QCOMPARE(slots[2].foto->image().size(), kPhotoSize);
    }

    // Previewing page 1 and then page 2 of the same list leaves the copies of page 2 alone.
    void eachPrintReplacesTheCopiesOfTheList() {
        for (int k = 0; k < 8; ++k)
            slots[static_cast<std::size_t>(k)].foto->setImage(twoColours({400, 300}, Qt::red, Qt::red));
        lblPosizione->setText(QStringLiteral("1"));
        printWith(Mode::Preview);
        for (int k = 0; k < 8; ++k)
            slots[static_cast<std::size_t>(k)].foto->setImage(twoColours({400, 300}, Qt::blue, Qt::blue));
        lblPosizione->setText(QStringLiteral("2"));
        printWith(Mode::Preview);
        QCOMPARE(jobs().size(), 2u);
        for (int k = 0; k < 8; ++k) {
            const QImage copy(QString::fromStdString(copyOf(k).string()));
            QVERIFY(near(copy.pixelColor(183, 137), Qt::blue));
            QVERIFY(near(jobs()[1].find(slotName("imgFoto", k))->picture.pixelColor(183, 137), Qt::blue));
        }
    }

    // A folder standing where slot C's copy goes ends the writing there, silently: C to H are not
    // written, and only A and B are shown again. The dialog opens all the same and prints what the
    // editor shows.
    void aCopyThatCannotBeWrittenEndsTheStepSilently() {
        fs::create_directories(copyOf(2));
        for (int k = 0; k < 8; ++k)
            slots[static_cast<std::size_t>(k)].foto->setImage(twoColours({800, 600}, Qt::red, Qt::blue));

        printWith(Mode::Print);
        QVERIFY(messages->shown.empty());
        QVERIFY(fs::is_regular_file(copyOf(0)));
        QVERIFY(fs::is_regular_file(copyOf(1)));
        QVERIFY(fs::is_directory(copyOf(2)));
        QVERIFY(!fs::exists(copyOf(3)));
        for (int k = 0; k < 8; ++k) {
            const QSize expected = k < 2 ? kPhotoSize : QSize(800, 600);
            QCOMPARE(slots[static_cast<std::size_t>(k)].foto->image().size(), expected);
            QCOMPARE(jobs().front().find(slotName("imgFoto", k))->picture.size(), expected);
        }
    }

    // Copies left by an earlier print of another page are never shown when this print could not
    // write its own: here the name of the temporary file beside a copy is one the file system
    // cannot hold, though the copy's own name fits.
    void copiesLeftFromAnotherPageAreNotShown() {
        const std::string list(235, 'L');
        lblNome->setText(QString::fromStdString(list));
        fs::create_directories(photoFolder());
        const QImage stale = twoColours(kPhotoSize, Qt::green, Qt::green);
        for (int k = 0; k < 8; ++k) {
            QVERIFY(stale.save(QString::fromStdString(copyOf(k, list).string()), "JPEG"));
            slots[static_cast<std::size_t>(k)].foto->setImage(twoColours({800, 600}, Qt::red, Qt::blue));
        }
        printWith(Mode::Preview);
        QVERIFY(messages->shown.empty());
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(slots[static_cast<std::size_t>(k)].foto->image().size(), QSize(800, 600));
            QVERIFY(near(jobs().front().find(slotName("imgFoto", k))->picture.pixelColor(20, 300), Qt::red));
        }
    }

    // A list name that would lead out of the photo folder writes nothing anywhere.
    void aListNameWithASeparatorWritesNoCopy() {
        lblNome->setText(QStringLiteral("../Estate"));
        printWith(Mode::Print);
        QCOMPARE(jobs().size(), 1u);
        QVERIFY(!fs::exists(folder->file("Estate_Anteprima_A.jpg")));
        QVERIFY(fs::is_empty(photoFolder()));
        QCOMPARE(slots[0].foto->image(), placeholderPhoto());
    }

    // Without a registered editor the dialog reads its owner, whatever widgets hold the names.
    void theOwnerIsReadWhenNoEditorIsRegistered() {
        ScreenRegistry alone(folder->path());
        QWidget owner;
        auto* name = new QLabel(QStringLiteral("Inverno"), &owner);
        name->setObjectName(QStringLiteral("lblNome"));
        editBox(QStringLiteral("txtNome_B"), 50, &owner)->setText(QStringLiteral("Cacciavite"));
        owner.show();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        auto dialog = makePriceListPrintDialog(alone, &owner, Mode::Preview);
        QVERIFY(test::execWith<PriceListPrintDialog>(*dialog, [](PriceListPrintDialog& d) {
                    test::click(d.btnStampa);
                }).has_value());
        QCOMPARE(jobs().size(), 1u);
        QCOMPARE(jobs().front().text("txtNome"), QStringLiteral("Inverno"));
        QCOMPARE(jobs().front().text("txtNome_B"), QStringLiteral("Cacciavite"));
        QCOMPARE(jobs().front().text("txtPrezzo_B"), QString::fromUtf8("€  "));
        QVERIFY(jobs().front().find("imgFoto_B")->picture.isNull());
    }

    // The system's print dialog this time, cancelled: nothing printed, back on the editor.
    void cancellingThePrintDialogClosesThisDialogToo() {
        PrintService::setHookForTesting({});
        QString printDialogTitle;
        bool closed = false;
        QVERIFY(pressEditorButton(Mode::Print, [&](PriceListPrintDialog& d) {
            test::cancelNextPrintDialog(&d, printDialogTitle);
            test::click(d.btnStampa);
            closed = !d.isVisible();
        }));
        QCOMPARE(printDialogTitle, QStringLiteral("Stampa"));
        QVERIFY(closed);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(editor->isVisible());
    }
};

QTEST_MAIN(PriceListPrintTest)
#include "PriceListPrintTest.moc"
