#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "movements/MovementCardScreen.h"
#include "movements/MovementDirection.h"
#include "movements/MovementYearMenu.h"
#include "products/TfrmMagazzino.h"
#include "shell/Application.h"
#include "shell/PasswordStore.h"
#include "shell/TfrmAvvio.h"
#include "shell/TfrmPassword.h"
#include "storage/ArchivePaths.h"
#include "storage/MovementRecord.h"
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
        // The screens as the user sees them: sizes and clipping depend on the style sheet.
        Application::applyLook();
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

    // The year menu of one direction, opened from its tile on the main menu.
    MovementYearMenu* openYearMenu(Direction direction) const {
        return openFromMenu<MovementYearMenu>(std::string(movementDirection(direction).menuName).c_str());
    }
    // The movement card of `year`, opened as a user opens it: the year typed on the year menu, then "Apri".
    MovementCardScreen* openMovementCard(const QString& year, Direction direction) const {
        MovementYearMenu* yearMenu = openYearMenu(direction);
        if (!yearMenu) return nullptr;
        typeText(yearMenu->txtAnnoLavoro, year);
        click(yearMenu->btnApriLavoro);
        return shownAndActive<MovementCardScreen>(std::string(movementDirection(direction).cardName).c_str());
    }

    // The year archive of one direction in the program folder, and what it holds.
    std::filesystem::path movementArchive(const QString& year, Direction direction) const {
        return paths::movementArchive(folder.path(), year.toStdString(), direction);
    }
    void writeMovements(const QString& year, Direction direction, const std::vector<MovementRecord>& movements) const {
        writeBytes(movementArchive(year, direction), archiveBytes(movements));
    }
    // The movement stored at `index` (from 0); an empty record when the archive is shorter.
    MovementRecord storedMovement(const QString& year, Direction direction, std::size_t index) const {
        return recordAt<MovementRecord>(readBytes(movementArchive(year, direction)), index);
    }

    TempFolder folder;
    MessageRecorder messages;
    FileDialogRecorder files;
    DesktopRecorder desktop;
    PrintRecorder printer;
    std::unique_ptr<Application> program;
    int ended = 0;

    // The work area `name` opened from its tile on the main menu, after logging in.
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

private:
    // The work area `name` once a click elsewhere has opened it; nullptr, with the failure recorded, when not.
    // Active as the application sees it: Qt Test counts a window active before its widgets know it.
    template <class T>
    T* shownAndActive(const char* name) const {
        T* area = screen<T>(name);
        const bool shown = QTest::qVerify(area && area->isVisible(), "area->isVisible()", name, __FILE__, __LINE__);
        const bool active =
            shown && QTest::qVerify(QTest::qWaitFor([area] { return QApplication::activeWindow() == area; }),
                                    "QApplication::activeWindow() == area", name, __FILE__, __LINE__);
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

// The two directions of the movement screens, with the name each gives a row of a test's table.
struct DirectionRow {
    Direction direction;
    const char* tag;
};
inline constexpr DirectionRow kDirectionRows[] = {{Direction::GoodsIn, "carico"}, {Direction::GoodsOut, "scarico"}};

// A table with one row per direction, for behaviour the two share.
inline void directionTable() {
    QTest::addColumn<Direction>("direction");
    for (const DirectionRow& row : kDirectionRows) QTest::newRow(row.tag) << row.direction;
}

// What the tests of the movement cards share: a fresh program for each test case, opened on the card of
// one direction and year. A test class inherits it after QObject, calls openCard() at the start of each
// case (the direction usually comes from the case's row) and endProgram() in cleanup().
class MovementCardFixture {
protected:
    // False, with the failure recorded, when the card did not come up.
    bool openCard(Direction direction, const QString& year = QStringLiteral("2023")) {
        run = std::make_unique<GuiProgram>();
        cardDirection = direction;
        cardYear = year;
        card = run->openMovementCard(year, direction);
        return card != nullptr;
    }
    void endProgram() {
        card = nullptr;
        run.reset();
    }
    // The year archive the card works on.
    std::filesystem::path archive() const { return run->movementArchive(cardYear, cardDirection); }
    const MovementDirection& texts() const { return movementDirection(cardDirection); }

    std::unique_ptr<GuiProgram> run;
    MovementCardScreen* card = nullptr;
    Direction cardDirection = Direction::GoodsIn;
    QString cardYear;
};

// A text longer than any box of a card, so a box shows only part of it.
inline constexpr const char* kLongText =
    "Inizio del testo: una descrizione tanto lunga da non entrare nella casella della scheda, nemmeno sullo "
    "schermo più largo, scritta per vedere quale parte ne resta in vista dopo il caricamento - fine del testo";

// The box shows its text from the first character: the cursor at the start and, once painted (painting
// is what scrolls a box to its cursor), nothing scrolled out at the left.
inline bool showsItsStart(QLineEdit* box) {
    box->grab();
    const QRect cursor = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return box->cursorPosition() == 0 && cursor.left() < box->fontMetrics().averageCharWidth() + 8;
}

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
