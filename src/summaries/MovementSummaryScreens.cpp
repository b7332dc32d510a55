#include "summaries/MovementSummaryScreens.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "movements/MovementLists.h"
#include "reports/ListReport.h"
#include "storage/ArchivePaths.h"
#include "summaries/Period.h"
#include "summaries/SummaryPanel.h"
#include "ui/BoxBehaviour.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/RowListModel.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgNothingToPrint =
    "Operazione di stampa non applicabile: il riepilogo non contiene nessuna voce.";
constexpr std::string_view kMsgPrintQuestion = "Si vuole stampare il presente riepilogo?";

QComboBox* dayBox(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (int day = 1; day <= 31; ++day) box->addItem(QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')));
    makeChoiceBox(box, [](const QString& text) { return isDayChoice(toStd(text)); });
    box->lineEdit()->setMaxLength(2);
    box->setMinimumWidth(80);
    return box;
}

QComboBox* monthBox(const char* name, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    for (std::string_view month : kMonthNames) box->addItem(toQString(month));
    makeChoiceBox(box, [](const QString& text) { return monthOfName(toStd(text)).has_value(); });
    box->lineEdit()->setMaxLength(9);
    box->setMinimumWidth(150);
    return box;
}

// One end of the period: day, month and, beside the month, the year it takes from txtAnno. The two
// ends stand one above the other, each the panel's width: side by side, the panel's fixed width left
// them less than their boxes need and the year was drawn over the month's arrow.
QGroupBox* periodEnd(const QString& name, const QString& title, QComboBox* day, QComboBox* month, QLabel* year) {
    auto* group = new QGroupBox(title, day->parentWidget());
    group->setObjectName(name);
    auto* grid = formGrid(16, 6);
    grid->addWidget(captionLabel(name + QStringLiteral("Giorno"), QStringLiteral("Giorno:"), group), 0, 0);
    grid->addWidget(captionLabel(name + QStringLiteral("Mese"), QStringLiteral("Mese:"), group), 0, 1);
    grid->addWidget(captionLabel(name + QStringLiteral("Anno"), QStringLiteral("Anno:"), group), 0, 2);
    day->setParent(group);
    month->setParent(group);
    year->setParent(group);
    grid->addWidget(day, 1, 0);
    grid->addWidget(month, 1, 1);
    grid->addWidget(year, 1, 2);
    year->setMinimumWidth(48);
    grid->setColumnStretch(3, 1);
    group->setLayout(grid);
    return group;
}

}  // namespace

MovementPeriodScreen::MovementPeriodScreen(ScreenRegistry& registry, const MovementDirection& direction)
    : WorkArea(registry, toQString(direction.summaryName)), direction_(direction) {
    presentAsProgramScreen(toQString(direction.periodCaption));
    QVBoxLayout* layout = menuPanel(this, 680);
    layout->setSpacing(12);
    QWidget* panel = layout->parentWidget();

    lblCampo01 = captionLabel(QStringLiteral("lblCampo01"),
                              QStringLiteral("Indicare l'anno solare di interesse e il codice articolo."), panel);
    lblCampo02 = captionLabel(QStringLiteral("lblCampo02"), toQString(direction.periodAllGoods), panel);
    lblCampo03 =
        captionLabel(QStringLiteral("lblCampo03"),
                     QStringLiteral("Indicare l'intervallo di tempo relativo al periodo da riepilogare."), panel);
    lblCampo01->setProperty("heading", true);
    lblCampo02->setWordWrap(true);
    lblCampo03->setProperty("heading", true);

    txtAnno = editBox(QStringLiteral("txtAnno"), 4, panel);
    txtAnno->setFixedWidth(80);
    restrictTyping(txtAnno, TypedChars::Digits);
    txtTipologia = editBox(QStringLiteral("txtTipologia"), 30, panel);
    auto* choice = formGrid(10, 8);
    choice->addWidget(captionLabel(QStringLiteral("titAnno"), QStringLiteral("Anno:"), panel), 0, 0);
    choice->addWidget(txtAnno, 0, 1, Qt::AlignLeft);
    choice->addWidget(captionLabel(QStringLiteral("titTipologia"), QStringLiteral("Codice articolo:"), panel), 1, 0);
    choice->addWidget(txtTipologia, 1, 1);
    choice->setColumnStretch(1, 1);

    txtGiornoInizio = dayBox("txtGiornoInizio", panel);
    txtMeseInizio = monthBox("txtMeseInizio", panel);
    lblAnnoInizio = captionLabel(QStringLiteral("lblAnnoInizio"), QStringLiteral("ANNO"), panel);
    txtGiornoFine = dayBox("txtGiornoFine", panel);
    txtMeseFine = monthBox("txtMeseFine", panel);
    lblAnnoFine = captionLabel(QStringLiteral("lblAnnoFine"), QStringLiteral("ANNO"), panel);
    for (QLabel* year : {lblAnnoInizio, lblAnnoFine}) year->setProperty("value", true);

    layout->addWidget(lblCampo01);
    layout->addWidget(lblCampo02);
    layout->addLayout(choice);
    layout->addSpacing(6);
    layout->addWidget(lblCampo03);
    auto* ends = new QVBoxLayout();
    ends->setSpacing(10);
    ends->addWidget(periodEnd(QStringLiteral("grpInizio"), QStringLiteral(" Data inizio intervallo: "), txtGiornoInizio,
                              txtMeseInizio, lblAnnoInizio));
    ends->addWidget(periodEnd(QStringLiteral("grpFine"), QStringLiteral(" Data fine intervallo: "), txtGiornoFine,
                              txtMeseFine, lblAnnoFine));
    layout->addLayout(ends);

    new FocusFrame(QStringLiteral("effAnno"), txtAnno);
    new FocusFrame(QStringLiteral("effTipologia"), txtTipologia);
    new FocusFrame(QStringLiteral("effGiornoInizio"), txtGiornoInizio);
    new FocusFrame(QStringLiteral("effMeseInizio"), txtMeseInizio);
    new FocusFrame(QStringLiteral("effGiornoFine"), txtGiornoFine);
    new FocusFrame(QStringLiteral("effMeseFine"), txtMeseFine);

    lblAttendere = waitingLabel(QStringLiteral("lblAttendere"),
                                QStringLiteral("Caricamento riepilogo in corso. Attendere..."), panel);
    btnVisualizza = textButton(QStringLiteral("btnVisualizza"), QStringLiteral("Visualizza riepilogo"), panel);
    btnEsci = textButton(QStringLiteral("btnEsci"), QStringLiteral("Esci"), panel);
    auto* buttons = buttonRow({btnVisualizza, btnEsci});
    buttons->insertWidget(0, lblAttendere, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    lblDataInizio = hiddenLabel(QStringLiteral("lblDataInizio"), this);
    lblDataFine = hiddenLabel(QStringLiteral("lblDataFine"), this);
    lblFile = hiddenLabel(QStringLiteral("lblFile"), this);
    lblFile->setText(QStringLiteral("FilePath"));
    const QString token = toQString(direction.summaryToken);
    registry.handOver().offer<HandOver::YearArchive>(token, this);
    registry.handOver().offer<HandOver::SummaryYear>(token, this);
    registry.handOver().offer<HandOver::MenuClose>(token, this);

    // The year shown beside both ends follows what is typed.
    // The widgets are captured, not the screen: the box may lose the focus while the screen is being
    // destroyed around it, when the program ends.
    auto copyYear = [box = txtAnno, start = QPointer<QLabel>(lblAnnoInizio), end = QPointer<QLabel>(lblAnnoFine)] {
        for (QLabel* year : {start.data(), end.data()}) {
            if (year) year->setText(box->text().trimmed());
        }
    };
    connect(txtAnno, &QLineEdit::textChanged, this, copyYear);
    onFocusLost(txtAnno, copyYear);

    btnVisualizza->setAutoDefault(true);
    enterMovesFocus({txtAnno, txtTipologia, txtGiornoInizio, txtMeseInizio, txtGiornoFine, txtMeseFine, btnVisualizza});
    connect(btnVisualizza, &QPushButton::pressed, lblAttendere, &QWidget::show);
    connect(btnVisualizza, &QPushButton::clicked, this, &MovementPeriodScreen::btnVisualizzaClick);
    connect(btnEsci, &QPushButton::clicked, this, &QWidget::close);
}

void MovementPeriodScreen::showEvent(QShowEvent* event) {
    WorkArea::showEvent(event);
    if (event->spontaneous()) return;
    txtTipologia->clear();
    for (QComboBox* box : {txtGiornoInizio, txtMeseInizio, txtGiornoFine, txtMeseFine}) {
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
    txtTipologia->setFocus();
}

void MovementPeriodScreen::onClose() { registry().switchTo(toQString(screen::kAvvio), this); }

void MovementPeriodScreen::openYear(const std::filesystem::path& archive, const QString& caption) {
    lblFile->setText(QString::fromStdString(archive.string()));
    setWindowTitle(caption);
}

void MovementPeriodScreen::openSummaryYear(const QString& year) {
    txtAnno->setText(year);
    lblAnnoInizio->setText(year);
    lblAnnoFine->setText(year);
}

void MovementPeriodScreen::btnVisualizzaClick() {
    lblDataInizio->clear();
    lblDataFine->clear();
    const PeriodCheck check =
        checkPeriod(toStd(txtAnno->text()), toStd(txtGiornoInizio->currentText()), toStd(txtMeseInizio->currentText()),
                    toStd(txtGiornoFine->currentText()), toStd(txtMeseFine->currentText()));
    lblDataInizio->setText(QString::fromStdString(check.start));
    lblDataFine->setText(QString::fromStdString(check.end));
    const QString message = QString::fromStdString(check.message);
    auto stop = [this](QWidget* focus) {
        lblAttendere->hide();
        if (focus) focus->setFocus();
    };
    switch (check.problem) {
        case PeriodProblem::Year:
            MessageService::warning(this, message);
            return stop(txtAnno);
        case PeriodProblem::StartDay:
            MessageService::warning(this, message);
            return stop(txtGiornoInizio);
        case PeriodProblem::StartMonth:
            MessageService::warning(this, message);
            return stop(txtMeseInizio);
        case PeriodProblem::EndDay:
            MessageService::warning(this, message);
            return stop(txtGiornoFine);
        case PeriodProblem::EndMonth:
            MessageService::warning(this, message);
            return stop(txtMeseFine);
        case PeriodProblem::StartDate:
            MessageService::plain(this, message);
            return stop(txtGiornoInizio);
        case PeriodProblem::EndDate:
            MessageService::plain(this, message);
            return stop(txtGiornoFine);
        case PeriodProblem::EndBeforeStart:
            MessageService::plain(this, message);
            return stop(nullptr);
        case PeriodProblem::None:
            break;
    }
    const auto archive =
        paths::movementArchive(registry().programFolder(), toStd(txtAnno->text().trimmed()), direction_.direction);
    lblFile->setText(QString::fromStdString(archive.string()));
    std::unique_ptr<MovementSummaryList> summary;
    if (direction_.direction == Direction::GoodsIn) {
        summary = std::make_unique<TfrmRiepilogoCarico>(*this);
    } else {
        summary = std::make_unique<TfrmRiepilogoScarico>(*this);
    }
    summary->exec();
    lblAttendere->hide();
}

MovementSummaryList::MovementSummaryList(MovementPeriodScreen& period, const MovementDirection& direction)
    : ListScreen(&period, {.name = direction.summaryListName.data(),
                           .caption = direction.summaryListCaption.data(),
                           .printTitle = direction.summaryPrintTitle.data(),
                           .rowHint = nullptr,
                           .printCaption = "Stampa riepilogo",
                           .closeName = "btnEsci",
                           .closeCaption = "Esci",
                           .findLine1 = kFindLine1,
                           .findLine2 = kFindLine2,
                           .enterMovesToFind = false}),
      period_(period),
      direction_(direction) {
    setWindowState(windowState() | Qt::WindowMaximized);
    showHeadings(listHeadings(kMovementRow));
    SummaryPanel panel(panContainer, containerLayout());
    std::tie(lblTipologia, titTipologia) = panel.add("lblTipologia", "Codice articolo:", "titTipologia", "- - -");
    std::tie(infIntervallo, lblIntervallo) =
        panel.add("infIntervallo", "Intervallo selezionato:", "lblIntervallo", "Dal gg/mm/aaaa al gg/mm/aaaa");
    std::tie(titTotMov, txtTotMov) = panel.add("titTotMov", "Numero operazioni:", "txtTotMov", "0");
    std::tie(infTotKmPercorsi, lblTotCosti) = panel.add("infTotKmPercorsi", "Importo totale:", "lblTotCosti", "0,00");
    imgGuida = panel.helpButton("imgGuida");
    connect(imgGuida, &PictureButton::clicked, this, [this] {
        showHelp(period_.registry(), this,
                 direction_.direction == Direction::GoodsIn ? HelpTopic::GoodsInSummary : HelpTopic::GoodsOutSummary);
    });

    fillWhenShown([this](RowList& rows) {
        MovementSummaryFilter filter;
        filter.code = toStd(period_.txtTipologia->text());
        const auto start = parseDate(toStd(period_.lblDataInizio->text()));
        const auto end = parseDate(toStd(period_.lblDataFine->text()));
        summary_ = MovementSummary();
        if (!start || !end) {
            filled_ = Status::failure("no period");
            return filled_;
        }
        filter.start = *start;
        filter.end = *end;
        filled_ = fillMovementSummary(toStd(period_.lblFile->text()), filter, summary_);
        rows = std::move(summary_.rows);
        return filled_;
    });
}

void MovementSummaryList::showEvent(QShowEvent* event) {
    // Shown again after being minimised, the list keeps what it was filled with.
    if (event->spontaneous()) return ListScreen::showEvent(event);
    lblTotCosti->setText(QStringLiteral("0,00"));
    ListScreen::showEvent(event);
    if (summary_.codeTitle) titTipologia->setText(QString::fromStdString(*summary_.codeTitle));
    if (!filled_) return;  // what was listed stays; the totals keep their first texts
    lblIntervallo->setText(
        QString::fromStdString(intervalText(toStd(period_.lblDataInizio->text()), toStd(period_.lblDataFine->text()))));
    lblTotCosti->setText(QString::fromStdString(summary_.total));
    txtTotMov->setText(QString::number(model()->rowCount()));
    txtTrova->setFocus();
    // Told once the list is on screen, over it.
    if (!summary_.skipped.empty()) {
        QTimer::singleShot(
            0, this, [this, text = skippedRecordsWarning(summary_.skipped)] { MessageService::warning(this, text); });
    }
}

void MovementSummaryList::btnStampaClick() {
    if (model()->rowCount() == 0) {
        MessageService::warning(this, kMsgNothingToPrint);
        return;
    }
    if (!MessageService::question(this, kMsgPrintQuestion)) return;
    QStringList lines = model()->texts();
    for (const std::string& line :
         summaryFooterLines(toStd(lblIntervallo->text().trimmed()), toStd(txtTotMov->text().trimmed()),
                            toStd(lblTotCosti->text().trimmed())))
        lines.append(QString::fromStdString(line));
    printList(this, frxReport(), toQString(direction_.summaryPrintTitle) + titTipologia->text().trimmed(), lines);
}

void MovementSummaryList::done(int result) {
    period_.lblAttendere->hide();
    ListScreen::done(result);
}

}  // namespace scortavia
