#include <QApplication>
#include <QCalendarWidget>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QMetaEnum>
#include <QStyle>
#include <QToolButton>
#include <QtTest>
#include <filesystem>

#include "shell/Application.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"
#include "ui/FileDialogService.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmCalendario.h"

using namespace scortavia;

namespace {

QImage shown(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

class ProgramStyleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The look as the program sets it at start, style sheet included.
    void initTestCase() { Application::applyLook(); }

    // Asked of a widget's style, which is the style sheet's wrapper around the program's style.
    void standardIcons_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("picture");
        const std::pair<QStyle::StandardPixmap, const char*> rows[] = {
            {QStyle::SP_MessageBoxInformation, ":/msg_informazione.svg"},
            {QStyle::SP_MessageBoxWarning, ":/msg_attenzione.svg"},
            {QStyle::SP_MessageBoxCritical, ":/msg_errore.svg"},
            {QStyle::SP_MessageBoxQuestion, ":/msg_domanda.svg"},
            {QStyle::SP_ArrowLeft, ":/dlg_indietro.svg"},
            {QStyle::SP_ArrowRight, ":/dlg_avanti.svg"},
            {QStyle::SP_ArrowBack, ":/dlg_indietro.svg"},
            {QStyle::SP_ArrowForward, ":/dlg_avanti.svg"},
            {QStyle::SP_FileDialogToParent, ":/dlg_cartella_su.svg"},
            {QStyle::SP_FileDialogNewFolder, ":/dlg_cartella_nuova.svg"},
            {QStyle::SP_FileDialogListView, ":/dlg_vista_elenco.svg"},
            {QStyle::SP_FileDialogDetailedView, ":/dlg_vista_dettagli.svg"},
            {QStyle::SP_DirIcon, ":/dlg_cartella.svg"},
            {QStyle::SP_DirHomeIcon, ":/dlg_home.svg"},
            {QStyle::SP_FileIcon, ":/dlg_file.svg"},
            {QStyle::SP_DriveHDIcon, ":/dlg_disco.svg"},
            {QStyle::SP_ComputerIcon, ":/dlg_computer.svg"},
        };
        const QMetaEnum names = QMetaEnum::fromType<QStyle::StandardPixmap>();
        for (const auto& [which, picture] : rows) {
            QTest::newRow(names.valueToKey(which)) << static_cast<int>(which) << QString::fromLatin1(picture);
        }
    }
    void standardIcons() {
        QFETCH(int, which);
        QFETCH(QString, picture);
        const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
        QWidget widget;
        const QIcon icon = widget.style()->standardIcon(pixmap, nullptr, &widget);
        for (int size : {16, 32, 48}) QCOMPARE(shown(icon, size), test::renderedSvg(picture, size));
        // A disabled button (the file dialog's Back at first) still shows its picture, greyed.
        const QImage disabled = icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
        QVERIFY(!disabled.isNull());
        QVERIFY(disabled != shown(icon, 16));
        const QPixmap direct = widget.style()->standardPixmap(pixmap, nullptr, &widget);
        QCOMPARE(direct.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 test::renderedSvg(picture, direct.width()));
    }

    // What the file dialog shows: its toolbar, and the folder and file in its list.
    void fileDialogPictures() {
        test::TempFolder folder;
        std::filesystem::create_directory(folder.file("Fatture"));
        test::writeBytes(folder.file("Foto.jpg"), "jpeg");
        const auto dialog =
            FileDialogService::makeDialog(nullptr, {FileRequest::Kind::Open, "Selezionare la foto", "Tutti (*)", {}});
        const QString path = QString::fromStdString(folder.path().string());
        dialog->setDirectory(path);
        dialog->show();
        const std::pair<const char*, const char*> buttons[] = {
            {"backButton", ":/dlg_indietro.svg"},         {"forwardButton", ":/dlg_avanti.svg"},
            {"toParentButton", ":/dlg_cartella_su.svg"},  {"newFolderButton", ":/dlg_cartella_nuova.svg"},
            {"listModeButton", ":/dlg_vista_elenco.svg"}, {"detailModeButton", ":/dlg_vista_dettagli.svg"},
        };
        for (const auto& [name, picture] : buttons) {
            auto* button = dialog->findChild<QToolButton*>(QLatin1String(name));
            QVERIFY2(button, name);
            const int size = button->iconSize().width();
            QCOMPARE(shown(button->icon(), size), test::renderedSvg(QLatin1String(picture), size));
        }
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        QTRY_COMPARE(model->rowCount(model->index(path)), 2);
        const std::pair<const char*, const char*> entries[] = {{"Fatture", ":/dlg_cartella.svg"},
                                                               {"Foto.jpg", ":/dlg_file.svg"}};
        for (const auto& [name, picture] : entries) {
            const QIcon icon =
                model->index(path + QLatin1Char('/') + QLatin1String(name)).data(Qt::DecorationRole).value<QIcon>();
            QCOMPARE(shown(icon, 16), test::renderedSvg(QLatin1String(picture), 16));
        }
    }

    void calendarArrows() {
        test::TempFolder folder;
        ScreenRegistry registry(folder.path());
        TfrmCalendario calendar(registry, nullptr);
        calendar.show();
        const std::pair<const char*, const char*> arrows[] = {{"qt_calendar_prevmonth", ":/dlg_indietro.svg"},
                                                              {"qt_calendar_nextmonth", ":/dlg_avanti.svg"}};
        for (const auto& [name, picture] : arrows) {
            auto* arrow = calendar.calAppuntamenti->findChild<QToolButton*>(QLatin1String(name));
            QVERIFY2(arrow, name);
            const int size = arrow->iconSize().width();
            QCOMPARE(shown(arrow->icon(), size), test::renderedSvg(QLatin1String(picture), size));
        }
    }
};

QTEST_MAIN(ProgramStyleTest)
#include "ProgramStyleTest.moc"
