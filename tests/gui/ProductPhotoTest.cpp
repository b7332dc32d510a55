#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

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

// A JPEG of `picture`, at `quality`.
QByteArray jpegOf(const QImage& picture, int quality = 90) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", quality);
    return bytes;
}

// The JPEG of `picture` with the Exif orientation a phone held sideways writes: turn 90° clockwise to view.
QByteArray jpegTurnedClockwise(const QImage& picture) {
    const QByteArray exif = QByteArray::fromHex(
        "FFE10022"                  // APP1, 34 bytes
        "457869660000"              // "Exif"
        "4D4D002A00000008"          // big-endian TIFF, first IFD at 8
        "0001"                      // one entry:
        "011200030000000100060000"  // orientation = 6
        "00000000");                // no further IFD
    const QByteArray jpeg = jpegOf(picture);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

// A picture with detail all over: a JPEG of it re-encoded at another quality has other bytes.
QImage gradientPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) picture.setPixel(x, y, qRgb(x * 255 / size.width(), (x ^ y) & 0xFF, 90));
    }
    return picture;
}

// Left half red, right half blue.
QImage halvesPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, size.width() / 2, size.height(), Qt::red);
    return picture;
}

bool mostlyRed(QColor c) { return c.red() > 180 && c.blue() < 80; }
bool mostlyBlue(QColor c) { return c.blue() > 180 && c.red() < 80; }

// Ends the whole test program, a failure, should a step hang instead of failing.
class HangGuard final {
public:
    explicit HangGuard(unsigned seconds) { ::alarm(seconds); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

bool isRegularFile(const std::filesystem::path& path) {
    return std::filesystem::symlink_status(path).type() == std::filesystem::file_type::regular;
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

    void aFifoInPlaceOfAPictureNeverBlocks_data() {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("the card's photo file") << false;
        QTest::newRow("the file chosen with Carica foto") << true;
    }
    void aFifoInPlaceOfAPictureNeverBlocks() {
        QFETCH(bool, chosen);
        run->writeProducts(test::numberedProducts(2));
        redPicture("2.jpg", "JPG");
        goTo(2);
        QVERIFY(!card->imgFoto->showsPlaceholder());
        QCOMPARE(::mkfifo(file("1.jpg").c_str(), 0644), 0);
        const HangGuard guard(10);
        QElapsedTimer clock;
        clock.start();
        if (chosen) {
            run->files.answers.push_back(qfile("1.jpg"));
            test::click(card->btnCaricaFoto);
        } else {
            test::click(card->cmdIndietro);
            QCOMPARE(card->lblPosizione->text(), QStringLiteral("1"));
        }
        QVERIFY(card->imgFoto->showsPlaceholder());
        QVERIFY(clock.elapsed() < 5000);
        if (chosen) return;
        // The save puts a photo file in its place, without ever opening it.
        test::click(card->btnSalva);
        QVERIFY(isRegularFile(file("1.jpg")));
        QVERIFY(looksLike(QImage(qfile("1.jpg")), placeholderPhoto()));
    }

    void aLinkInPlaceOfThePhotoIsReplacedNeverWrittenThrough_data() {
        QTest::addColumn<QString>("link");  // "1.jpg" is written by Salva, any other name by Salva foto
        QTest::addColumn<bool>("outsideIsPhoto");
        QTest::addColumn<bool>("loadRed");
        QTest::addColumn<QString>("expected");  // what the link's name holds at the end
        QTest::newRow("save, photo behind the link unchanged") << "1.jpg" << true << false << "outside";
        QTest::newRow("save, no picture behind the link") << "1.jpg" << false << false << "placeholder";
        QTest::newRow("save, photo changed") << "1.jpg" << true << true << "red";
        QTest::newRow("copy with Salva foto") << "copia.jpg" << false << true << "red";
    }
    void aLinkInPlaceOfThePhotoIsReplacedNeverWrittenThrough() {
        QFETCH(QString, link);
        QFETCH(bool, outsideIsPhoto);
        QFETCH(bool, loadRed);
        QFETCH(QString, expected);
        run->writeProducts(test::numberedProducts(1));
        const test::TempFolder elsewhere;
        const std::filesystem::path outside = elsewhere.file("altrove.jpg");
        const QByteArray photo = jpegOf(gradientPicture({120, 90}));
        const std::string outsideBytes =
            outsideIsPhoto ? photo.toStdString() : std::string("dati di un altro programma");
        test::writeBytes(outside, outsideBytes);
        const std::filesystem::path target = file(link.toStdString().c_str());
        std::filesystem::create_symlink(outside, target);
        const QImage red = redPicture("rosso.bmp", "BMP");

        goTo(1);
        if (loadRed) {
            run->files.answers.push_back(qfile("rosso.bmp"));
            test::click(card->btnCaricaFoto);
        }
        if (link == "1.jpg") {
            test::click(card->btnSalva);
        } else {
            run->files.answers.push_back(QString::fromStdString(target.string()));
            test::click(card->btnSalvaFoto);
        }

        QCOMPARE(test::readBytes(outside), outsideBytes);
        QVERIFY(isRegularFile(target));
        const std::string written = test::readBytes(target);
        QCOMPARE(written.substr(0, 2), std::string("\xFF\xD8"));
        const QImage back = QImage::fromData(QByteArray::fromStdString(written));
        if (expected == "outside") QCOMPARE(written, outsideBytes);
        if (expected == "placeholder") QVERIFY(looksLike(back, placeholderPhoto()));
        if (expected == "red") QVERIFY(looksLike(back, red));
        QVERIFY(run->messages.texts().filter("Attenzione").isEmpty());
    }

    void aPhotoIsDecodedAtTheSizeShownAndWholeWhenAskedFor_data() {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<QSize>("whole");
        QTest::addColumn<bool>("redOnTop");  // else red on the left
        QTest::newRow("large") << jpegOf(halvesPicture({2400, 1800})) << QSize(2400, 1800) << false;
        QTest::newRow("smaller than the box, never enlarged")
            << jpegOf(halvesPicture({120, 90})) << QSize(120, 90) << false;
        QTest::newRow("held sideways by the camera")
            << jpegTurnedClockwise(halvesPicture({1800, 600})) << QSize(600, 1800) << true;
    }
    void aPhotoIsDecodedAtTheSizeShownAndWholeWhenAskedFor() {
        QFETCH(QByteArray, jpeg);
        QFETCH(QSize, whole);
        QFETCH(bool, redOnTop);
        run->writeProducts(test::numberedProducts(1));
        test::writeBytes(file("1.jpg"), jpeg.toStdString());
        goTo(1);
        QTRY_VERIFY(!card->imgFoto->shownImage().isNull());  // decoded off the user-interface thread
        const QImage shown = card->imgFoto->shownImage();
        const QSize room = kPhotoSize * card->imgFoto->devicePixelRatioF();
        QCOMPARE(shown.size(), whole.scaled(room, Qt::KeepAspectRatio).boundedTo(whole));
        const QImage picture = card->imgFoto->image();
        QCOMPARE(picture.size(), whole);
        for (const QImage& image : {shown, picture}) {
            const QColor first = image.pixelColor(image.width() / 4, image.height() / 4);
            const QColor second = redOnTop ? image.pixelColor(image.width() / 4, image.height() * 3 / 4)
                                           : image.pixelColor(image.width() * 3 / 4, image.height() / 4);
            QVERIFY(mostlyRed(first));
            QVERIFY(mostlyBlue(second));
        }
        QVERIFY(!card->imgFoto->showsPlaceholder());
    }

    void aLargerBoxDecodesItsPhotoAgainAtItsSize() {
        PhotoBox box(QStringLiteral("imgProva"), nullptr);
        QVERIFY(box.showFileBytes(jpegOf(halvesPicture({2400, 1800}))));
        QTRY_VERIFY(!box.shownImage().isNull());
        const qreal ratio = box.devicePixelRatioF();
        QCOMPARE(box.shownImage().size(), QSize(2400, 1800).scaled(kPhotoSize * ratio, Qt::KeepAspectRatio));
        box.resize(802, 602);
        box.grab();
        QCOMPARE(box.shownImage().size(), QSize(800, 600) * ratio);
        QVERIFY(mostlyRed(box.shownImage().pixelColor(100, 300)));
        QCOMPARE(box.image().size(), QSize(2400, 1800));
    }

    // Moving on before a photo is decoded: the card shows the photo of the card it stands on.
    void aPhotoStillDecodingNeverReplacesTheNextOne() {
        run->writeProducts(test::numberedProducts(2));
        test::writeBytes(file("1.jpg"), jpegOf(halvesPicture({3000, 2000})).toStdString());
        test::writeBytes(file("2.jpg"), jpegOf(halvesPicture({60, 40})).toStdString());
        goTo(1);
        test::click(card->cmdAvanti);
        QTRY_COMPARE(card->imgFoto->shownImage().size(), QSize(60, 40));
        QTest::qWait(300);  // long enough for the large photo's decode to have come back
        QCOMPARE(card->imgFoto->shownImage().size(), QSize(60, 40));
        QCOMPARE(card->imgFoto->image().size(), QSize(60, 40));
    }

    // The program's screens decode their photos on threads of their own, and the program waits for them
    // as it ends, before any screen goes: a decode never comes back to a card that is no more.
    void photosAreDecodedOnTheScreensThreadsWhichTheEndWaitsFor() {
        run->writeProducts(test::numberedProducts(1));
        test::writeBytes(file("1.jpg"), jpegOf(halvesPicture({3000, 2000})).toStdString());
        QThreadPool& decoding = run->program->registry().photoDecoding();
        decoding.setMaxThreadCount(1);
        QSemaphore gate;
        std::atomic<bool> cardGone = false;
        std::atomic<bool> goneBeforeTheDecodesEnded = false;
        connect(card, &QObject::destroyed, [&cardGone] { cardGone = true; });
        // Holds the one decoding thread: the card's photo waits behind it.
        decoding.start([&] {
            gate.acquire();
            goneBeforeTheDecodesEnded = cardGone.load();
        });
        goTo(1);
        QTest::qWait(200);
        QVERIFY(card->imgFoto->shownImage().isNull());
        gate.release();
        QTRY_VERIFY(!card->imgFoto->shownImage().isNull());

        decoding.start([&] {
            gate.acquire();
            goneBeforeTheDecodesEnded = cardGone.load();
        });
        std::thread opener([&gate] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            gate.release();
        });
        endProgram();
        opener.join();
        QVERIFY(cardGone);
        QVERIFY(!goneBeforeTheDecodesEnded);
    }

    void anUnchangedPhotoIsNeverEncodedAgain_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("saved where it was read") << "save";
        QTest::newRow("saved after the zoom showed it whole") << "zoom";
        QTest::newRow("saved twice") << "twice";
        QTest::newRow("saved as a new card") << "new card";
        QTest::newRow("copied with Salva foto") << "copy";
    }
    void anUnchangedPhotoIsNeverEncodedAgain() {
        QFETCH(QString, how);
        run->writeProducts(test::numberedProducts(7));
        // Another quality than the program's own: encoding it again would change its bytes.
        const std::string original = jpegOf(gradientPicture({640, 480}), 60).toStdString();
        test::writeBytes(file("7.jpg"), original);
        goTo(7);
        if (how == "zoom") {
            QVERIFY(test::withModal<TfrmZoom>(card->btnZoomFoto,
                                              [](TfrmZoom* zoom) { QTest::mouseClick(zoom, Qt::LeftButton); }));
        }
        if (how == "new card") card->setPosition(kNewCard);
        std::string target = "7.jpg";
        if (how == "copy") {
            target = "copia.jpg";
            run->files.answers.push_back(qfile("copia.jpg"));
            test::click(card->btnSalvaFoto);
        } else {
            test::click(card->btnSalva);
            if (how == "twice") test::click(card->btnSalva);
        }
        if (how == "new card") {
            QCOMPARE(card->lblPosizione->text(), QStringLiteral("8"));
            target = "8.jpg";
        }
        QCOMPARE(test::readBytes(file(target.c_str())), original);
        QCOMPARE(test::readBytes(file("7.jpg")), original);
        QVERIFY(run->messages.texts().filter("Attenzione").isEmpty());
    }

    void aChangedPhotoIsEncodedOnce() {
        run->writeProducts(test::numberedProducts(2));
        redPicture("rosso.bmp", "BMP");
        goTo(2);
        run->files.answers.push_back(qfile("rosso.bmp"));
        test::click(card->btnCaricaFoto);
        test::click(card->btnSalva);
        const std::string stored = test::readBytes(file("2.jpg"));
        QCOMPARE(stored.substr(0, 2), std::string("\xFF\xD8"));
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(file("2.jpg")), stored);
        test::click(card->cmdIndietro);
        test::click(card->cmdAvanti);
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(file("2.jpg")), stored);
        // Cleared, it changes again: the placeholder is written in its place.
        test::click(card->btnCancFoto);
        test::click(card->btnSalva);
        QVERIFY(looksLike(QImage(qfile("2.jpg")), placeholderPhoto()));
    }

    void aPhotoChangedOnDiskSinceItWasReadIsWrittenBack() {
        run->writeProducts(test::numberedProducts(1));
        const std::string original = jpegOf(gradientPicture({200, 150})).toStdString();
        test::writeBytes(file("1.jpg"), original);
        goTo(1);
        // The card shows the photo it read: saving the card stores that one again.
        test::writeBytes(file("1.jpg"), jpegOf(halvesPicture({200, 150})).toStdString());
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(file("1.jpg")), original);
        std::filesystem::remove(file("1.jpg"));
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(file("1.jpg")), original);
    }
};

QTEST_MAIN(ProductPhotoTest)
#include "ProductPhotoTest.moc"
