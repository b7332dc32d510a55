#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "products/TfrmMagazzino.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "ui/TfrmAllegaCartella.h"
#include "ui/Widgets.h"

using namespace scortavia;
namespace fs = std::filesystem;

namespace {

const QString kOverwrite = QString::fromUtf8(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso nome.\r\n\r\n"
    "Si vuole sovrascrivere il file esistente?");

QString text(const fs::path& path) { return QString::fromStdString(path.string()); }

struct SlotControls {
    QLineEdit* file;
    QPushButton* browse;
    QPushButton* open;
    PictureButton* remove;
    QLineEdit* description;
};

// The controls of slot 1, 2 or 3, as a caller reaches them.
SlotControls slotOf(TfrmAllegaCartella& d, int slot) {
    const std::array<SlotControls, 3> all = {{
        {d.txtFile01, d.btnSfoglia01, d.btnApri01, d.imgCancella01, d.txtDesc01},
        {d.txtFile02, d.btnSfoglia02, d.btnApri02, d.imgCancella02, d.txtDesc02},
        {d.txtFile03, d.btnSfoglia03, d.btnApri03, d.imgCancella03, d.txtDesc03},
    }};
    return all.at(static_cast<std::size_t>(slot - 1));
}

}  // namespace

class AttachmentsDialogTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    std::unique_ptr<test::TempFolder> elsewhere;  // where the user's documents come from

    fs::path attachments() const { return run->folder.file("Documenti_Allegati"); }

    // A document of the user's outside the program folder.
    QString document(const std::string& folder, const std::string& name, const std::string& bytes) {
        const fs::path dir = elsewhere->path() / folder;
        fs::create_directories(dir);
        test::writeBytes(dir / name, bytes);
        return text(dir / name);
    }
    void browse(TfrmAllegaCartella& d, int slot, const std::optional<QString>& chosen) {
        run->files.answers.push_back(chosen);
        test::click(slotOf(d, slot).browse);
    }
    // The card's six labels: File01..03, then Desc01..03.
    QStringList cardSlots() {
        TfrmMagazzino* c = card;
        return {c->lblFile01->text(), c->lblFile02->text(), c->lblFile03->text(),
                c->lblDesc01->text(), c->lblDesc02->text(), c->lblDesc03->text()};
    }
    void setCardSlots(const QStringList& texts) {
        TfrmMagazzino* c = card;
        const std::array<QLabel*, 6> labels = {c->lblFile01, c->lblFile02, c->lblFile03,
                                               c->lblDesc01, c->lblDesc02, c->lblDesc03};
        for (std::size_t i = 0; i < labels.size(); ++i) labels[i]->setText(texts.at(static_cast<qsizetype>(i)));
    }
    // What the product card does when it opens the dialog.
    static void fillAsTheCard(TfrmAllegaCartella& d, const QStringList& texts) {
        d.lblMemory->setText("magazzino");
        for (int k = 1; k <= 3; ++k) {
            slotOf(d, k).file->setText(texts.at(k - 1).trimmed());
            slotOf(d, k).description->setText(texts.at(k + 2).trimmed());
        }
    }

private Q_SLOTS:
    void init() {
        elsewhere = std::make_unique<test::TempFolder>();
        QVERIFY(openCard());
    }
    void cleanup() {
        endProgram();
        elsewhere.reset();
    }

    void browseCopiesTheDocumentIntoTheFolder_data() {
        QTest::addColumn<int>("slot");
        QTest::newRow("slot 1") << 1;
        QTest::newRow("slot 2") << 2;
        QTest::newRow("slot 3") << 3;
    }
    void browseCopiesTheDocumentIntoTheFolder() {
        QFETCH(int, slot);
        const std::string bytes("%PDF fattura\r\n\x00\xff", 16);  // binary, with a zero byte
        const QString chosen = document("some/tmp/dir", "fattura.pdf", bytes);
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, {"", "", "", "", "", ""});
        dialog.show();
        QVERIFY(!fs::exists(attachments()));

        browse(dialog, slot, chosen);

        QCOMPARE(run->files.requests.size(), std::size_t{1});
        QCOMPARE(run->files.requests[0].kind, FileRequest::Kind::Open);
        QCOMPARE(run->files.requests[0].title, QStringLiteral("Selezionare il file da allegare:"));
        QCOMPARE(run->files.requests[0].filter, QStringLiteral("Tutti i file (*)"));
        QCOMPARE(test::readBytes(attachments() / "fattura.pdf"), bytes);
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(slotOf(dialog, k).file->text(), k == slot ? QStringLiteral("fattura.pdf") : QString());
            QCOMPARE(slotOf(dialog, k).open->isEnabled(), k == slot);
        }
        QVERIFY(run->messages.shown.empty());
        QVERIFY(fs::exists(elsewhere->path() / "some/tmp/dir/fattura.pdf"));
    }

    void aNameAlreadyInTheFolderAsksFirst_data() {
        QTest::addColumn<bool>("pickTheCopy");  // the user picks the document already in the folder
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("No keeps the first") << false << int(QMessageBox::No) << QByteArray("prima");
        QTest::newRow("Yes replaces it") << false << int(QMessageBox::Yes) << QByteArray("seconda versione");
        QTest::newRow("Yes onto itself keeps it") << true << int(QMessageBox::Yes) << QByteArray("prima");
    }
    void aNameAlreadyInTheFolderAsksFirst() {
        QFETCH(bool, pickTheCopy);
        QFETCH(int, answer);
        QFETCH(QByteArray, kept);
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, {"", "", "", "", "", ""});
        dialog.show();
        browse(dialog, 1, document("gennaio", "fattura.pdf", "prima"));
        QVERIFY(run->messages.shown.empty());

        const QString second =
            pickTheCopy ? text(attachments() / "fattura.pdf") : document("febbraio", "fattura.pdf", "seconda versione");
        run->messages.answers.push_back(static_cast<QMessageBox::StandardButton>(answer));
        browse(dialog, 2, second);

        QCOMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Question);
        QCOMPARE(run->messages.shown[0].text, kOverwrite);
        QCOMPARE(run->messages.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(QByteArray::fromStdString(test::readBytes(attachments() / "fattura.pdf")), kept);
        QCOMPARE(dialog.txtFile01->text(), QStringLiteral("fattura.pdf"));
        QCOMPARE(dialog.txtFile02->text(), QStringLiteral("fattura.pdf"));
        QCOMPARE(std::distance(fs::directory_iterator(attachments()), fs::directory_iterator()), 1);  // no leftovers
    }

    // Nothing to attach: a cancelled dialog, or a path that names no file of a folder.
    void browseWithoutADocumentChangesNothing_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("chosen");  // below the user's documents folder
        QTest::newRow("cancelled") << true << QString();
        QTest::newRow("parent folder") << false << QStringLiteral("documenti/..");
        QTest::newRow("folder with a slash") << false << QStringLiteral("documenti/");
    }
    void browseWithoutADocumentChangesNothing() {
        QFETCH(bool, cancel);
        QFETCH(QString, chosen);
        document("documenti", "fattura.pdf", "x");
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, {"vecchio.pdf", "", "", "Vecchio", "", ""});
        dialog.show();

        browse(dialog, 1, cancel ? std::nullopt : std::optional(text(elsewhere->path()) + '/' + chosen));

        QCOMPARE(run->files.requests.size(), std::size_t{1});
        QCOMPARE(dialog.txtFile01->text(), QStringLiteral("vecchio.pdf"));
        QVERIFY(dialog.btnApri01->isEnabled());
        QVERIFY(!fs::exists(attachments()));
        QVERIFY(run->messages.shown.empty());
    }

    void deleteIconEmptiesTheNameOnly() {
        setCardSlots({"", "fattura.pdf", "", "", "Fattura marzo", ""});
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, cardSlots());
        dialog.show();
        browse(dialog, 2, document("marzo", "fattura.pdf", "marzo"));
        QVERIFY(dialog.btnApri02->isEnabled());

        test::click(dialog.imgCancella02);

        QCOMPARE(dialog.txtFile02->text(), QString());
        QVERIFY(!dialog.btnApri02->isEnabled());
        QCOMPARE(dialog.txtDesc02->text(), QStringLiteral("Fattura marzo"));
        QCOMPARE(test::readBytes(attachments() / "fattura.pdf"), std::string("marzo"));
        test::click(dialog.btnApplica);
        QCOMPARE(cardSlots(), QStringList({"", "", "", "", "Fattura marzo", ""}));
    }

    void apriOpensOnlyADocumentOfTheFolder_data() {
        QTest::addColumn<QString>("programFolder");  // below the test's program folder; empty: that folder
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("opened");  // below the program folder; empty: nothing opened
        QTest::newRow("document") << "" << 1 << "fattura.pdf" << true << "Documenti_Allegati/fattura.pdf";
        QTest::newRow("blanks around and inside")
            << "" << 2 << "  Listino 2026.pdf  " << true << "Documenti_Allegati/Listino 2026.pdf";
        QTest::newRow("folder with blanks")
            << "Cartella con spazi" << 3 << "nota.txt" << true << "Documenti_Allegati/nota.txt";
        QTest::newRow("blank") << "" << 3 << "   " << false << "";
        QTest::newRow("up one folder") << "" << 1 << "../x" << true << "";
        QTest::newRow("subfolder") << "" << 2 << "a/b" << true << "";
        QTest::newRow("backslash") << "" << 3 << "..\\Magazzino.pro" << true << "";
        QTest::newRow("parent") << "" << 1 << ".." << true << "";
        QTest::newRow("current") << "" << 2 << "." << true << "";
    }
    void apriOpensOnlyADocumentOfTheFolder() {
        QFETCH(QString, programFolder);
        QFETCH(int, slot);
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        QFETCH(QString, opened);
        const fs::path folder =
            programFolder.isEmpty() ? run->folder.path() : run->folder.path() / programFolder.toStdString();
        std::optional<ScreenRegistry> other;
        if (!programFolder.isEmpty()) other.emplace(folder);
        TfrmAllegaCartella dialog(other ? *other : run->program->registry(), card);
        fillAsTheCard(dialog, {"", "", "", "", "", ""});
        slotOf(dialog, slot).file->setText(name);
        dialog.show();

        QCOMPARE(slotOf(dialog, slot).open->isEnabled(), enabled);
        test::click(slotOf(dialog, slot).open);

        const QStringList expected =
            opened.isEmpty() ? QStringList() : QStringList{'"' + text(folder) + '/' + opened + '"'};
        QCOMPARE(run->desktop.opened, expected);
        QVERIFY(dialog.isVisible());
    }

    void applicaWritesTheTrimmedTextsBack_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("written");
        QTest::newRow("product card") << "magazzino" << true;
        QTest::newRow("goods-in card") << "carichi" << false;
        QTest::newRow("goods-out card") << "scarichi" << false;
        QTest::newRow("unknown key") << "sconosciuta" << false;
        QTest::newRow("no key") << "" << false;
    }
    void applicaWritesTheTrimmedTextsBack() {
        QFETCH(QString, key);
        QFETCH(bool, written);
        const QStringList before = {"vecchio1.pdf", "vecchio2.pdf", "", "Vecchio 1", "Vecchio 2", ""};
        setCardSlots(before);
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, before);
        dialog.lblMemory->setText(key);
        dialog.show();
        dialog.txtFile01->setText("  a.pdf ");
        dialog.txtFile02->clear();  // a description without a document
        dialog.txtFile03->setText("c.doc\t");
        dialog.txtDesc01->setText(" Fattura ");
        dialog.txtDesc03->clear();
        dialog.txtDesc03->setFocus();
        QTest::keyClicks(dialog.txtDesc03, "  Scheda tecnica  ");

        test::click(dialog.btnApplica);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(cardSlots(),
                 written ? QStringList({"a.pdf", "", "c.doc", "Fattura", "Vecchio 2", "Scheda tecnica"}) : before);
    }

    void annullaKeepsTheCopiedFileAndTheCard() {
        const QStringList before = {"vecchio.pdf", "", "", "Vecchio", "", "Solo descrizione"};
        setCardSlots(before);
        TfrmAllegaCartella dialog(run->program->registry(), card);
        fillAsTheCard(dialog, before);
        dialog.show();
        browse(dialog, 1, document("aprile", "bolla.pdf", "bolla"));
        dialog.txtDesc01->setText("Bolla di aprile");

        test::click(dialog.btnAnnulla);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(test::readBytes(attachments() / "bolla.pdf"), std::string("bolla"));
        QCOMPARE(cardSlots(), before);
    }
};

QTEST_MAIN(AttachmentsDialogTest)
#include "AttachmentsDialogTest.moc"
