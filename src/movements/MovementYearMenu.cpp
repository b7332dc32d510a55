#include "movements/MovementYearMenu.h"

#include <QDate>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "movements/YearReceivers.h"
#include "storage/ArchivePaths.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgYearDigits = "Attenzione: indicare l'anno solare utilizzando quattro cifre.";
constexpr std::string_view kHomeToken = kMainMenuKey;

QLineEdit* yearBox(const char* name, QWidget* parent) {
    QLineEdit* box = editBox(QString::fromLatin1(name), 4, parent);
    box->setFixedWidth(80);
    restrictTyping(box, TypedChars::Digits);
    return box;
}

}  // namespace

MovementYearMenu::MovementYearMenu(ScreenRegistry& registry, const MovementDirection& direction)
    : WorkArea(registry, toQString(direction.menuName)), direction_(direction) {
    presentAsProgramScreen(toQString(direction.menuCaption));
    QVBoxLayout* layout = menuPanel(this, 620);
    QWidget* panel = layout->parentWidget();

    const bool goodsIn = direction.direction == Direction::GoodsIn;
    const QString picture = goodsIn ? QStringLiteral("carico") : QStringLiteral("scarico");
    layout->addWidget(
        new Picture(QStringLiteral("imgBanner"), QStringLiteral(":/caption_%1.svg").arg(picture), {300, 48}, panel), 0,
        Qt::AlignHCenter);

    intAnnoLavoro = captionLabel(QStringLiteral("intAnnoLavoro"), toQString(direction.menuWorkHeading), panel);
    titAnnoLavoro = captionLabel(QStringLiteral("titAnnoLavoro"), QStringLiteral("Anno:"), panel);
    txtAnnoLavoro = yearBox("txtAnnoLavoro", panel);
    btnApriLavoro = textButton(QStringLiteral("btnApriLavoro"), QStringLiteral("Apri"), panel);
    intAnnoRiepLavoro =
        captionLabel(QStringLiteral("intAnnoRiepLavoro"), toQString(direction.menuSummaryHeading), panel);
    titAnnoRiepLavoro = captionLabel(QStringLiteral("titAnnoRiepLavoro"), QStringLiteral("Anno:"), panel);
    txtAnnoRiepLavoro = yearBox("txtAnnoRiepLavoro", panel);
    btnApriRiepLavoro = textButton(QStringLiteral("btnApriRiepLavoro"), QStringLiteral("Apri"), panel);
    for (QLabel* heading : {intAnnoLavoro, intAnnoRiepLavoro}) heading->setProperty("heading", true);

    auto* rows = new QHBoxLayout();
    rows->setSpacing(28);
    rows->addWidget(
        new Picture(QStringLiteral("imgBancale"), QStringLiteral(":/tile_%1.svg").arg(picture), {160, 120}, panel), 0,
        Qt::AlignTop);
    auto* grid = formGrid(10, 8);
    grid->addWidget(intAnnoLavoro, 0, 0, 1, 3);
    grid->addWidget(titAnnoLavoro, 1, 0);
    grid->addWidget(txtAnnoLavoro, 1, 1);
    grid->addWidget(btnApriLavoro, 1, 2);
    grid->setRowMinimumHeight(2, 12);
    grid->addWidget(intAnnoRiepLavoro, 3, 0, 1, 3);
    grid->addWidget(titAnnoRiepLavoro, 4, 0);
    grid->addWidget(txtAnnoRiepLavoro, 4, 1);
    grid->addWidget(btnApriRiepLavoro, 4, 2);
    grid->setColumnStretch(3, 1);
    rows->addLayout(grid, 1);
    layout->addLayout(rows);

    std::tie(lblInformazioni, imgGuida, imgEsci) = menuFooter(layout, toQString(direction.menuInformation));

    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);
    lblMemory->setText(toQString(kHomeToken));

    // Enter in a year box moves to the row's "Apri"; Enter again presses it.
    enterMovesFocus({txtAnnoLavoro, btnApriLavoro});
    enterMovesFocus({txtAnnoRiepLavoro, btnApriRiepLavoro});
    connect(btnApriLavoro, &QPushButton::clicked, this, &MovementYearMenu::btnApriLavoroClick);
    connect(btnApriRiepLavoro, &QPushButton::clicked, this, &MovementYearMenu::btnApriRiepLavoroClick);
    connect(imgEsci, &PictureButton::clicked, this, &QWidget::close);
    connect(imgGuida, &PictureButton::clicked, this, [this] {
        showHelp(this->registry(), this,
                 direction_.direction == Direction::GoodsIn ? HelpTopic::GoodsIn : HelpTopic::GoodsOut);
    });
}

void MovementYearMenu::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    const QString year = QString::number(QDate::currentDate().year()).rightJustified(4, QLatin1Char('0'));
    txtAnnoLavoro->setText(year);
    txtAnnoRiepLavoro->setText(year);
    lblMemory->setText(toQString(kHomeToken));
    txtAnnoLavoro->setFocus();
}

std::optional<QString> MovementYearMenu::yearIn(QLineEdit* box) {
    if (box->text().size() == 4) return box->text().trimmed();
    MessageService::warning(this, kMsgYearDigits);
    box->setFocus();
    return std::nullopt;
}

void MovementYearMenu::openYear(const QString& token, const QString& year, std::string_view caption) {
    // The archive file is not touched here: it comes into being at the card's first action.
    if (auto* next = registry().handOver().receiver<HandOver::YearArchive>(token)) {
        next->openYear(paths::movementArchive(registry().programFolder(), toStd(year), direction_.direction),
                       toQString(caption) + year);
    }
}

void MovementYearMenu::btnApriLavoroClick() {
    const auto year = yearIn(txtAnnoLavoro);
    if (!year) return;
    const QString token = toQString(direction_.token);
    openYear(token, *year, direction_.cardYearCaption);
    lblMemory->setText(token);
    close();
}

void MovementYearMenu::btnApriRiepLavoroClick() {
    const auto year = yearIn(txtAnnoRiepLavoro);
    if (!year) return;
    const QString token = toQString(direction_.summaryToken);
    openYear(token, *year, direction_.summaryYearCaption);
    if (auto* period = registry().handOver().receiver<HandOver::SummaryYear>(token)) period->openSummaryYear(*year);
    lblMemory->setText(token);
    close();
}

void MovementYearMenu::onClose() {
    // A screen this program does not have yet (or an unknown key) leads back to the main menu.
    auto* next = registry().handOver().receiver<HandOver::MenuClose>(lblMemory->text().trimmed());
    registry().switchTo(next ? next->objectName() : toQString(screen::kAvvio), this);
}

}  // namespace scortavia
