#pragma once

#include <QImage>
#include <QLabel>
#include <QtTest>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pricelists/TfrmListinoPrezzi.h"
#include "shell/Application.h"
#include "storage/PriceListPage.h"
#include "support/GuiRecorders.h"
#include "support/TempFolder.h"
#include "ui/ScreenRegistry.h"

namespace scortavia::test {

// JPEG is lossy: pictures are told apart by their mean colour.
inline QColor meanColour(const QImage& image) {
    return image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
}
inline bool looksLike(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    const QColor x = meanColour(a);
    const QColor y = meanColour(b);
    return std::abs(x.red() - y.red()) < 8 && std::abs(x.green() - y.green()) < 8 && std::abs(x.blue() - y.blue()) < 8;
}
inline bool mostlyRed(const QImage& image) {
    const QColor c = meanColour(image);
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
}
inline bool mostlyBlue(const QImage& image) {
    const QColor c = meanColour(image);
    return c.blue() > 180 && c.red() < 80 && c.green() < 80;
}

// A photo of one colour, as a camera would not make it but a test can tell apart.
inline void writeColourPhoto(const std::filesystem::path& file, const QColor& colour, QSize size = {320, 240}) {
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(colour);
    photo.save(QString::fromStdString(file.string()), "JPG");
}

// A page told apart by `tag`: slot A filled in full, slot B named, the others as a new page leaves them.
inline PriceListPage samplePage(const std::string& tag) {
    using S = PriceListSlotLayout;
    PriceListPage page;
    for (int k = 0; k < PriceListPage::kSlots; ++k) page.setText(k, S::Prezzo, "0,00");
    page.setText(0, S::Codice, "VS-" + tag);
    page.setText(0, S::Nome, "Vaso " + tag);
    page.setText(0, S::UM, "Terracotta smaltata");
    page.setText(0, S::Caratteristiche, "Diametro 30 cm, foro di drenaggio");
    page.setText(0, S::Prezzo, "24,90");
    page.setText(1, S::Nome, "Sottovaso " + tag);
    return page;
}

inline std::string pageBytes(const PriceListPage& page) {
    return std::string(reinterpret_cast<const char*>(page.bytes().data()), page.bytes().size());
}

// The page stored at `index` (from 0) of an archive's bytes; an empty one when the archive ends before it.
inline PriceListPage pageAt(const std::string& archive, std::size_t index) {
    PriceListPage page;
    if (archive.size() >= (index + 1) * PriceListPage::kSize) {
        std::memcpy(page.bytes().data(), archive.data() + index * PriceListPage::kSize, PriceListPage::kSize);
    }
    return page;
}

// What the tests of the price-list page editor share: a fresh program folder with the editor and a
// stand-in main menu, the editor opened on the empty list "Estate" as the opening screen opens it.
// A test class inherits it after QObject, calls openEditor() in init() and endProgram() in cleanup().
class PriceListEditorFixture {
protected:
    struct Run {
        TempFolder folder;
        MessageRecorder messages;
        FileDialogRecorder files;
        ScreenRegistry registry{folder.path()};
        WorkArea* menu = nullptr;
        TfrmListinoPrezzi* editor = nullptr;
    };

    // False, with the failure recorded, when the editor did not come up.
    bool openEditor() {
        // The screens as the user sees them: sizes and clipping depend on the style sheet.
        Application::applyLook();
        run = std::make_unique<Run>();
        run->menu = run->registry.add(std::make_unique<WorkArea>(run->registry, QStringLiteral("frmAvvio")));
        editor = run->registry.add(std::make_unique<TfrmListinoPrezzi>(run->registry));
        writeBytes(archive(), "");
        editor->lblFile->setText(QString::fromStdString(archive().string()));
        editor->lblNome->setText(QStringLiteral("Estate"));
        run->registry.switchTo(QStringLiteral("frmListinoPrezzi"), run->menu);
        return QTest::qWaitForWindowActive(editor);
    }
    void endProgram() {
        editor = nullptr;
        run.reset();
    }

    PriceListSlotBox* slot(char letter) const { return editor->slot(letter); }
    std::filesystem::path file(const std::string& name) const { return run->folder.file(name); }
    QString qfile(const std::string& name) const { return QString::fromStdString(file(name).string()); }
    std::filesystem::path archive() const { return file("Estate.lis"); }
    void writePages(const std::vector<PriceListPage>& pages) const {
        std::string bytes;
        for (const PriceListPage& page : pages) bytes += pageBytes(page);
        writeBytes(archive(), bytes);
    }
    std::filesystem::path photoFolder() const { return file("Foto_Listino"); }
    // The page photo of a slot: "Foto_Listino/Estate_Foto_C_2.jpg".
    std::filesystem::path pagePhoto(char letter, int page) const {
        return photoFolder() / ("Estate_Foto_" + std::string(1, letter) + "_" + std::to_string(page) + ".jpg");
    }

    std::unique_ptr<Run> run;
    TfrmListinoPrezzi* editor = nullptr;
};

}  // namespace scortavia::test
