#include <QCameraDevice>
#include <QElapsedTimer>
#include <QImageReader>
#include <QMediaDevices>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>
#include <thread>

#include "products/FrameSource.h"
#include "products/TfrmMagazzino.h"
#include "products/TfrmWebCam.h"
#include "products/TfrmZoom.h"
#include "shell/TfrmAvvio.h"
#include "support/GuiProgram.h"
#include "ui/PhotoBox.h"
#include "ui/Widgets.h"

using namespace scortavia;

namespace {

const QString kNoWebcam = QString::fromUtf8(
    "Attenzione: nessuna webcam è disponibile su questo computer, oppure la webcam è già in uso "
    "da un altro programma.\n\nCollegare una webcam e riprovare.");
const QString kNotSaved = QString::fromUtf8("Attenzione: non è stato possibile salvare la foto nel file indicato.");

QImage frame(QColor colour) {
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// What the test camera went through; it outlives the camera, which dies with its dialog.
struct CameraLog {
    bool canStart = true;
    bool on = false;
    int stops = 0;
};

// A camera whose frames come from a thread of its own, as a real one's do.
class ThreadedSource final : public FrameSource {
public:
    explicit ThreadedSource(CameraLog& log) : log_(log) {}

    bool start() override { return log_.on = log_.canStart; }
    void stop() override {
        ++log_.stops;
        log_.on = false;
    }
    bool running() const override { return log_.on; }

    // Emits the frames on another thread and waits until that thread is finished.
    void deliver(const QList<QImage>& frames) {
        std::thread camera([this, frames] {
            for (const QImage& f : frames) Q_EMIT frameArrived(f);
        });
        camera.join();
    }

private:
    CameraLog& log_;
};

}  // namespace

class WebCamZoomTest : public QObject, private test::ProductCardFixture {
    Q_OBJECT

    ThreadedSource* source = nullptr;  // the one of the dialog open at the moment
    CameraLog camera;

    // Runs `steps` inside the webcam dialog opened modally over the card; returns how it closed.
    int openModal(const std::function<void(TfrmWebCam&)>& steps) {
        TfrmWebCam dialog(run->program->registry(), card);
        const std::optional<int> result = test::execWith(dialog, steps);
        [&] { QVERIFY(result); }();
        return result.value_or(-1);
    }

private Q_SLOTS:
    void init() {
        QVERIFY(openCard());
        source = nullptr;
        camera = {};
        FrameSource::setFactoryForTesting([this] {
            auto made = std::make_unique<ThreadedSource>(camera);
            source = made.get();
            return made;
        });
    }
    void cleanup() {
        FrameSource::setFactoryForTesting({});
        endProgram();
    }

    void opensWithTheWaitingPictures() {
        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        QVERIFY(!webcamOffPicture().isNull());
        QVERIFY(webcamOffPicture() != noCapturePicture());
        QCOMPARE(dialog.imgCamera->image(), webcamOffPicture());
        QCOMPARE(dialog.imgTarget->image(), noCapturePicture());
        QCOMPARE(dialog.imgBianco->image(), webcamOffPicture());
        QVERIFY(dialog.imgBianco->isHidden());
        for (PhotoBox* box : {dialog.imgCamera, dialog.imgTarget}) QCOMPARE(box->size(), kPhotoSize);
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(!(dialog.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));
        QVERIFY(!camera.on);
    }

    void framesReachTheLiveViewOnlyThroughTheInterfaceThread() {
        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        test::click(dialog.btnAccendi);
        QVERIFY(camera.on);
        const QImage red = frame(Qt::red), green = frame(Qt::green), blue = frame(Qt::blue);

        source->deliver({red, green});
        // The camera thread has finished: had it touched the picture box, it would show a frame now.
        QCOMPARE(dialog.imgCamera->image(), webcamOffPicture());
        QTRY_COMPARE(dialog.imgCamera->image(), green);

        test::click(dialog.btnCattura);
        QCOMPARE(dialog.imgTarget->image(), green);

        test::click(dialog.btnSpegni);
        QVERIFY(!camera.on);
        source->deliver({blue});  // late frame of a camera going off
        QTest::qWait(20);
        QCOMPARE(dialog.imgCamera->image(), green);
        QVERIFY(run->messages.shown.empty());
    }

    void importaPutsTheCaptureOnTheCard_data() {
        QTest::addColumn<bool>("withFrame");
        QTest::addColumn<bool>("capture");
        QTest::addColumn<QString>("expected");
        QTest::newRow("captured frame") << true << true << "frame";
        QTest::newRow("frame, no capture") << true << false << "camera picture";
        QTest::newRow("capture before any frame") << false << true << "webcam picture";
    }
    void importaPutsTheCaptureOnTheCard() {
        QFETCH(bool, withFrame);
        QFETCH(bool, capture);
        QFETCH(QString, expected);
        const QImage live = frame(QColor(0x16, 0x7A, 0x80));
        const QImage wanted = expected == "frame"            ? live
                              : expected == "camera picture" ? noCapturePicture()
                                                             : webcamOffPicture();
        const int result = openModal([&](TfrmWebCam& d) {
            test::click(d.btnAccendi);
            if (withFrame) {
                source->deliver({live});
                QTRY_COMPARE(d.imgCamera->image(), live);
            }
            if (capture) test::click(d.btnCattura);
            test::click(d.btnImportaFoto);
            QVERIFY(!camera.on);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(card->imgFoto->image(), wanted);
    }

    void closingLeavesTheCardPhotoAndStopsTheCamera_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Annulla") << false;
        QTest::newRow("Esc key") << true;
    }
    void closingLeavesTheCardPhotoAndStopsTheCamera() {
        QFETCH(bool, escape);
        const QImage before = frame(Qt::yellow);
        card->imgFoto->setImage(before);
        bool offAtClose = false;
        const int result = openModal([&](TfrmWebCam& d) {
            test::click(d.btnAccendi);
            source->deliver({frame(Qt::magenta)});
            QTRY_COMPARE(d.imgCamera->image(), frame(Qt::magenta));
            test::click(d.btnCattura);
            if (escape) {
                QTest::keyClick(&d, Qt::Key_Escape);
            } else {
                test::click(d.btnClose);
            }
            offAtClose = !camera.on && !d.isVisible();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(offAtClose);
        QCOMPARE(card->imgFoto->image(), before);
    }

    void destroyingTheDialogStopsTheCamera() {
        auto dialog = std::make_unique<TfrmWebCam>(run->program->registry(), card);
        test::click(dialog->btnAccendi);
        QVERIFY(camera.on);
        dialog.reset();
        QVERIFY(!camera.on);
        QVERIFY(camera.stops > 0);
    }

    void withoutACameraTheDialogWarnsAndStaysUsable() {
        camera.canStart = false;
        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        test::click(dialog.btnAccendi);
        QCOMPARE(run->messages.texts(), QStringList{kNoWebcam});
        QCOMPARE(run->messages.shown.front().kind, MessageKind::Warning);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.imgCamera->image(), webcamOffPicture());
        test::click(dialog.btnCattura);
        QCOMPARE(dialog.imgTarget->image(), webcamOffPicture());
        test::click(dialog.btnImportaFoto);
        QCOMPARE(card->imgFoto->image(), webcamOffPicture());
    }

    void aCameraThatStopsByItselfIsReported() {
        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        test::click(dialog.btnAccendi);
        camera.on = false;
        Q_EMIT source->failed();
        QTRY_COMPARE(run->messages.shown.size(), std::size_t{1});
        QCOMPARE(run->messages.shown.front().kind, MessageKind::Warning);
        QVERIFY(run->messages.shown.front().text.contains(QStringLiteral("Accendi webcam")));
        QVERIFY(dialog.isVisible());
    }

    void theRealCameraFailsQuicklyWhenThereIsNone() {
        FrameSource::setFactoryForTesting({});
        if (!QMediaDevices::videoInputs().isEmpty()) QSKIP("this computer has a webcam");
        auto real = FrameSource::create();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!real->start());
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(!real->running());
        real->stop();
        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        test::click(dialog.btnAccendi);
        QCOMPARE(run->messages.texts(), QStringList{kNoWebcam});
    }

    void salvaFotoSuDisco_data() {
        QTest::addColumn<QString>("answer");  // "" cancels
        QTest::addColumn<bool>("written");
        QTest::newRow("written") << "Foto.jpg" << true;
        QTest::newRow("missing folder") << "manca/Foto.jpg" << false;
        QTest::newRow("cancelled") << "" << false;
    }
    void salvaFotoSuDisco() {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        QImage captured(640, 480, QImage::Format_RGB32);
        captured.fill(QColor(0xF2, 0x8C, 0x28));
        const QString path = QString::fromStdString(run->folder.file(answer.toStdString()).string());
        if (!answer.isEmpty()) run->files.answers.push_back(path);

        TfrmWebCam dialog(run->program->registry(), card);
        dialog.show();
        test::click(dialog.btnAccendi);
        source->deliver({captured});
        QTRY_COMPARE(dialog.imgCamera->image(), captured);
        test::click(dialog.btnCattura);
        test::click(dialog.btnSalvaFotogramma);

        QCOMPARE(run->files.requests.size(), std::size_t{1});
        const FileRequest& asked = run->files.requests.front();
        QCOMPARE(asked.kind, FileRequest::Kind::Save);
        QCOMPARE(asked.title, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."));
        QCOMPARE(asked.filter, QStringLiteral("File Jpeg (*.jpg)"));
        QCOMPARE(asked.proposedName, QStringLiteral("Foto.jpg"));
        QVERIFY(dialog.isVisible());
        if (written) {
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("jpeg"));
            const QImage back = reader.read();
            QCOMPARE(back.size(), captured.size());
            const QColor centre = back.pixelColor(320, 240);
            QVERIFY(qAbs(centre.red() - 0xF2) < 8 && qAbs(centre.green() - 0x8C) < 8 && qAbs(centre.blue() - 0x28) < 8);
            QCOMPARE(dialog.imgTarget->image(), captured);
            QVERIFY(run->messages.shown.empty());
        } else if (answer.isEmpty()) {
            QCOMPARE(dialog.imgTarget->image(), captured);
            QVERIFY(run->messages.shown.empty());
        } else {
            QVERIFY(!QFile::exists(path));
            QCOMPARE(dialog.imgTarget->image(), webcamOffPicture());
            QCOMPARE(run->messages.texts(), QStringList{kNotSaved});
            QCOMPARE(run->messages.shown.front().kind, MessageKind::Warning);
        }
    }

    void zoomFitsThePhotoInTheArea_data() {
        QTest::addColumn<QSize>("photo");
        QTest::newRow("card size") << kPhotoSize;
        QTest::newRow("wide") << QSize(1600, 300);
        QTest::newRow("tall") << QSize(300, 1500);
        QTest::newRow("small, enlarged") << QSize(40, 30);
        QTest::newRow("square") << QSize(500, 500);
    }
    void zoomFitsThePhotoInTheArea() {
        QFETCH(QSize, photo);
        QImage picture(photo, QImage::Format_RGB32);
        picture.fill(Qt::white);
        TfrmZoom zoom(card, picture);
        zoom.show();
        QVERIFY(QTest::qWaitForWindowExposed(&zoom));
        QVERIFY(zoom.windowState() & Qt::WindowMaximized);
        QCOMPARE(zoom.windowTitle(), QStringLiteral(" Fai clic sulla foto per chiudere questa finestra"));

        const QRect area = zoom.pictureArea();
        QCOMPARE(area.size(), zoom.screen()->availableGeometry().size() - QSize(60, 90));
        QVERIFY(qAbs(area.center().x() - zoom.rect().center().x()) <= 1);
        QVERIFY(qAbs(area.center().y() - zoom.rect().center().y()) <= 1);

        const QRect shown = zoom.photoRect();
        QVERIFY(area.contains(shown));
        QVERIFY(shown.width() == area.width() || shown.height() == area.height());
        // Rounding one side to whole pixels is the only distortion allowed.
        const qint64 skew = qint64(shown.width()) * photo.height() - qint64(shown.height()) * photo.width();
        QVERIFY2(qAbs(skew) <= std::max(photo.width(), photo.height()), qPrintable(QString::number(skew)));
        QVERIFY(qAbs(shown.center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(shown.center().y() - area.center().y()) <= 1);
    }

    void aClickAnywhereClosesTheZoom_data() {
        QTest::addColumn<bool>("onThePhoto");
        QTest::newRow("on the photo") << true;
        QTest::newRow("around the photo") << false;
    }
    void aClickAnywhereClosesTheZoom() {
        QFETCH(bool, onThePhoto);
        TfrmZoom zoom(card, frame(Qt::darkCyan));
        const std::optional<int> result = test::execWith<TfrmZoom>(zoom, [&](TfrmZoom& shown) {
            const QPoint at = onThePhoto ? shown.photoRect().center() : QPoint(5, 5);
            QVERIFY(onThePhoto == shown.photoRect().contains(at));
            QTest::mouseClick(&shown, Qt::LeftButton, {}, at);
        });
        QVERIFY(result);
        QCOMPARE(*result, int(QDialog::Accepted));
    }

    void theZoomShowsALoadedPhotoWhole() {
        run->writeProducts(test::numberedProducts(1));
        QImage large(2000, 1500, QImage::Format_RGB32);
        large.fill(Qt::darkGreen);
        QVERIFY(large.save(QString::fromStdString(run->folder.file("1.jpg").string()), "JPG"));
        test::click(card->cmdPrimo);
        QTRY_VERIFY(!card->imgFoto->shownImage().isNull());
        QVERIFY(card->imgFoto->shownImage().width() <= kPhotoSize.width() * card->imgFoto->devicePixelRatioF());
        QSize zoomed;
        QVERIFY(test::withModal<TfrmZoom>(card->btnZoomFoto, [&](TfrmZoom* zoom) {
            zoomed = zoom->photo().size();
            QTest::mouseClick(zoom, Qt::LeftButton);
        }));
        QCOMPARE(zoomed, large.size());
    }

    void anImportedCaptureIsWrittenOnceAtTheSave() {
        run->writeProducts(test::numberedProducts(1));
        test::click(card->cmdPrimo);
        const QImage live = frame(QColor(0x16, 0x7A, 0x80));
        openModal([&](TfrmWebCam& d) {
            test::click(d.btnAccendi);
            source->deliver({live});
            QTRY_COMPARE(d.imgCamera->image(), live);
            test::click(d.btnCattura);
            test::click(d.btnImportaFoto);
        });
        const std::filesystem::path photo = run->folder.file("1.jpg");
        QVERIFY(!std::filesystem::exists(photo));  // only a save writes the photo file
        test::click(card->btnSalva);
        const std::string stored = test::readBytes(photo);
        const QImage back = QImage::fromData(QByteArray::fromStdString(stored), "JPG");
        QCOMPARE(back.size(), live.size());
        const QColor centre = back.pixelColor(320, 240);
        QVERIFY(qAbs(centre.red() - 0x16) < 8 && qAbs(centre.green() - 0x7A) < 8 && qAbs(centre.blue() - 0x80) < 8);
        test::click(card->btnSalva);
        QCOMPARE(test::readBytes(photo), stored);
    }
};

QTEST_MAIN(WebCamZoomTest)
#include "WebCamZoomTest.moc"
