#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "common/Version.h"
#include "shell/DesktopLauncher.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmSplash.h"
#include "support/GuiProgram.h"
#include "support/TempFolder.h"
#include "ui/Palette.h"
#include "ui/WebLink.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

QColor linkColour(const TfrmSplash* credits) { return credits->lnkWeb->palette().color(QPalette::WindowText); }

QWidget* linkPart(const TfrmSplash* credits, const QString& name) {
    return name == QLatin1String("lnkWeb") ? static_cast<QWidget*>(credits->lnkWeb) : credits->imgWeb;
}

const QString kLauncherAdded =
    QStringLiteral("Il collegamento a Scortavia è stato aggiunto al menu delle applicazioni.");

QString launcherOf(const QString& dataHome, const std::filesystem::path& folder) {
    return dataHome + QStringLiteral("/applications/") + QString::fromStdString(launcherFileName(folder));
}

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString nameIn(const QString& entryPath) {
    return QString::fromStdString(entryValue(fileText(entryPath).toStdString(), "Name").value_or("(none)"));
}

}  // namespace

class CreditsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    // Opens the credits from the main menu's icon and lets `steps` drive them; false when they did not come up.
    bool withCredits(const std::function<void(TfrmSplash*)>& steps) {
        return test::withModal<TfrmSplash>(run->menu()->imgCrediti, steps);
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        run->login(QStringLiteral("scortavia"));
        QVERIFY(run->menu()->isVisible());
    }
    void cleanup() {
        run.reset();
        qunsetenv("XDG_DATA_HOME");
    }

    void iconOpensTheCreditsModallyOverTheMenu() {
        QVERIFY(withCredits([this](TfrmSplash* credits) {
            QCOMPARE(credits->objectName(), QStringLiteral("frmSplash"));
            QCOMPARE(credits->windowTitle(), QStringLiteral(" Informazioni su Scortavia"));
            QCOMPARE(credits->parentWidget(), run->menu());
            QCOMPARE(QApplication::activeModalWidget(), credits);
            QVERIFY(!credits->windowFlags().testFlag(Qt::WindowCloseButtonHint));
            QCOMPARE(credits->minimumSize(), credits->maximumSize());
            const QPoint middle = credits->screen()->availableGeometry().center();
            // Centred to within the width of the window's border.
            const QPoint offset = credits->frameGeometry().center() - middle;
            QVERIFY2(qAbs(offset.x()) <= 3 && qAbs(offset.y()) <= 3, "not centred");

            QCOMPARE(credits->lnkWeb->text(), QStringLiteral("www.scortavia.it"));
            // The version of the build, as three numbers.
            QVERIFY(QRegularExpression(QStringLiteral("^Versione \\d+\\.\\d+\\.\\d+$"))
                        .match(credits->lblVersione->text())
                        .hasMatch());
            QCOMPARE(credits->lblVersione->text(), QStringLiteral("Versione ") + QString::fromLatin1(kProgramVersion));
            QCOMPARE(credits->btnCollegamento->text(), QStringLiteral("Crea collegamento nel menu"));
            QCOMPARE(credits->btnChiudi->text(), QStringLiteral("Chiudi"));
            QCOMPARE(QApplication::focusWidget(), credits->btnChiudi);
            const std::initializer_list<QWidget*> shown{credits->imgLogo,         credits->imgWeb,
                                                        credits->lnkWeb,          credits->lblVersione,
                                                        credits->btnCollegamento, credits->btnChiudi};
            for (QWidget* widget : shown) {
                QVERIFY2(widget->isVisible(), qPrintable(widget->objectName()));
                QVERIFY2(credits->rect().contains(QRect(widget->mapTo(credits, QPoint(0, 0)), widget->size())),
                         qPrintable(widget->objectName() + QStringLiteral(" is cut off")));
                // Texts whole: a label or button no narrower than its text wants.
                QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), qPrintable(widget->objectName()));
            }
            for (QWidget* a : shown) {
                for (QWidget* b : shown) {
                    const QRect ra(a->mapTo(credits, QPoint(0, 0)), a->size());
                    const QRect rb(b->mapTo(credits, QPoint(0, 0)), b->size());
                    QVERIFY2(a == b || !ra.intersects(rb),
                             qPrintable(a->objectName() + QLatin1Char('/') + b->objectName()));
                }
            }
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }

    void pressingColoursTheLinkAndTheClickOpensTheMakersPage_data() {
        QTest::addColumn<QString>("part");
        QTest::newRow("link") << QStringLiteral("lnkWeb");
        QTest::newRow("globe") << QStringLiteral("imgWeb");
    }
    void pressingColoursTheLinkAndTheClickOpensTheMakersPage() {
        QFETCH(QString, part);
        QVERIFY(withCredits([&](TfrmSplash* credits) {
            QWidget* target = linkPart(credits, part);
            QTest::mousePress(target, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("orange"));
            QVERIFY(run->desktop.opened.isEmpty());
            QTest::mouseRelease(target, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
            QCOMPARE(run->desktop.opened, QStringList{QString::fromLatin1(kMakerWebAddress)});
            QVERIFY(credits->isVisible());
        }));
        QVERIFY(run->messages.shown.empty());
    }

    // A press taken away from the link before letting go is no click, and the link does not stay orange.
    void releasingAwayFromTheLinkOpensNothing() {
        QVERIFY(withCredits([this](TfrmSplash* credits) {
            WebLink* link = credits->lnkWeb;
            QTest::mousePress(link, Qt::LeftButton);
            QCOMPARE(linkColour(credits), palette::color("orange"));
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, link->height() / 2));
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }

    // The launcher goes into the menu of the data folder Qt names (XDG_DATA_HOME here), and only when asked.
    void collegamentoAddsThisFolderToTheApplicationsMenu() {
        QTemporaryDir dataHome;
        QVERIFY(dataHome.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), dataHome.path());

        QVERIFY(withCredits([](TfrmSplash* credits) { test::click(credits->btnChiudi); }));
        QVERIFY2(QDir(dataHome.path()).isEmpty(), "written without the button");

        QVERIFY(withCredits([](TfrmSplash* credits) {
            test::click(credits->btnCollegamento);
            QVERIFY(credits->isVisible());
            test::click(credits->btnChiudi);
        }));
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Information);
        QCOMPARE(run->messages.shown[0].text, kLauncherAdded);

        const std::filesystem::path& folder = run->folder.path();
        const QString entry = launcherOf(dataHome.path(), folder);
        const QString text = fileText(entry);
        const QString program = QString::fromStdString(folder.string()) + QLatin1Char('/') +
                                QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QVERIFY2(text.contains(QStringLiteral("\nExec=\"") + program + QStringLiteral("\"\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nPath=") + QString::fromStdString(folder.string()) + QLatin1Char('\n')),
                 qPrintable(text));
        QCOMPARE(nameIn(entry), QStringLiteral("Scortavia"));
        // The program's own icon, the one it shows in its windows.
        QFile resource(QStringLiteral(":/icon_app.svg"));
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QFile icon(dataHome.path() + QStringLiteral("/icons/hicolor/scalable/apps/it.scortavia.Scortavia.svg"));
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QCOMPARE(icon.readAll(), resource.readAll());

        // A second shop's program folder gets its own launcher, and both are named after their folders.
        test::TempFolder second;
        {
            TfrmSplash credits(second.path(), run->menu());
            test::click(credits.btnCollegamento);
        }
        QCOMPARE(run->messages.texts(), (QStringList{kLauncherAdded, kLauncherAdded}));
        const QString secondEntry = launcherOf(dataHome.path(), second.path());
        QVERIFY(secondEntry != entry);
        QCOMPARE(nameIn(secondEntry),
                 QStringLiteral("Scortavia – ") + QString::fromStdString(second.path().filename().string()));
        QCOMPARE(nameIn(entry), QStringLiteral("Scortavia – ") + QString::fromStdString(folder.filename().string()));

        // The desktop's own checker has the last word on both.
        if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
            QSKIP("desktop-file-validate is not installed");
        }
        for (const QString& written : {entry, secondEntry}) {
            QProcess validate;
            validate.start(QStringLiteral("desktop-file-validate"), {written});
            QVERIFY(validate.waitForFinished());
            const QString notes = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
            QVERIFY2(validate.exitCode() == 0 && notes.isEmpty(), qPrintable(notes));
        }
    }

    // Where nothing can be written the user is told so, and never told it was done.
    void collegamentoThatCannotBeWrittenSaysSo() {
        QTemporaryDir dataHome;
        QVERIFY(dataHome.isValid());
        test::writeBytes(dataHome.filePath(QStringLiteral("applications")).toStdString(), "");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        QVERIFY(withCredits([](TfrmSplash* credits) {
            test::click(credits->btnCollegamento);
            QVERIFY(credits->isVisible());
            test::click(credits->btnChiudi);
        }));
        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(run->messages.shown[0].text,
                 QStringLiteral("Non è stato possibile aggiungere il collegamento a Scortavia al menu delle "
                                "applicazioni.\n\nControllare di poter scrivere nella cartella «%1».")
                     .arg(QDir(dataHome.path()).filePath(QStringLiteral("applications"))));
        QVERIFY(!QFileInfo::exists(launcherOf(dataHome.path(), run->folder.path())));
    }

    void chiudiClosesAndTheNextOpeningStartsAfresh() {
        QPointer<TfrmSplash> first;
        QVERIFY(withCredits([&](TfrmSplash* credits) {
            first = credits;
            // Orange when the dialog goes: the next one must not inherit it.
            credits->lnkWeb->setPressed(true);
            test::click(credits->btnChiudi);
            QVERIFY(!credits->isVisible());
        }));
        QVERIFY(first.isNull());
        QVERIFY(run->menu()->isVisible());
        QVERIFY(QApplication::activeModalWidget() == nullptr);

        QVERIFY(withCredits([](TfrmSplash* credits) {
            QCOMPARE(linkColour(credits), palette::color("linkBlue"));
            test::click(credits->btnChiudi);
            QVERIFY(!credits->isVisible());
        }));
        QVERIFY(run->desktop.opened.isEmpty());
    }
};

QTEST_MAIN(CreditsTest)
#include "CreditsTest.moc"
