#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "common/Barcode.h"
#include "products/BarcodeBox.h"
#include "products/TfrmMagazzino.h"
#include "products/TfrmWebCam.h"
#include "support/GuiProgram.h"
#include "support/Records.h"

using namespace scortavia;

namespace {

const QString kInserted = QString::fromUtf8("La scheda corrente è stata inserita in archivio.");
const QString kUpdated = QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");

}  // namespace

class ProductBarcodeTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    QStringList messages() const { return run->messages.texts(); }
    QString hint() const { return card->imgCodiceBarre->property("hoverHint").toString(); }
    // The box as the card shows it, painted inside the card's window (not on its own).
    QImage shown() const {
        return card->grab().toImage().copy(
            QRect(card->imgCodiceBarre->mapTo(card, QPoint()), card->imgCodiceBarre->size()));
    }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    // The barcode under the photo follows the code as it is typed, and reads back as that code.
    void followsTheCodeAsTyped_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("type");
        QTest::newRow("ean13") << "5901234123457" << int(Symbology::Ean13);
        QTest::newRow("ean8") << "96385074" << int(Symbology::Ean8);
        QTest::newRow("upca") << "036000291452" << int(Symbology::UpcA);
        QTest::newRow("code128") << "VT-01/B" << int(Symbology::Code128);
    }
    void followsTheCodeAsTyped() {
        QFETCH(QString, code);
        QFETCH(int, type);
        QTest::keyClicks(card->txtCodice, code);
        const std::vector<ReadBarcode> found = readBarcodes(shown());
        QCOMPARE(found.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(found.front().text), code);
        QCOMPARE(int(found.front().symbology), type);
        QVERIFY(!hint().isEmpty());
        QTest::keyClick(card->txtCodice, Qt::Key_Backspace);
        QVERIFY(QString::fromStdString(readBarcodes(shown()).front().text) != code);
    }

    // A code that cannot be a barcode leaves the box without bars, and its hover hint says why.
    void saysWhyACodeCannotBeOne() {
        QTest::keyClicks(card->txtCodice, QString::fromUtf8("CAFFÈ-1"));
        QVERIFY(readBarcodes(shown()).empty());
        QVERIFY2(hint().contains(QString::fromUtf8("«È»")), qPrintable(hint()));
        QCOMPARE(card->imgCodiceBarre->toolTip(), hint());
    }

    // "Genera codice" proposes an in-store EAN-13 the archive does not hold, on a new card only.
    void generatesAnInStoreCode() {
        run->writeProducts({test::product("2000000000008"), test::product("C2"), test::product("5901234123457")});
        QVERIFY(card->btnGeneraCodice->isEnabled());
        test::click(card->btnGeneraCodice);
        const std::string code = card->txtCodice->text().toStdString();
        QCOMPARE(code.size(), std::size_t(13));
        QCOMPARE(code[0], '2');
        QCOMPARE(barcodeFor(code).symbology, std::optional(Symbology::Ean13));
        QVERIFY(code != "2000000000008");
        QVERIFY(messages().isEmpty());
        QCOMPARE(test::readBytes(run->productArchive()).size(), std::size_t(3 * ProductRecord::kSize));

        test::click(card->cmdPrimo);
        QVERIFY(!card->btnGeneraCodice->isEnabled());
        test::click(card->btnNuovo);
        QVERIFY(card->btnGeneraCodice->isEnabled());
    }

    void generatingOnAnUnreadableArchiveSaysSo() {
        std::filesystem::create_directory(run->productArchive());
        test::click(card->btnGeneraCodice);
        QCOMPARE(messages(), QStringList{QString::fromUtf8(kMsgArchiveAccess.data())});
        QVERIFY(card->txtCodice->text().isEmpty());
    }

    // A typed 13-digit code with a wrong check digit is pointed out once, when the card is saved, and saved.
    void warnsAboutAWrongCheckDigitOnSave() {
        test::fillMandatory(card, "5901234123458", "Vite");
        test::click(card->btnSalva);
        QCOMPARE(messages().size(), 2);
        QVERIFY2(messages()[0].contains(QStringLiteral("\"5901234123458\"")) && messages()[0].contains(QChar('7')),
                 qPrintable(messages()[0]));
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(messages()[1], kInserted);
        QCOMPARE(run->storedProduct(0).text(ProductRecord::Codice), std::string("5901234123458"));
        // Saved again unchanged: the user has been told already.
        test::click(card->btnSalva);
        QCOMPARE(messages().mid(2), QStringList{kUpdated});
    }

    void rightCheckDigitsAndOtherCodesSaveQuietly_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("ean13") << "5901234123457";
        QTest::newRow("twelve digits") << "590123412345";
        QTest::newRow("letters") << "59012341234AB";
    }
    void rightCheckDigitsAndOtherCodesSaveQuietly() {
        QFETCH(QString, code);
        test::fillMandatory(card, code, "Vite");
        test::click(card->btnSalva);
        QCOMPARE(messages(), QStringList{kInserted});
    }
};

QTEST_MAIN(ProductBarcodeTest)
#include "ProductBarcodeTest.moc"
