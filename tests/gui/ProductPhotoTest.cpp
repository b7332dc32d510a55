#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "ui/PhotoBox.h"
#include "shell/TfrmAvvio.h"
#include "ui/Widgets.h"
#include "products/TfrmMagazzino.h"
#include "products/TfrmZoom.h"
#include "support/GuiProgram.h"
#include "support/Records.h"

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

class ProductPhotoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::GuiProgram> run;
    std::unique_ptr<test::FileDialogRecorder> files;
    TfrmMagazzino* card() { return run->screen<TfrmMagazzino>("frmMagazzino"); }
    std::filesystem::path file(const char* name) const { return run->folder.file(name); }
    QString qfile(const char* name) const { return QString::fromStdString(file(name).string()); }

    void withProducts(int n) {
        std::vector<ProductRecord> records;
        for (int i = 1; i <= n; ++i) records.push_back(test::product("C" + std::to_string(i)));
        test::writeBytes(file("Magazzino.pro"), test::archiveBytes(records));
    }
    void fillMandatory() {
        card()->txtCodice->setText("F-1");
        card()->txtNome->setText("Foto");
        card()->txtUM->setText("Pezzo");
        card()->txtTipologia->setText("Varie");
        card()->txtCaratteristiche->setText("Nessuna");
    }
    void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QImage redPicture(const char* name, const char* format) {
        QImage red(100, 80, QImage::Format_RGB32);
        red.fill(QColor(200, 30, 30));
        red.save(qfile(name), format);
        return red;
    }
    void goTo(int position) {
        click(card()->cmdPrimo);
        for (int i = 1; i < position; ++i) click(card()->cmdAvanti);
        QCOMPARE(card()->lblPosizione->text(), QString::number(position));
    }

private Q_SLOTS:
    void init() {
        run = std::make_unique<test::GuiProgram>();
        files = std::make_unique<test::FileDialogRecorder>();
        run->openProductCard();
        QVERIFY(card()->isVisible());
    }
    void cleanup() {
        files.reset();
        run.reset();
    }

    void aNewCardWithoutPhotoWritesThePlaceholder() {
        withProducts(6);
        fillMandatory();
        click(card()->btnSalva);
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("7"));
        const QImage written(qfile("7.jpg"));
        QVERIFY(looksLike(written, placeholderPhoto()));

        // Gone from the folder: the card shows the placeholder and the next save writes it again.
        std::filesystem::remove(file("7.jpg"));
        click(card()->btnNuovo);
        goTo(7);
        QVERIFY(card()->imgFoto->showsPlaceholder());
        click(card()->btnSalva);
        QVERIFY(looksLike(QImage(qfile("7.jpg")), placeholderPhoto()));
    }

    void aBitmapIsStoredAsJpegAndComesBack() {
        withProducts(2);
        const QImage red = redPicture("rosso.bmp", "BMP");
        files->answers.push_back(qfile("rosso.bmp"));
        goTo(2);
        click(card()->btnCaricaFoto);
        QCOMPARE(files->requests.size(), size_t(1));
        QCOMPARE(files->requests[0].kind, FileRequest::Kind::Open);
        QCOMPARE(files->requests[0].title, QStringLiteral("Selezionare un file di immagine in formato Jpeg o Bitmap."));
        QCOMPARE(files->requests[0].filter, QStringLiteral("Immagine JPEG (*.jpg *.jpeg);;Immagine Bitmap (*.bmp)"));
        QVERIFY(!std::filesystem::exists(file("2.jpg")));  // only a save writes the photo file
        click(card()->btnSalva);
        QCOMPARE(test::readBytes(file("2.jpg")).substr(0, 2), std::string("\xFF\xD8"));
        click(card()->btnNuovo);
        QVERIFY(card()->imgFoto->showsPlaceholder());
        goTo(2);
        QVERIFY(looksLike(card()->imgFoto->image(), red));
    }

    void notAPictureGivesThePlaceholderAndCancelChangesNothing() {
        redPicture("rosso.jpg", "JPG");
        files->answers.push_back(qfile("rosso.jpg"));
        click(card()->btnCaricaFoto);
        QVERIFY(!card()->imgFoto->showsPlaceholder());
        files->answers.push_back(std::nullopt);
        click(card()->btnCaricaFoto);
        QVERIFY(!card()->imgFoto->showsPlaceholder());
        test::writeBytes(file("note.jpg"), "non sono una foto");
        files->answers.push_back(qfile("note.jpg"));
        click(card()->btnCaricaFoto);
        QVERIFY(card()->imgFoto->showsPlaceholder());
    }

    void duplicatingCard7AndSavingAsCard8() {
        withProducts(7);
        const QImage red = redPicture("7.jpg", "JPG");
        const std::string photo7 = test::readBytes(file("7.jpg"));
        goTo(7);
        QVERIFY(looksLike(card()->imgFoto->image(), red));
        click(card()->btnDuplica);
        QVERIFY(card()->imgFoto->showsPlaceholder());
        click(card()->btnSalva);
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("8"));
        QVERIFY(looksLike(QImage(qfile("8.jpg")), placeholderPhoto()));
        QCOMPARE(test::readBytes(file("7.jpg")), photo7);
    }

    void removingThePhotoReachesTheDiskAtTheNextSave() {
        withProducts(1);
        redPicture("1.jpg", "JPG");
        goTo(1);
        click(card()->btnCancFoto);
        QVERIFY(card()->imgFoto->showsPlaceholder());
        QVERIFY(!looksLike(QImage(qfile("1.jpg")), placeholderPhoto()));
        click(card()->btnSalva);
        QVERIFY(looksLike(QImage(qfile("1.jpg")), placeholderPhoto()));
    }

    void aPhotoThatCannotBeWrittenIsReportedAndKept() {
        withProducts(1);
        const QImage red = redPicture("rosso.bmp", "BMP");
        std::filesystem::create_directory(file("2.jpg"));  // nothing can be written under that name
        fillMandatory();
        files->answers.push_back(qfile("rosso.bmp"));
        click(card()->btnCaricaFoto);
        click(card()->btnSalva);
        QCOMPARE(card()->lblPosizione->text(), QStringLiteral("2"));
        QCOMPARE(std::filesystem::file_size(file("Magazzino.pro")), std::uintmax_t(2 * 2592));
        const QStringList texts = run->messages.texts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains("\"2.jpg\""));
        QCOMPARE(run->messages.shown[0].kind, MessageKind::Warning);
        QCOMPARE(texts[1], QString::fromUtf8("La scheda corrente è stata inserita in archivio."));
        QVERIFY(looksLike(card()->imgFoto->image(), red));
    }

    void saveACopyOfThePhoto() {
        redPicture("rosso.bmp", "BMP");
        files->answers.push_back(qfile("rosso.bmp"));
        click(card()->btnCaricaFoto);
        files->answers.push_back(qfile("copia.jpg"));
        click(card()->btnSalvaFoto);
        const FileRequest& request = files->requests.back();
        QCOMPARE(request.kind, FileRequest::Kind::Save);
        QCOMPARE(request.title, QStringLiteral("Selezionare la cartella in cui si desidera salvare il file Jpeg."));
        QCOMPARE(request.proposedName, QStringLiteral("Foto.jpg"));
        QCOMPARE(QImage(qfile("copia.jpg")).size(), QSize(100, 80));
        QVERIFY(run->messages.shown.empty());
        files->answers.push_back(qfile("manca/copia.jpg"));
        click(card()->btnSalvaFoto);
        QCOMPARE(run->messages.texts(),
                 QStringList{QString::fromUtf8("Attenzione: non è stato possibile salvare la foto nel file indicato.")});
        files->answers.push_back(std::nullopt);
        click(card()->btnSalvaFoto);
        QCOMPARE(run->messages.shown.size(), size_t(1));
    }

    void zoomShowsTheCardsPhoto() {
        const QImage red = redPicture("rosso.bmp", "BMP");
        files->answers.push_back(qfile("rosso.bmp"));
        click(card()->btnCaricaFoto);
        bool zoomed = false;
        test::onNextModal([&](QWidget* dialog) {
            zoomed = qobject_cast<TfrmZoom*>(dialog) != nullptr;
            QTest::mouseClick(dialog, Qt::LeftButton);
        });
        click(card()->btnZoomFoto);
        QVERIFY(zoomed);
    }
};

QTEST_MAIN(ProductPhotoTest)
#include "ProductPhotoTest.moc"
