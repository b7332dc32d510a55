#include "ui/ListScreen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"
#include "reports/ListReport.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgEmptyList = "Ricerca non applicabile: la lista non contiene nessuna voce.";

QFont listFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(12);
    return font;
}

}  // namespace

ListScreen::ListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name, const QString& caption,
                       const QString& printTitle)
    : QDialog(owner),
      registry_(registry),
      model_(new RowListModel(this)),
      report_(makeListTemplate()),
      printTitle_(printTitle) {
    setUpDialog(this, name, caption);
    resize(1180, 660);

    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    containerLayout_ = new QVBoxLayout(panContainer);
    containerLayout_->setContentsMargins(16, 14, 16, 14);
    containerLayout_->setSpacing(10);

    containerLayout_->addWidget(instructionBanner(
        QStringLiteral("imgIstruzioni"),
        QStringLiteral("Digitare nella casella una o più parole consecutive contenute nella "
                       "voce cercata e premere Trova. Premere di nuovo Trova per passare alla "
                       "voce successiva che contiene le stesse parole."),
        panContainer));

    auto* find = new QHBoxLayout();
    txtTrova = new QLineEdit(panContainer);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    txtTrova->setMinimumHeight(28);
    btnTrova = textButton(QStringLiteral("btnTrova"), QStringLiteral("Trova"), panContainer);
    btnTrova->setAutoDefault(true);  // Enter moves to it; Enter again presses it
    find->addWidget(txtTrova, 1);
    find->addWidget(btnTrova);
    containerLayout_->addLayout(find);

    lstRecords = new QListView(panContainer);
    lstRecords->setObjectName(QStringLiteral("lstRecords"));
    lstRecords->setModel(model_);
    lstRecords->setFont(listFont());
    lstRecords->setUniformItemSizes(true);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRecords->setStyleSheet(QStringLiteral("QListView { color: black; background: white; }"));
    model_->setItemSize(QSize(1600, QFontMetrics(listFont()).height() + 2));
    containerLayout_->addWidget(lstRecords, 1);

    lblRigo03 = new QLabel(QStringLiteral("Fare doppio clic sulla voce in elenco per richiamare la scheda"),
                           panContainer);
    lblRigo03->setObjectName(QStringLiteral("lblRigo03"));
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(lblRigo03, 1);
    btnStampa = textButton(QStringLiteral("btnStampa"), QStringLiteral("Stampa"), panContainer);
    btnChiudi = textButton(QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), panContainer);
    bottom->addWidget(btnStampa);
    bottom->addWidget(btnChiudi);
    containerLayout_->addLayout(bottom);

    enterMovesFocus({txtTrova, btnTrova});
    connect(btnTrova, &QPushButton::clicked, this, &ListScreen::btnTrovaClick);
    connect(btnStampa, &QPushButton::clicked, this, &ListScreen::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &ListScreen::btnChiudiClick);
    connect(lstRecords, &QListView::doubleClicked, this, [this] {
        lstRecordsDblClick();
        close();
    });
}

ListScreen::~ListScreen() = default;

void ListScreen::setRows(RowList rows) { model_->setRows(std::move(rows)); }

void ListScreen::resetFind() {
    findMemory_.clear();
    txtTrova->clear();
}

std::optional<std::size_t> ListScreen::selectedRow() const {
    const QModelIndex current = lstRecords->currentIndex();
    if (!current.isValid() || !lstRecords->selectionModel()->isSelected(current)) return std::nullopt;
    return static_cast<std::size_t>(current.row());
}

void ListScreen::selectRow(std::size_t row) {
    const QModelIndex index = model_->index(static_cast<int>(row));
    lstRecords->setCurrentIndex(index);
    lstRecords->scrollTo(index);
}

void ListScreen::btnTrovaClick() {
    const FindResult found =
        findInList(model_->rows(), selectedRow(), txtTrova->text().toStdString(), findMemory_);
    if (found.outcome == FindOutcome::EmptyList) {
        MessageService::plain(this, kMsgEmptyList);
        return;
    }
    if (found.selected) selectRow(*found.selected);
    findMemory_ = found.memory;
}

void ListScreen::btnStampaClick() { printList(this, *report_, printTitle_, model_->texts()); }

void ListScreen::btnChiudiClick() { close(); }

void ListScreen::done(int result) {
    model_->clear();
    QDialog::done(result);
}

}  // namespace scortavia
