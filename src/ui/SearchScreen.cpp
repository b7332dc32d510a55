#include "ui/SearchScreen.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "common/TextRules.h"
#include "storage/CardProtocol.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/Widgets.h"

namespace scortavia {

SearchScreen::SearchScreen(QWidget* owner, const Design& design, std::span<const Field> fields, Search search)
    : ListScreen(owner, design), search_(std::move(search)) {
    panAvvio = new QWidget(this);
    panAvvio->setObjectName(QStringLiteral("panAvvio"));
    auto* criteria = new QVBoxLayout(panAvvio);
    criteria->setContentsMargins(24, 18, 24, 18);
    criteria->addWidget(
        instructionBanner(QStringLiteral("imgIstruzioniRicerca"),
                          QStringLiteral("Digitare nei campi desiderati una o più parole consecutive contenute "
                                         "nelle schede da cercare, lasciare vuoti gli altri campi e premere "
                                         "Cerca. È possibile compilare più campi contemporaneamente."),
                          panAvvio));
    criteria->addSpacing(8);
    auto* grid = formGrid(12, 9);
    int row = 0;
    for (const Field& field : fields) {
        auto* label = captionLabel(QStringLiteral("lblCampo%1").arg(row + 1, 2, 10, QLatin1Char('0')),
                                   QString::fromUtf8(field.label), panAvvio);
        auto* box = editBox(QString::fromLatin1(field.name), 32767, panAvvio);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        new FocusFrame(QString::fromLatin1(field.frame), box);
        fields_.push_back(box);
        ++row;
    }
    criteria->addLayout(grid);
    criteria->addStretch(1);
    std::vector<QWidget*> walk(fields_.begin(), fields_.end());
    if (!fields_.empty()) walk.push_back(fields_.front());  // Enter in the last field returns to the first
    enterMovesFocus(walk);

    lblAttendere =
        waitingLabel(QStringLiteral("lblAttendere"), QStringLiteral("Ricerca schede in corso. Attendere..."), panAvvio);
    btnCerca = textButton(QStringLiteral("btnCerca"), QStringLiteral("Cerca"), panAvvio);
    btnAnnulla = textButton(QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"), panAvvio);
    auto* buttons = buttonRow({btnCerca, btnAnnulla});
    buttons->insertWidget(0, lblAttendere, 1);
    criteria->addLayout(buttons);
    screenLayout()->insertWidget(0, panAvvio);

    lblTrovate = captionLabel(QStringLiteral("lblTrovate"), QStringLiteral("Il presente riepilogo contiene 0 schede"),
                              panContainer);
    lblTrovate->setProperty("count", true);
    containerLayout()->insertWidget(0, lblTrovate);
    panContainer->hide();

    lblConta = hiddenLabel(QStringLiteral("lblConta"), this);
    lblConta->setText(QStringLiteral("0"));
    lblMemory = hiddenLabel(QStringLiteral("lblMemory"), this);

    connect(btnCerca, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnCerca, &QPushButton::clicked, this, &SearchScreen::btnCercaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::close);
}

void SearchScreen::showEvent(QShowEvent* event) {
    ListScreen::showEvent(event);
    if (event->spontaneous() || fields_.empty()) return;
    fields_.front()->setFocus();
}

void SearchScreen::btnCercaClick() {
    std::vector<std::string> texts;
    int filled = 0;
    for (QLineEdit* box : fields_) {
        texts.push_back(box->text().toStdString());
        if (!trimBlanks(texts.back()).empty()) ++filled;
    }
    lblConta->setText(QString::number(filled));
    RowList rows;
    if (!search_(texts, rows)) {
        MessageService::plain(this, kMsgArchiveAccess);
        return;
    }
    const std::size_t found = rows.size();
    setRows(std::move(rows));
    lblTrovate->setText(QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(found));
    panAvvio->hide();
    panContainer->show();
    resetFind();
    txtTrova->setFocus();
}

void SearchScreen::done(int result) {
    lblAttendere->hide();
    ListScreen::done(result);
}

}  // namespace scortavia
