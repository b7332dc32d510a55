#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <map>

#include "ui/HelpPages.h"
#include "ui/QtText.h"

using namespace scortavia;

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

private Q_SLOTS:
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
