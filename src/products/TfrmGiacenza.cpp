#include "products/TfrmGiacenza.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Numbers.h"
#include "products/ProductCard.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

const QString kAdd = QString::fromUtf8("Quantità da aggiungere:");
const QString kSubtract = QString::fromUtf8("Quantità da sottrarre:");

}  // namespace

TfrmGiacenza::TfrmGiacenza(ScreenRegistry& registry, QWidget* owner, bool add) : QDialog(owner), registry_(registry) {
    auto* layout =
        setUpDialog(this, QStringLiteral("frmGiacenza"), QStringLiteral(" Aggiornamento giacenza"), {400, 210});
    auto* grid = formGrid(12, 12);
    lblGiacenza = new QLabel(QStringLiteral("Giacenza attuale:"), this);
    lblGiacenza->setObjectName(QStringLiteral("lblGiacenza"));
    lblAggiunta = new QLabel(add ? kAdd : kSubtract, this);
    lblAggiunta->setObjectName(QStringLiteral("lblAggiunta"));
    auto box = [this](const char* name) {
        auto* b = new QLineEdit(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumHeight(28);
        return b;
    };
    txtGiacenza = box("txtGiacenza");
    txtAggiunta = box("txtAggiunta");
    txtTotale = box("txtTotale");
    txtTotale->setReadOnly(true);
    btnTotale = textButton(QStringLiteral("btnTotale"), QStringLiteral("Calcola totale"), this);
    btnTotale->setAutoDefault(true);  // reached by Enter from the quantity, pressed by the next Enter
    grid->addWidget(lblGiacenza, 0, 0);
    grid->addWidget(txtGiacenza, 0, 1);
    grid->addWidget(lblAggiunta, 1, 0);
    grid->addWidget(txtAggiunta, 1, 1);
    grid->addWidget(btnTotale, 2, 0);
    grid->addWidget(txtTotale, 2, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    btnAggiorna = textButton(QStringLiteral("btnAggiorna"), QStringLiteral("Applica e chiudi"), this);
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Annulla"), this);
    layout->addLayout(buttonRow({btnAggiorna, btnChiudi}));

    if (QLineEdit* stock = cardStock()) {
        txtGiacenza->setText(stock->text().trimmed());
        txtTotale->setText(stock->text().trimmed());
    }
    txtAggiunta->setText(QStringLiteral("0"));

    for (QLineEdit* b : {txtGiacenza, txtAggiunta}) {
        new FocusFrame(QStringLiteral("eff") + b->objectName().mid(3), b);
        restrictTyping(b, TypedChars::Digits, 15);
        onFocusLost(b, [b] { b->setText(QString::fromStdString(formatWholeText(b->text().toStdString()))); });
    }
    enterMovesFocus({txtGiacenza, txtAggiunta, btnTotale});
    connect(btnTotale, &QPushButton::clicked, this, &TfrmGiacenza::btnTotaleClick);
    connect(btnAggiorna, &QPushButton::clicked, this, &TfrmGiacenza::btnAggiornaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    txtAggiunta->setFocus();
}

QLineEdit* TfrmGiacenza::cardStock() const {
    return registry_.handOver().receiver<HandOver::StockBox>(toQString(kProductCardKey));
}

void TfrmGiacenza::btnTotaleClick() {
    const bool add = lblAggiunta->text() == kAdd;
    if (!add && lblAggiunta->text() != kSubtract) return;
    const StockTotal total =
        computeStockTotal(txtGiacenza->text().toStdString(), txtAggiunta->text().toStdString(), add);
    txtGiacenza->setText(QString::fromStdString(total.stock));
    txtAggiunta->setText(QString::fromStdString(total.quantity));
    txtTotale->setText(QString::fromStdString(total.total));
}

void TfrmGiacenza::btnAggiornaClick() {
    btnTotaleClick();
    const QString total = txtTotale->text().trimmed();
    // The stock field holds 4 characters: a longer total would be stored cut, as another number.
    if (!stockFitsField(total.toStdString())) {
        MessageService::warning(this, kMsgStockOutOfRange);
        txtAggiunta->setFocus();
        return;
    }
    if (QLineEdit* stock = cardStock()) stock->setText(total);
    accept();
}

}  // namespace scortavia
