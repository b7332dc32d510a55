#pragma once

#include <QLineEdit>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "products/TfrmMagazzino.h"
#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmPassword.h"
#include "storage/ProductRecord.h"
#include "support/GuiActions.h"
#include "support/GuiRecorders.h"
#include "support/Records.h"
#include "support/TempFolder.h"
#include "ui/Widgets.h"

namespace scortavia::test {

// The whole program started in a fresh temporary program folder. Every way out of it is recorded
// instead of carried out: messages, file dialogs, the desktop's "open", printing and the end of the
// program, so no test ever waits on a real window or device.
class GuiProgram final {
public:
    // The settings file as an installation ships it, holding `password` (Latin-1 bytes).
    static std::string settingsWith(const std::string& password) {
        return "[Accesso]\r\nValore=" + scramblePassword(password) + "\r\n";
    }

    explicit GuiProgram(const std::optional<std::string>& settings = settingsWith("SCORTAVIA")) {
        if (settings) writeBytes(folder.file("unins000.dll"), *settings);
        program = std::make_unique<Application>(folder.path());
        program->registry().setEndProgramHandler([this] { ++ended; });
        program->start();
    }
    ~GuiProgram() { program.reset(); }
    GuiProgram(const GuiProgram&) = delete;
    GuiProgram& operator=(const GuiProgram&) = delete;

    template <class T>
    T* screen(const char* name) const {
        return program->registry().get<T>(QString::fromLatin1(name));
    }
    TfrmPassword* password() const { return screen<TfrmPassword>("frmPassword"); }
    TfrmAvvio* menu() const { return screen<TfrmAvvio>("frmAvvio"); }

    // Types into the password box (accented letters arrive as typed text) and presses Enter.
    void login(const QString& typed) const {
        QLineEdit* box = password()->txtPassword;
        box->setFocus();
        for (QChar c : typed) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, c.toLatin1());
            } else {
                box->insert(QString(c));
            }
        }
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Each work area is opened as a user opens it, from its tile on the main menu after logging in,
    // and handed back once shown and active; nullptr, with the failure recorded, when it is not.
    TfrmMagazzino* openProductCard() const { return openFromMenu<TfrmMagazzino>("frmMagazzino"); }

    // The product archive of the program folder, and what it holds.
    std::filesystem::path productArchive() const { return folder.file("Magazzino.pro"); }
    void writeProducts(const std::vector<ProductRecord>& products) const {
        writeBytes(productArchive(), archiveBytes(products));
    }
    // The product stored at `index` (from 0); an empty record when the archive is shorter.
    ProductRecord storedProduct(std::size_t index) const {
        return recordAt<ProductRecord>(readBytes(productArchive()), index);
    }

    TempFolder folder;
    MessageRecorder messages;
    FileDialogRecorder files;
    DesktopRecorder desktop;
    PrintRecorder printer;
    std::unique_ptr<Application> program;
    int ended = 0;

private:
    template <class T>
    T* openFromMenu(const char* name) const {
        login(QStringLiteral("scortavia"));
        for (const TfrmAvvio::Tile& tile : menu()->tiles) {
            if (tile.target == QLatin1String(name)) click(tile.picture);
        }
        T* area = screen<T>(name);
        const bool shown = QTest::qVerify(area && area->isVisible(), "area->isVisible()", name, __FILE__, __LINE__);
        const bool active = shown && QTest::qVerify(QTest::qWaitForWindowActive(area), "qWaitForWindowActive(area)",
                                                    name, __FILE__, __LINE__);
        return active ? area : nullptr;
    }
};

// What the tests of the product card share: a fresh program for each test case, opened on the card.
// A test class inherits it after QObject, calls openCard() in init() and endProgram() in cleanup().
// Every other work area gets a fixture of this shape over its own GuiProgram::open... call.
class ProductCardFixture {
protected:
    // False, with the failure recorded, when the card did not come up.
    bool openCard() {
        run = std::make_unique<GuiProgram>();
        card = run->openProductCard();
        return card != nullptr;
    }
    void endProgram() {
        card = nullptr;
        run.reset();
    }

    std::unique_ptr<GuiProgram> run;
    TfrmMagazzino* card = nullptr;
};

// Fills the boxes a product card cannot be saved without; cost and price keep what they show.
inline void fillMandatory(TfrmMagazzino* card, const QString& code, const QString& name,
                          const QString& unit = QStringLiteral("Pezzo"),
                          const QString& category = QStringLiteral("Varie"),
                          const QString& features = QStringLiteral("Nessuna")) {
    card->txtCodice->setText(code);
    card->txtNome->setText(name);
    card->txtUM->setText(unit);
    card->txtTipologia->setText(category);
    card->txtCaratteristiche->setText(features);
}

}  // namespace scortavia::test
