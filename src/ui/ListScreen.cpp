#include "ui/ListScreen.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QVBoxLayout>
#include <algorithm>

#include "reports/HeapTrim.h"
#include "reports/ListReport.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/RecordTarget.h"
#include "ui/RowListModel.h"
#include "ui/Widgets.h"

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

ListScreen::ListScreen(QWidget* owner, const Design& design)
    : QDialog(owner),
      model_(new RowListModel(this)),
      report_(makeListTemplate()),
      printTitle_(QString::fromUtf8(design.printTitle)),
      emptyFindAsInformation_(design.emptyFindAsInformation) {
    screenLayout_ = setUpDialog(this, QString::fromLatin1(design.name), QString::fromUtf8(design.caption));
    screenLayout_->setContentsMargins(0, 0, 0, 0);
    resize(1180, 660);

    panContainer = new QWidget(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    containerLayout_ = new QVBoxLayout(panContainer);
    containerLayout_->setContentsMargins(16, 14, 16, 14);
    containerLayout_->setSpacing(10);

    if (design.findLine1) {
        lblRigo01 = captionLabel(QStringLiteral("lblRigo01"), QString::fromUtf8(design.findLine1), panContainer);
        lblRigo02 = captionLabel(QStringLiteral("lblRigo02"), QString::fromUtf8(design.findLine2), panContainer);
        lblRigo01->setWordWrap(true);
        lblRigo02->setWordWrap(true);
        containerLayout_->addWidget(lblRigo01);
        containerLayout_->addWidget(lblRigo02);
    } else {
        containerLayout_->addWidget(
            instructionBanner(QStringLiteral("imgIstruzioni"),
                              QStringLiteral("Digitare nella casella una o più parole consecutive contenute nella "
                                             "voce cercata e premere Trova. Premere di nuovo Trova per passare alla "
                                             "voce successiva che contiene le stesse parole."),
                              panContainer));
    }

    auto* find = new QHBoxLayout();
    txtTrova = new QLineEdit(panContainer);
    txtTrova->setObjectName(QStringLiteral("txtTrova"));
    txtTrova->setMinimumHeight(28);
    btnTrova = textButton(QStringLiteral("btnTrova"), QStringLiteral("Trova"), panContainer);
    btnTrova->setAutoDefault(design.enterMovesToFind);  // Enter moves to it; Enter again presses it
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
    lstRecords->setSelectionMode(design.multipleRows ? QAbstractItemView::ExtendedSelection
                                                     : QAbstractItemView::SingleSelection);
    model_->setItemSize(QSize(1600, QFontMetrics(listFont()).height() + 2));
    lstRecords->installEventFilter(this);
    listLayout_ = new QVBoxLayout();
    listLayout_->setSpacing(0);
    listLayout_->addWidget(lstRecords, 1);
    containerLayout_->addLayout(listLayout_, 1);

    btnStampa = textButton(QStringLiteral("btnStampa"), QString::fromUtf8(design.printCaption), panContainer);
    btnChiudi = textButton(QString::fromLatin1(design.closeName), QString::fromUtf8(design.closeCaption), panContainer);
    if (design.actionName)
        btnAzione =
            textButton(QString::fromLatin1(design.actionName), QString::fromUtf8(design.actionCaption), panContainer);
    auto* bottom = btnAzione ? buttonRow({btnAzione, btnStampa, btnChiudi}) : buttonRow({btnStampa, btnChiudi});
    if (design.rowHint) {
        lblRigo03 = captionLabel(QStringLiteral("lblRigo03"), QString::fromUtf8(design.rowHint), panContainer);
        bottom->insertWidget(0, lblRigo03, 1);
    }
    containerLayout_->addLayout(bottom);
    screenLayout_->addWidget(panContainer);

    if (design.enterMovesToFind) enterMovesFocus({txtTrova, btnTrova});
    connect(btnTrova, &QPushButton::clicked, this, &ListScreen::btnTrovaClick);
    connect(btnStampa, &QPushButton::clicked, this, &ListScreen::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &ListScreen::btnChiudiClick);
    connect(lstRecords, &QListView::doubleClicked, this, &ListScreen::lstRecordsDblClick);
}

ListScreen::~ListScreen() = default;

void ListScreen::openRowsIn(Find find, Target target) {
    find_ = std::move(find);
    target_ = std::move(target);
}

void ListScreen::showHeadings(const ListHeadings& headings) {
    const QFont font = listFont();
    const QFontMetricsF metrics(font);
    // Where the character at `offset` of a row starts, measured on as many characters of the list's font.
    const auto at = [&metrics](std::size_t offset) {
        return qRound(metrics.horizontalAdvance(QString(static_cast<qsizetype>(offset), QLatin1Char('0'))));
    };
    panIntestazioni = new QWidget(panContainer);
    panIntestazioni->setObjectName(QStringLiteral("panIntestazioni"));
    headingView_ = new QWidget(panIntestazioni);
    headingRow_ = new QWidget(headingView_);
    int height = 0;
    for (std::size_t i = 0; i < headings.columns.size(); ++i) {
        const ColumnHeading& column = headings.columns[i];
        auto* label = captionLabel(QStringLiteral("lblColonna%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                                   toQString(column.text), headingRow_);
        label->setFont(font);
        label->setProperty("heading", true);
        label->ensurePolished();
        label->adjustSize();
        label->move(at(column.offset), 0);
        height = std::max(height, label->height());
    }
    const int rowWidth = at(headings.rowWidth) + textIndent();
    headingRow_->resize(rowWidth, height);
    panIntestazioni->setFixedHeight(height + 2);
    panIntestazioni->installEventFilter(this);
    lstRecords->viewport()->installEventFilter(this);  // narrower once a vertical scroll bar shows
    listLayout_->insertWidget(0, panIntestazioni);
    connect(lstRecords->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ListScreen::placeHeadings);

    // Wide enough for whole rows: the screen's own size is cut to the screen it opens on.
    model_->setItemSize(QSize(std::max(model_->itemSize().width(), rowWidth), model_->itemSize().height()));
    lstRecords->ensurePolished();
    const QMargins around = screenLayout_->contentsMargins() + containerLayout_->contentsMargins();
    const int listWidth = rowWidth + 2 * lstRecords->frameWidth() +
                          lstRecords->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lstRecords);
    resize(std::max(width(), listWidth + around.left() + around.right()), this->height());
}

int ListScreen::textIndent() const {
    // As the list's items lay out their text: the text's place in the item, then the style's margin.
    QStyleOptionViewItem option;
    option.initFrom(lstRecords);
    option.font = lstRecords->font();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("0");
    option.rect = QRect(QPoint(0, 0), model_->itemSize());
    option.widget = lstRecords;
    const QStyle* style = lstRecords->style();
    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &option, lstRecords);
    return text.left() + style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstRecords) + 1;
}

void ListScreen::placeHeadings() {
    if (!headingRow_) return;
    // Over the viewport only, as the rows, whose items start at its left edge less what the list has scrolled.
    const QWidget* viewport = lstRecords->viewport();
    const int left =
        viewport->mapTo(panContainer, QPoint(0, 0)).x() - panIntestazioni->mapTo(panContainer, QPoint(0, 0)).x();
    headingView_->setGeometry(left, 0, viewport->width(), panIntestazioni->height());
    headingRow_->move(textIndent() - lstRecords->horizontalScrollBar()->value(), 1);
}

bool ListScreen::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) && headingRow_ &&
        (watched == lstRecords || watched == lstRecords->viewport() || watched == panIntestazioni)) {
        placeHeadings();
    }
    if (watched == lstRecords && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (selectedRow()) lstRecordsEnter();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ListScreen::lstRecordsEnter() { lstRecordsDblClick(); }

void ListScreen::lstRecordsDblClick() {
    // A list whose rows open nothing (the product picker) ignores the double click.
    if (!find_) return;
    // Any failure (no row, an unreadable archive, nobody to receive it) only closes the list.
    if (const auto row = selectedRow(); row && target_) {
        const auto found = find_(model_->rows()[*row]);
        RecordTarget* target = target_();
        if (found && found->has_value() && target) target->showRecord((*found)->bytes, (*found)->position);
    }
    close();
}

void ListScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    resetFind();
    if (fillWhenShown_) {
        RowList rows;
        static_cast<void>(fillWhenShown_(rows));  // an unreadable archive shows the rows read so far, silently
        setRows(std::move(rows));
        txtTrova->setFocus();
    }
}

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

std::vector<std::size_t> ListScreen::selectedRows() const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : lstRecords->selectionModel()->selectedIndexes())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListScreen::selectRow(std::size_t row) {
    const QModelIndex index = model_->index(static_cast<int>(row));
    lstRecords->setCurrentIndex(index);
    lstRecords->scrollTo(index);
}

void ListScreen::btnTrovaClick() {
    const FindResult found = findInList(model_->rows(), selectedRow(), txtTrova->text().toStdString(), findMemory_);
    if (found.outcome == FindOutcome::EmptyList) {
        if (emptyFindAsInformation_) {
            MessageService::information(this, kMsgEmptyList);
        } else {
            MessageService::plain(this, kMsgEmptyList);
        }
        return;
    }
    if (found.selected) selectRow(*found.selected);
    findMemory_ = found.memory;
}

void ListScreen::btnStampaClick() { printList(this, *report_, printTitle_, model_->texts()); }

void ListScreen::btnChiudiClick() { close(); }

void ListScreen::done(int result) {
    model_->clear();
    // The rows (megabytes on a big archive) are freed; the heap hands them back once the screen has closed.
    trimHeapWhenIdle();
    QDialog::done(result);
}

}  // namespace scortavia
