#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <optional>
#include <set>

#include "guide/GuideLayout.h"
#include "ui/HelpPages.h"
#include "ui/QtText.h"

using namespace scortavia;
using guide::LayoutBlock;

namespace {

// Small pages for the page composer: 100 high, lines of 5.
constexpr double kPage = 100;

LayoutBlock heading() {
    LayoutBlock block;
    block.lines = {10};
    block.spaceAfter = 5;
    block.keepWithNext = true;
    return block;
}
LayoutBlock paragraph(int lines) {
    LayoutBlock block;
    block.lines.assign(static_cast<std::size_t>(lines), 5);
    block.spaceAfter = 2;
    return block;
}
// A picture `pixels` high, drawn at 1 by default; `cuts` every 20 pixels when it may be split.
LayoutBlock figure(double pixels, double smallest = 1, double largest = 1, bool splittable = false) {
    LayoutBlock block;
    block.kind = LayoutBlock::Kind::Figure;
    block.pixelHeight = pixels;
    block.smallestScale = smallest;
    block.largestScale = largest;
    block.spaceBefore = 2;
    block.spaceAfter = 3;
    block.captionHeight = 4;
    for (double cut = 20; splittable && cut < pixels; cut += 20) block.cuts.push_back(cut);
    return block;
}

struct ComposeCase {
    const char* name;
    std::vector<LayoutBlock> blocks;
    int figurePage;            // where the figure's caption goes; -1: no figure
    double figureScale;        // 0: not checked
    bool figureFirst = false;  // placed before the paragraph it follows
    std::optional<double> cut = std::nullopt;
    int shortPage = -1;  // a page that may stay less than 70% full
};

}  // namespace

// The guide the build wrote into the program folder, read back with poppler's tools as a reader's
// viewer would read it.
class GuideTest : public QObject {
    Q_OBJECT

    static QString guide() { return QStringLiteral(SCORTAVIA_GUIDE_PDF); }

    // What a poppler tool prints about the guide (its output on stdout); false when it did not run.
    static bool poppler(const QString& tool, QStringList arguments, QString& out, bool toStdout = true) {
        arguments << guide();
        if (toStdout) arguments << QStringLiteral("-");
        QProcess process;
        process.start(tool, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning().noquote() << tool << process.readAllStandardError();
            return false;
        }
        out = QString::fromUtf8(process.readAllStandardOutput());
        return true;
    }
    static bool installed(const char* tool) {
        return !QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty();
    }
    static QString pageText(int page) {
        QString text;
        const QString number = QString::number(page);
        if (!poppler(QStringLiteral("pdftotext"),
                     {QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-f"), number,
                      QStringLiteral("-l"), number},
                     text)) {
            return {};
        }
        return text.simplified();
    }

    static QJsonObject report() {
        QFile file(QStringLiteral(SCORTAVIA_GUIDE_REPORT));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    // Six words in a row of the paragraph appear in the text: a line of it is on that page.
    static bool holdsALineOf(const QString& pageText, const QString& paragraph) {
        const QStringList words = paragraph.simplified().split(QLatin1Char(' '));
        for (qsizetype w = 0; w + 6 <= words.size(); ++w) {
            if (pageText.contains(words.mid(w, 6).join(QLatin1Char(' ')))) return true;
        }
        return false;
    }

private Q_SLOTS:
    // The composer on small pages: where each figure goes when it does not fit under its paragraph,
    // and what always holds: nothing runs off a page, every line is placed once and in order, no line
    // of a paragraph is alone at the bottom or top of a page, a figure shares a page with lines of its
    // paragraph at a scale its text reads at, and a page is left emptier than 70% only at a chapter's end.
    void theComposerKeepsFiguresWithTheirTextOnFullPages() {
        const ComposeCase cases[] = {
            {"fits under its paragraph", {heading(), paragraph(6), paragraph(2), figure(20, 0.8)}, 0, 1},
            {"drawn smaller to stay with its paragraph",
             {heading(), paragraph(8), paragraph(2), figure(30, 0.8)},
             0,
             0.9},
            {"goes on with its paragraph's last lines", {heading(), paragraph(14), figure(40), paragraph(3)}, 1, 1},
            {"goes before its paragraph rather than leave the page half empty",
             {heading(), paragraph(3), paragraph(5), figure(45), paragraph(4)},
             0,
             1,
             true},
            {"split when too tall to go before its paragraph",
             {heading(), paragraph(3), paragraph(2), figure(160, 0.5, 0.5, true), paragraph(6)},
             1,
             0.5,
             false,
             100},
            {"no paragraph line alone", {heading(), paragraph(18), paragraph(3), paragraph(19)}, -1, 0},
            // Neither before its paragraph nor split: the page before stays short, as nothing may fill it.
            {"too tall to go anywhere else and not to be split",
             {heading(), paragraph(12), figure(80)},
             1,
             1,
             false,
             std::nullopt,
             0},
        };
        for (const ComposeCase& c : cases) {
            const QByteArray name(c.name);
            const guide::Composition composed = guide::compose({c.blocks, c.blocks}, kPage);
            QCOMPARE(composed.chapterFirstPage.size(), 2u);
            std::map<std::size_t, std::size_t> nextLine;  // per block of the chapter being checked
            std::size_t lastChapter = 0;
            for (const guide::Placement& p : composed.placements) {
                if (p.chapter != lastChapter) nextLine.clear();
                lastChapter = p.chapter;
                QVERIFY2(p.top >= 0 && p.top + p.height <= kPage + 1e-9, name);
                const LayoutBlock& block = c.blocks.at(p.block);
                if (block.kind == LayoutBlock::Kind::Text) {
                    QVERIFY2(p.firstLine == nextLine[p.block], name);
                    nextLine[p.block] = p.endLine;
                    if (p.endLine - p.firstLine < block.lines.size()) QVERIFY2(p.endLine - p.firstLine >= 2, name);
                    continue;
                }
                if (!p.captioned) continue;
                QVERIFY2(p.scale >= block.smallestScale - 1e-9 && p.scale <= block.largestScale + 1e-9, name);
                // A line of the paragraph before it on a page of one of its pieces.
                std::set<int> figurePages;
                std::set<int> paragraphPages;
                for (const guide::Placement& q : composed.placements) {
                    if (q.chapter != p.chapter) continue;
                    if (q.block == p.block) figurePages.insert(q.page);
                    if (q.block + 1 == p.block) paragraphPages.insert(q.page);
                }
                QVERIFY2(std::any_of(figurePages.begin(), figurePages.end(),
                                     [&](int page) { return paragraphPages.count(page) > 0; }),
                         name);
                if (p.chapter != 0) continue;
                QVERIFY2(p.page == c.figurePage, name);
                if (c.figureScale > 0) QVERIFY2(std::abs(p.scale - c.figureScale) < 1e-9, name);
                const bool first =
                    std::any_of(composed.placements.begin(), composed.placements.end(), [&](const guide::Placement& q) {
                        return q.chapter == 0 && q.block + 1 == p.block && q.page == p.page && q.top > p.top;
                    });
                QVERIFY2(first == c.figureFirst, name);
                QVERIFY2((p.pixelTop > 0 ? std::optional<double>(p.pixelTop) : std::nullopt) == c.cut, name);
            }
            for (const auto& [block, line] : nextLine) QVERIFY2(line == c.blocks[block].lines.size(), name);
            for (std::size_t page = 0; page < composed.pages.size(); ++page) {
                const guide::PageFill& fill = composed.pages[page];
                if (!fill.lastOfChapter && static_cast<int>(page % (composed.pages.size() / 2)) != c.shortPage)
                    QVERIFY2(fill.filled >= 0.7, name + QByteArray(" page ") + QByteArray::number(qulonglong(page)));
            }
            // The second chapter starts on a page of its own, laid out as the first.
            QCOMPARE(composed.chapterFirstPage[1], static_cast<int>(composed.pages.size() / 2));
        }
    }

    // Every picture is drawn at a scale that puts its screen's smallest text at 8 points or more on
    // paper. The report the build wrote says so; the PDF's own images confirm its sizes and pages.
    void everyPictureReadsAtPrintSize() {
        const QJsonObject layout = report();
        const QJsonArray figures = layout.value(QStringLiteral("figures")).toArray();
        QVERIFY2(figures.size() >= 4, "the report lists the guide's figures");
        struct Piece {
            int page;
            int width;
            int height;
            double pointsPerPixel;
        };
        std::vector<Piece> pieces;
        for (const QJsonValue& value : figures) {
            const QJsonObject figure = value.toObject();
            const QByteArray caption = figure.value(QStringLiteral("caption")).toString().toUtf8();
            const double pointsPerPixel = figure.value(QStringLiteral("pointsPerPixel")).toDouble();
            const int textPixels = figure.value(QStringLiteral("textPixels")).toInt();
            QVERIFY2(textPixels >= 8, caption);
            QVERIFY2(textPixels * pointsPerPixel >= 8.0,
                     caption + " " + QByteArray::number(textPixels * pointsPerPixel));
            for (const QJsonValue& piece : figure.value(QStringLiteral("pieces")).toArray()) {
                const QJsonObject p = piece.toObject();
                pieces.push_back({p.value(QStringLiteral("page")).toInt(),
                                  figure.value(QStringLiteral("pixelWidth")).toInt(),
                                  qRound(p.value(QStringLiteral("pixelBottom")).toDouble() -
                                         p.value(QStringLiteral("pixelTop")).toDouble()),
                                  pointsPerPixel});
            }
        }
        if (!installed("pdfimages")) QSKIP("pdfimages is not installed");
        QString list;
        QVERIFY(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list")}, list, false));
        QStringList rows = list.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
        QCOMPARE(rows.size(), static_cast<qsizetype>(pieces.size()));
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
            const QStringList columns = rows[static_cast<qsizetype>(i)].simplified().split(QLatin1Char(' '));
            QVERIFY2(columns.size() >= 14, qPrintable(rows[static_cast<qsizetype>(i)]));
            QCOMPARE(columns[0].toInt(), pieces[i].page);
            QCOMPARE(columns[3].toInt(), pieces[i].width);
            QCOMPARE(columns[4].toInt(), pieces[i].height);
            QVERIFY2(std::abs(columns[12].toDouble() - 72 / pieces[i].pointsPerPixel) <= 1,
                     qPrintable(rows[static_cast<qsizetype>(i)]));
        }
    }

    // A picture is on the page of its caption and shares a page with lines of the paragraph it illustrates.
    void picturesStayWithTheirText() {
        if (!installed("pdftotext")) QSKIP("pdftotext is not installed");
        const QJsonArray figures = report().value(QStringLiteral("figures")).toArray();
        QVERIFY(!figures.isEmpty());
        const auto pages = helpPages();
        for (const QJsonValue& value : figures) {
            const QJsonObject figure = value.toObject();
            const QString caption = figure.value(QStringLiteral("caption")).toString();
            const HelpPage& help = pages[static_cast<std::size_t>(figure.value(QStringLiteral("topic")).toInt())];
            const QString paragraph =
                toQString(help.paragraphs[static_cast<std::size_t>(figure.value(QStringLiteral("paragraph")).toInt())]);
            bool withText = false;
            int captionPage = 0;
            for (const QJsonValue& piece : figure.value(QStringLiteral("pieces")).toArray()) {
                const int page = piece.toObject().value(QStringLiteral("page")).toInt();
                const QString text = pageText(page);
                withText = withText || holdsALineOf(text, paragraph);
                if (piece.toObject().value(QStringLiteral("captioned")).toBool()) {
                    captionPage = page;
                    QVERIFY2(text.contains(caption.simplified()), qPrintable(caption));
                }
            }
            QVERIFY2(captionPage > 0, qPrintable(caption));
            QVERIFY2(withText, qPrintable(caption + QStringLiteral(" is not beside its paragraph")));
        }
    }

    // Measured on the pages as printed: every page but a section's last is filled at least 70% of the
    // way down, and the report agrees with what the pages show.
    void pagesAreFullUnlessASectionEnds() {
        if (!installed("pdftoppm")) QSKIP("pdftoppm is not installed");
        const QJsonObject layout = report();
        const double top = layout.value(QStringLiteral("textTopMm")).toDouble();
        const double bottom = layout.value(QStringLiteral("textBottomMm")).toDouble();
        QVERIFY(bottom > top);
        QTemporaryDir rendered;
        QVERIFY(rendered.isValid());
        QProcess render;
        constexpr int kDpi = 40;
        render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(kDpi),
                                                  guide(), rendered.filePath(QStringLiteral("p"))});
        QVERIFY(render.waitForFinished(120000) && render.exitCode() == 0);
        const QStringList files = QDir(rendered.path()).entryList({QStringLiteral("p-*.pgm")}, QDir::Files, QDir::Name);
        const auto pixels = [](double millimetres) { return static_cast<int>(millimetres * kDpi / 25.4); };
        const QJsonArray pages = layout.value(QStringLiteral("pages")).toArray();
        QVERIFY(!pages.isEmpty());
        for (const QJsonValue& value : pages) {
            const QJsonObject page = value.toObject();
            const int number = page.value(QStringLiteral("page")).toInt();
            QVERIFY(number >= 1 && number <= files.size());
            const QImage image(rendered.filePath(files[number - 1]));
            QVERIFY(!image.isNull());
            // The lowest row with ink between the header and the footer.
            int lowest = pixels(top);
            for (int y = pixels(top); y <= pixels(bottom) && y < image.height(); ++y) {
                const uchar* row = image.constScanLine(y);
                if (std::any_of(row, row + image.width(), [](uchar grey) { return grey < 200; })) lowest = y;
            }
            const double filled = static_cast<double>(lowest - pixels(top)) / (pixels(bottom) - pixels(top));
            const QByteArray where = "page " + QByteArray::number(number) + " filled " + QByteArray::number(filled);
            QVERIFY2(std::abs(filled - page.value(QStringLiteral("filled")).toDouble()) < 0.04, where);
            if (!page.value(QStringLiteral("lastOfSection")).toBool()) QVERIFY2(filled >= 0.7, where);
        }
    }

    void isAPdfWithAPageForEverySection() {
        QFile file(guide());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(guide()));
        QCOMPARE(file.read(5), QByteArray("%PDF-"));
        if (!installed("pdfinfo")) QSKIP("pdfinfo is not installed");
        QString info;
        QVERIFY(poppler(QStringLiteral("pdfinfo"), {}, info, false));
        const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        QVERIFY2(pages.hasMatch(), qPrintable(info));
        // The title page, the contents, then each section on a page of its own at least.
        QVERIFY(pages.captured(1).toInt() >= static_cast<int>(helpPages().size()) + 2);
        QVERIFY(info.contains(QStringLiteral("A4")));
    }

    // Every section is listed in the contents, and the page given there opens with its heading.
    void contentsLeadToEverySection() {
        if (!installed("pdftotext")) QSKIP("pdftotext is not installed");
        QString contents;
        QVERIFY(poppler(QStringLiteral("pdftotext"),
                        {QStringLiteral("-enc"), QStringLiteral("UTF-8"), QStringLiteral("-layout"),
                         QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2")},
                        contents));
        std::map<QString, int> listed;  // heading -> page
        const QRegularExpression entry(QStringLiteral("^\\s*(\\d+\\.\\s+.*\\S)\\s+(\\d+)\\s*$"),
                                       QRegularExpression::MultilineOption);
        for (auto it = entry.globalMatch(contents); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            listed[m.captured(1).simplified()] = m.captured(2).toInt();
        }
        int number = 0;
        int previousPage = 2;
        for (const HelpPage& page : helpPages()) {
            const QString heading = QStringLiteral("%1. %2").arg(++number).arg(toQString(page.title));
            const auto found = listed.find(heading);
            QVERIFY2(found != listed.end(),
                     qPrintable(heading + QStringLiteral(" is not in the contents:\n") + contents));
            QVERIFY2(found->second > previousPage, qPrintable(heading));
            previousPage = found->second;
            QVERIFY2(pageText(found->second).startsWith(heading), qPrintable(heading));
        }
    }

    // The screenshots are there, each with its caption: a screen that failed to open during the build
    // would leave the guide without it.
    void holdsTheScreenshotsOfTheMainScreens() {
        if (!installed("pdfimages") || !installed("pdftotext")) QSKIP("pdfimages or pdftotext is not installed");
        QString images;
        QVERIFY(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list")}, images, false));
        // Two heading lines, then one line per picture.
        const qsizetype pictures = images.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size() - 2;
        QString text;
        QVERIFY(poppler(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8")}, text));
        const qsizetype captions = text.count(QRegularExpression(QStringLiteral("Figura \\d+ –")));
        // The main menu, a product card, a goods-in card and the price-list editor at least.
        QVERIFY2(pictures >= 4, qPrintable(images));
        QCOMPARE(captions, pictures);
    }
};

QTEST_MAIN(GuideTest)
#include "GuideTest.moc"
