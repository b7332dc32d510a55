#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "products/TfrmMagazzino.h"
#include "products/TfrmZoom.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "support/Records.h"
#include "ui/PhotoBox.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

// JPEG is lossy: pictures are compared by size and by their mean colour.
QColor meanColour(const QImage& image) {
    const QImage small = image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.pixelColor(0, 0);
}

bool looksLike(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    const QColor x = meanColour(a);
    const QColor y = meanColour(b);
    return std::abs(x.red() - y.red()) < 8 && std::abs(x.green() - y.green()) < 8 && std::abs(x.blue() - y.blue()) < 8;
}

}  // namespace

class ProductPhotoTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    std::filesystem::path file(const char* name) const { return run->folder.file(name); }
    QString qfile(const char* name) const { return QString::fromStdString(file(name).string()); }

    QImage redPicture(const char* name, const char* format) {
        QImage red(100, 80, QImage::Format_RGB32);
        red.fill(QColor(200, 30, 30));
        red.save(qfile(name), format);
        return red;
    }
    void goTo(int position) {
        test::click(card->cmdPrimo);
        for (int i = 1; i < position; ++i) test::click(card->cmdAvanti);
        QCOMPARE(card->lblPosizione->text(), QString::number(position));
    }

private Q_SLOTS:
    void init() { QVERIFY(openCard()); }
    void cleanup() { endProgram(); }

    void aNewCardWithoutPhotoWritesThePlaceholder() {
        run->writeProducts(test::numberedProducts(6));
        test::fillMandatory(card, "F-1", "Foto");
        test::click(card->btnSalva);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("7"));
        const QImage written(qfile("7.jpg"));
        QVERIFY(looksLike(written, placeholderPhoto()));

        // Gone from the folder: the card shows the placeholder and the next save writes it again.
        std::filesystem::remove(file("7.jpg"));
        test::click(card->btnNuovo);
        goTo(7);
        QVERIFY(card->imgFoto->showsPlaceholder());
        test::click(card->btnSalva);
        QVERIFY(looksLike(QImage(qfile("7.jpg")), placeholderPhoto()));
    }

    void aBitmapIsStoredAsJpegAndComesBack() {
        run->writeProducts(test::numberedProducts(2));
        const QImage red = redPicture("rosso.bmp", "BMP");
        run->files.answers.push_back(qfile("rosso.bmp"));
        goTo(2);
        test::click(card->btnCaricaFoto);
        QCOMPARE(run->files.requests.size(), size_t(1));
        const FileRequest& asked = run->files.requests[0];
        QCOMPARE(asked.kind, FileRequest::Kind::Open);
        QCOMPARE(asked.title, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
        QCOMPARE(asked.filter, QStringLiteral("Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)"));
        QVERIFY(!std::filesystem::exists(file("2.jpg")));  // only a save writes the photo file
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(file("2.jpg")).substr(0, 2), std::string("\xFF\xD8"));
        test::click(card->btnNuovo);
        QVERIFY(card->imgFoto->showsPlaceholder());
        goTo(2);
        QVERIFY(looksLike(card->imgFoto->image(), red));
    }

    void notAPictureGivesThePlaceholderAndCancelChangesNothing() {
        redPicture("rosso.jpg", "JPG");
        run->files.answers.push_back(qfile("rosso.jpg"));
        test::click(card->btnCaricaFoto);
        QVERIFY(!card->imgFoto->showsPlaceholder());
        run->files.answers.push_back(std::nullopt);
        test::click(card->btnCaricaFoto);
        QVERIFY(!card->imgFoto->showsPlaceholder());
        test::writeBytes(file("note.jpg"), "non sono una foto");
        run->files.answers.push_back(qfile("note.jpg"));
        test::click(card->btnCaricaFoto);
        QVERIFY(card->imgFoto->showsPlaceholder());
    }

    void duplicatingCard7AndSavingAsCard8() {
        run->writeProducts(test::numberedProducts(7));
        const QImage red = redPicture("7.jpg", "JPG");
        const std::string photo7 = test::readBytes(file("7.jpg"));
        goTo(7);
        QVERIFY(looksLike(card->imgFoto->image(), red));
        test::click(card->btnDuplica);
        QVERIFY(card->imgFoto->showsPlaceholder());
        test::click(card->btnSalva);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("8"));
        QVERIFY(looksLike(QImage(qfile("8.jpg")), placeholderPhoto()));
        QCOMPARE(test::readBytes(file("7.jpg")), photo7);
    }

    void removingThePhotoReachesTheDiskAtTheNextSave() {
        run->writeProducts(test::numberedProducts(1));
        redPicture("1.jpg", "JPG");
        goTo(1);
        test::click(card->btnCancFoto);
        QVERIFY(card->imgFoto->showsPlaceholder());
        QVERIFY(!looksLike(QImage(qfile("1.jpg")), placeholderPhoto()));
        test::click(card->btnSalva);
        QVERIFY(looksLike(QImage(qfile("1.jpg")), placeholderPhoto()));
    }

    void aPhotoThatCannotBeWrittenIsReportedAndKept() {
        run->writeProducts(test::numberedProducts(1));
        const QImage red = redPicture("rosso.bmp", "BMP");
        std::filesystem::create_directory(file("2.jpg"));  // nothing can be written under that name
        test::fillMandatory(card, "F-1", "Foto");
        run->files.answers.push_back(qfile("rosso.bmp"));
        test::click(card->btnCaricaFoto);
        test::click(card->btnSalva);
        QCOMPARE(card->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(std::filesystem::file_size(run->productArchive()), std::uintmax_t(2 * 2592));
        const QStringList texts = run->messages.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains("\"2.jpg\""));
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(texts[1], QString::fromUtf8("La scheda corrente è stata inserita in archivio."));
        QVERIFY(looksLike(card->imgFoto->image(), red));
    }

    void saveACopyOfThePhoto() {
        redPicture("rosso.bmp", "BMP");
        run->files.answers.push_back(qfile("rosso.bmp"));
        test::click(card->btnCaricaFoto);
        run->files.answers.push_back(qfile("copia.jpg"));
        test::click(card->btnSalvaFoto);
        const FileRequest& request = run->files.requests.back();
        QCOMPARE(request.kind, FileRequest::Kind::Save);
        QCOMPARE(request.title, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."));
        QCOMPARE(request.proposedName, QStringLiteral("Foto.jpg"));
        QCOMPARE(QImage(qfile("copia.jpg")).size(), QSize(100, 80));
        QVERIFY(run->messages.shown.empty());
        run->files.answers.push_back(qfile("manca/copia.jpg"));
        test::click(card->btnSalvaFoto);
        QCOMPARE(
            run->messages.texts(),
            QStringList{QString::fromUtf8("Attenzione: non è stato possibile salvare la foto nel file indicato.")});
        run->files.answers.push_back(std::nullopt);
        test::click(card->btnSalvaFoto);
        QCOMPARE(run->messages.shown.size(), size_t(1));
    }

    void zoomShowsTheCardsPhoto() {
        const QImage red = redPicture("rosso.bmp", "BMP");
        run->files.answers.push_back(qfile("rosso.bmp"));
        test::click(card->btnCaricaFoto);
        QVERIFY(test::withModal<TfrmZoom>(card->btnZoomFoto,
                                          [](TfrmZoom* zoom) { QTest::mouseClick(zoom, Qt::LeftButton); }));
    }
};

QTEST_MAIN(ProductPhotoTest)
#include "ProductPhotoTest.moc"
