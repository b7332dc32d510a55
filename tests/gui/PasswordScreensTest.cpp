#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmCambiaPassword.h"
#include "shell/TfrmPassword.h"
#include "support/GuiProgram.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

const QString kWrong = QStringLiteral("Attenzione: password errata.");
const QString kReadError = QString::fromUtf8(
    "Attenzione: si è verificato un errore durante la procedura di lettura della password. Si consiglia di "
    "reinstallare il software.");

// A settings file with other lines around the password, all of which must survive a change.
std::string settingsWith(const std::string& latin1Password) {
    return "; Scortavia\r\n[Setup]\r\nLingua=it\r\n\r\n[Accesso]\r\nValore=" + scramblePassword(latin1Password) +
           "\r\nUltimo=1\r\n";
}

}  // namespace

class PasswordScreensTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;

    TfrmPassword* password() { return run->password(); }
    TfrmCambiaPassword* change() { return run->screen<TfrmCambiaPassword>("frmCambiaPassword"); }
    test::MessageRecorder* messages;

    void startWith(const std::optional<std::string>& settings,
                   void (*prepare)(const std::filesystem::path&) = nullptr) {
        run = std::make_unique<test::GuiProgram>(settings);
        if (prepare) prepare(run->folder.path());
        messages = &run->messages;
        QVERIFY(QTest::qWaitForWindowActive(password()));
    }
    void startWith(const std::string* settings) {
        startWith(settings ? std::optional<std::string>(*settings) : std::nullopt);
    }
    void login(const QString& typed) { run->login(typed); }
    std::filesystem::path settingsPath() const { return run->folder.file("unins000.dll"); }

private Q_SLOTS:
    void cleanup() { run.reset(); }

    void loginComparesFoldedTrimmedText_data() {
        QTest::addColumn<QByteArray>("storedLatin1");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << QByteArray("SCORTAVIA") << "SCORTAVIA" << true;
        QTest::newRow("lowercase a-z folds") << QByteArray("SCORTAVIA") << "scortavia" << true;
        QTest::newRow("mixed case") << QByteArray("SCORTAVIA") << "ScOrTaViA" << true;
        QTest::newRow("blanks around") << QByteArray("SCORTAVIA") << "  scortavia   " << true;
        QTest::newRow("inner blank counts") << QByteArray("SCORTAVIA") << "scorta via" << false;
        QTest::newRow("one more letter") << QByteArray("SCORTAVIA") << "scortavia1" << false;
        QTest::newRow("accent typed as stored") << QByteArray("PI\xD9") << QString::fromUtf8("piÙ") << true;
        QTest::newRow("lowercase accent not folded") << QByteArray("PI\xD9") << QString::fromUtf8("più") << false;
    }
    void loginComparesFoldedTrimmedText() {
        QFETCH(QByteArray, storedLatin1);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        const std::string settings = settingsWith(storedLatin1.toStdString());
        startWith(&settings);
        login(typed);
        if (accepted) {
            QVERIFY(messages->shown.empty());
            QVERIFY(run->menu()->isVisible());
            QVERIFY(!password()->isVisible());
        } else {
            QCOMPARE(messages->texts(), QStringList{kWrong});
            QCOMPARE(messages->shown[0].kind, MessageKind::Plain);
            QCOMPARE(messages->shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
            QVERIFY(password()->txtPassword->text().isEmpty());
            QVERIFY(password()->txtPassword->hasFocus());
            QVERIFY(password()->isVisible());
            QVERIFY(!run->menu()->isVisible());
        }
    }

    void missingSettingsRefusesEveryPassword() {
        startWith(nullptr);
        for (const char* typed : {"scortavia", "x", "admin"}) login(QString::fromLatin1(typed));
        QCOMPARE(messages->texts(), (QStringList{kWrong, kWrong, kWrong}));
        QVERIFY(!run->menu()->isVisible());
    }

    void unreadableSettingsGiveTheReadingError_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("not hexadecimal") << QByteArray("[Accesso]\r\nValore=ZZ12\r\n");
        QTest::newRow("a folder in place of the file") << QByteArray("folder");
        QTest::newRow("a FIFO in place of the file") << QByteArray("fifo");
    }
    void unreadableSettingsGiveTheReadingError() {
        QFETCH(QByteArray, settings);
        // A FIFO that hangs the password screen fails the test instead of the whole run.
        ::alarm(10);
        if (settings == "folder") {
            startWith(std::nullopt,
                      [](const std::filesystem::path& f) { std::filesystem::create_directory(f / "unins000.dll"); });
        } else if (settings == "fifo") {
            startWith(std::nullopt, [](const std::filesystem::path& f) {
                QCOMPARE(::mkfifo((f / "unins000.dll").c_str(), 0644), 0);
            });
        } else {
            const std::string s = settings.toStdString();
            startWith(&s);
        }
        login("scortavia");
        QCOMPARE(messages->texts(), QStringList{kReadError});
        QCOMPARE(messages->shown[0].kind, MessageKind::Plain);
        QVERIFY(password()->isVisible());
        ::alarm(0);
    }

    void okFollowsTheTextAndEnterOnEmptyDoesNothing() {
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        auto* box = password()->txtPassword;
        QVERIFY(!password()->cmdOK->isEnabled());
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "   ");
        QVERIFY(!password()->cmdOK->isEnabled());
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(messages->shown.empty());
        QTest::keyClicks(box, "a");
        QVERIFY(password()->cmdOK->isEnabled());
        QTest::keyClick(box, Qt::Key_Backspace);
        QVERIFY(!password()->cmdOK->isEnabled());
    }

    void focusFrameFollowsTheFocus() {
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        QVERIFY(password()->txtPassword->hasFocus());
        QVERIFY(password()->effPassword->isVisible());
        QVERIFY(password()->effPassword->geometry().contains(password()->txtPassword->geometry()));
        password()->cmdEsci->setFocus();
        QVERIFY(!password()->effPassword->isVisible());
    }

    void esciEndsTheProgramAndTheTitleBarDoesNot() {
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        password()->close();
        QCOMPARE(run->ended, 0);
        QVERIFY(password()->isVisible());
        test::click(password()->cmdEsci);
        QCOMPARE(run->ended, 1);
    }

    void changeThenLoginInMixedCase() {
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        test::click(password()->btnCambiaPassword);
        QVERIFY(QTest::qWaitForWindowActive(change()));
        QVERIFY(!password()->isVisible());
        QVERIFY(change()->txtPasswordOld->hasFocus());
        QVERIFY(!change()->cmdOK->isEnabled());
        QTest::keyClicks(change()->txtPasswordOld, " scortavia ");
        QTest::keyClick(change()->txtPasswordOld, Qt::Key_Return);
        QVERIFY(change()->txtPasswordNew->hasFocus());
        QTest::keyClicks(change()->txtPasswordNew, "abc");
        QTest::keyClick(change()->txtPasswordNew, Qt::Key_Return);
        QVERIFY(change()->txtConferma->hasFocus());
        QVERIFY(!change()->cmdOK->isEnabled());
        QTest::keyClicks(change()->txtConferma, "abc ");
        QVERIFY(change()->cmdOK->isEnabled());
        QTest::keyClick(change()->txtConferma, Qt::Key_Return);
        QVERIFY(change()->txtPasswordOld->hasFocus());
        test::click(change()->cmdOK);

        QCOMPARE(messages->texts(), QStringList{"Modifica della password completata con successo."});
        QVERIFY(!change()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(password()));
        QVERIFY(password()->txtPassword->text().isEmpty());
        QVERIFY(password()->txtPassword->hasFocus());

        const std::string written = test::readBytes(settingsPath());
        QCOMPARE(QByteArray::fromStdString(written),
                 QByteArray::fromStdString("; Scortavia\r\n[Setup]\r\nLingua=it\r\n\r\n[Accesso]\r\nValore=" +
                                           scramblePassword("ABC") + "\r\nUltimo=1\r\n"));
        QCOMPARE(scramblePassword("ABC").size(), size_t(6));

        login("aBc");
        QCOMPARE(messages->shown.size(), size_t(1));
        QVERIFY(run->menu()->isVisible());
    }

    // clang-format off
    void changeRefusals_data() {
        QTest::addColumn<QString>("oldText");
        QTest::addColumn<QString>("newText");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("old password wrong") << "nope" << "nuova" << "nuova"
                                            << "Attenzione: vecchia password errata." << "txtPasswordOld";
        QTest::newRow("confirmation differs in case")
            << "scortavia" << "Nuova" << "nuova"
            << QString::fromUtf8("Attenzione: la nuova password non è stata confermata correttamente. E' necessario "
                                 "reinserire entrambi i valori.")
            << "txtPasswordNew";
        QTest::newRow("character the store cannot hold")
            << "scortavia" << QString::fromUtf8("密码") << QString::fromUtf8("密码")
            << QString::fromUtf8(kMsgPasswordUnstorable.data()) << "txtPasswordNew";
        QTest::newRow("longer than 255") << "scortavia" << QString(256, 'x') << QString(256, 'x')
                                         << QString::fromUtf8(kMsgPasswordUnstorable.data()) << "txtPasswordNew";
    }
    // clang-format on
    void changeRefusals() {
        QFETCH(QString, oldText);
        QFETCH(QString, newText);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        test::click(password()->btnCambiaPassword);
        QVERIFY(QTest::qWaitForWindowActive(change()));
        change()->txtPasswordOld->setText(oldText);
        change()->txtPasswordNew->setText(newText);
        change()->txtConferma->setText(confirm);
        test::click(change()->cmdOK);

        QCOMPARE(messages->texts(), QStringList{message});
        QCOMPARE(messages->shown[0].kind, MessageKind::Plain);
        QVERIFY(change()->isVisible());
        QVERIFY(change()->focusWidget());
        QCOMPARE(change()->focusWidget()->objectName(), focus);
        auto* focused = change()->findChild<QLineEdit*>(focus);
        QVERIFY(focused->text().isEmpty());
        QCOMPARE(test::readBytes(settingsPath()), settings);  // nothing written
    }

    void missingSettingsCannotBeCreatedByAChange() {
        startWith(nullptr);
        test::click(password()->btnCambiaPassword);
        change()->txtPasswordOld->setText("x");
        change()->txtPasswordNew->setText("y");
        change()->txtConferma->setText("y");
        test::click(change()->cmdOK);
        QCOMPARE(messages->texts(), QStringList{"Attenzione: vecchia password errata."});
        QVERIFY(!std::filesystem::exists(settingsPath()));
    }

    void chiudiReturnsToAFreshPasswordScreen() {
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        QTest::keyClicks(password()->txtPassword, "abc");
        test::click(password()->btnCambiaPassword);
        QTest::keyClicks(change()->txtPasswordOld, "qualcosa");
        test::click(change()->cmdEsci);
        QVERIFY(!change()->isVisible());
        QVERIFY(password()->isVisible());
        QVERIFY(password()->txtPassword->text().isEmpty());
        QVERIFY(!password()->cmdOK->isEnabled());
        // Shown again, the change screen starts empty.
        test::click(password()->btnCambiaPassword);
        QVERIFY(change()->txtPasswordOld->text().isEmpty());
        QVERIFY(messages->shown.empty());
    }

    // With a complete, valid change typed: Escape wherever the focus is leaves as "Chiudi" does; Enter
    // presses the focused button.
    // clang-format off
    void theKeyboardLeavesOrConfirmsTheChange_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("changed");
        QTest::newRow("Escape in a box") << "txtConferma" << int(Qt::Key_Escape) << false;
        QTest::newRow("Escape on OK") << "cmdOK" << int(Qt::Key_Escape) << false;
        QTest::newRow("Escape on Chiudi") << "cmdEsci" << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter on Chiudi") << "cmdEsci" << int(Qt::Key_Return) << false;
        QTest::newRow("keypad Enter on OK") << "cmdOK" << int(Qt::Key_Enter) << true;
    }
    // clang-format on
    void theKeyboardLeavesOrConfirmsTheChange() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, changed);
        const std::string settings = settingsWith("SCORTAVIA");
        startWith(&settings);
        test::click(password()->btnCambiaPassword);
        QVERIFY(QTest::qWaitForWindowActive(change()));
        change()->txtPasswordOld->setText("scortavia");
        change()->txtPasswordNew->setText("abc");
        change()->txtConferma->setText("abc");
        change()->findChild<QWidget*>(focus)->setFocus();
        QVERIFY(test::pressKey(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier));

        QVERIFY(!change()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(password()));
        QVERIFY(password()->txtPassword->hasFocus());
        if (changed) {
            QCOMPARE(messages->texts(), QStringList{"Modifica della password completata con successo."});
            QVERIFY(test::readBytes(settingsPath()) != settings);
        } else {
            QVERIFY(messages->shown.empty());
            QCOMPARE(test::readBytes(settingsPath()), settings);
        }
        login(changed ? "abc" : "scortavia");
        QVERIFY(run->menu()->isVisible());
    }
};

QTEST_MAIN(PasswordScreensTest)
#include "PasswordScreensTest.moc"
