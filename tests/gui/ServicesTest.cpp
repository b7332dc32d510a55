#include <QAbstractButton>
#include <QFileDialog>
#include <QImage>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include "shell/Application.h"
#include "support/GuiActions.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"
#include "ui/DesktopService.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"

using namespace scortavia;

Q_DECLARE_METATYPE(scortavia::MessageKind)

class ServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Boxes as the program shows them: its style, its style sheet, Qt's catalogues loaded.
    void initTestCase() { Application::applyLook(); }

    // The real box behind each kind of message: the program's picture for its kind, Italian buttons
    // with the default the user gets by pressing Enter.
    void messageBoxes_data() {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("title");
        const QStringList okCancel{"OK", "Annulla"};
        QTest::newRow("warning") << MessageKind::Warning << ":/msg_attenzione.svg" << okCancel << "Attenzione";
        QTest::newRow("error") << MessageKind::Error << ":/msg_errore.svg" << okCancel << "Errore";
        QTest::newRow("information") << MessageKind::Information << ":/msg_informazione.svg" << okCancel
                                     << "Informazione";
        QTest::newRow("question") << MessageKind::Question << ":/msg_domanda.svg" << QStringList{"Sì", "No"}
                                  << "Conferma";
        QTest::newRow("plain") << MessageKind::Plain << QString() << QStringList{"OK"} << "Scortavia";
    }
    void messageBoxes() {
        QFETCH(MessageKind, kind);
        QFETCH(QString, picture);
        QFETCH(QStringList, buttons);
        QFETCH(QString, title);
        const QMessageBox::StandardButtons standard = kind == MessageKind::Question ? QMessageBox::Yes | QMessageBox::No
                                                      : kind == MessageKind::Plain
                                                          ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                                          : QMessageBox::Ok | QMessageBox::Cancel;
        const auto box = MessageService::makeBox(nullptr, {kind, QStringLiteral("Scheda salvata."), standard});
        QCOMPARE(box->windowTitle(), title);
        QStringList shown;
        for (QAbstractButton* button : box->buttons()) shown << button->text();
        shown.sort();
        buttons.sort();
        QCOMPARE(shown, buttons);
        QCOMPARE(box->defaultButton()->text(),
                 kind == MessageKind::Question ? QStringLiteral("Sì") : QStringLiteral("OK"));
        if (picture.isEmpty()) {
            QVERIFY(box->iconPixmap().isNull());
        } else {
            const int size = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box.get());
            QCOMPARE(box->iconPixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     test::renderedSvg(picture, size));
        }
    }

    // clang-format off
    void storedLineBreaksShowAsOne_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("LF CR twice") << "A.\n\r\n\rB." << "A.\n\nB.";
        QTest::newRow("CR LF twice") << "A.\r\n\r\nB." << "A.\n\nB.";
        QTest::newRow("plain LF") << "A.\nB." << "A.\nB.";
        QTest::newRow("no break") << "A." << "A.";
    }
    // clang-format on
    void storedLineBreaksShowAsOne() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(MessageService::displayText(stored), shown);
    }

    // The real dialog, driven as a user drives it: the folder chosen, a name typed, Enter or Annulla.
    void fileDialogAnswers_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("open a file") << false << false << "Foto.jpg"
                                     << "Foto.jpg";
        QTest::newRow("save over the proposed name") << true << false << QString() << "Foto.jpg";
        QTest::newRow("save as a new file") << true << false << "Scaffale.jpg"
                                            << "Scaffale.jpg";
        QTest::newRow("open, then cancel") << false << true << "Foto.jpg" << QString();
    }
    void fileDialogAnswers() {
        QFETCH(bool, save);
        QFETCH(bool, cancel);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        test::TempFolder folder;
        test::writeBytes(folder.file("Foto.jpg"), "jpeg");
        const QString path = QString::fromStdString(folder.path().string());
        test::onNextModal([&](QWidget* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            QVERIFY(dialog);
            dialog->setDirectory(path);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            if (!typed.isEmpty()) test::typeText(name, typed);
            if (cancel) {
                dialog->reject();
                return;
            }
            // Qt asks before replacing a file (inside the Enter below): the user says yes.
            if (save && QFile::exists(path + QLatin1Char('/') + chosen)) {
                test::onNextModal([](QWidget* question) {
                    if (auto* box = qobject_cast<QMessageBox*>(question)) box->button(QMessageBox::Yes)->click();
                });
            }
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto answer = save ? FileDialogService::saveFile(nullptr, "Salva foto", "File Jpeg (*.jpg)", "Foto.jpg")
                                 : FileDialogService::openFile(nullptr, "Apri foto", "File Jpeg (*.jpg)");
        if (chosen.isEmpty()) {
            QVERIFY(!answer);
        } else {
            QVERIFY(answer);
            QCOMPARE(*answer, path + QLatin1Char('/') + chosen);
        }
    }

    void desktopTargets_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("quoted path with blanks")
            << "\"/home/negozio/Scortavia 2026/Documenti_Allegati/fattura marzo.pdf\""
            << QUrl::fromLocalFile("/home/negozio/Scortavia 2026/Documenti_Allegati/fattura marzo.pdf");
        QTest::newRow("bare path") << "/opt/Scortavia/Guida.pdf" << QUrl::fromLocalFile("/opt/Scortavia/Guida.pdf");
        QTest::newRow("web address") << "https://www.scortavia.it" << QUrl("https://www.scortavia.it");
    }
    void desktopTargets() {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        QCOMPARE(DesktopService::urlFor(target), url);
    }
};

QTEST_MAIN(ServicesTest)
#include "ServicesTest.moc"
