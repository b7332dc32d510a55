#include "products/TfrmImportaProdotti.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "common/TextRules.h"
#include "storage/ArchivePaths.h"
#include "ui/BoxBehaviour.h"
#include "ui/FileDialogService.h"
#include "ui/MessageService.h"
#include "ui/Palette.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

using P = ProductLayout;

constexpr int kRiga = 0;
constexpr int kEsito = 1;
constexpr int kMotivo = 2;

const char* const kIgnore = "— non importare —";

QString counted(std::size_t n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
}

// The spreadsheet's name of a column: A, B, ..., Z, AA, AB, ...
QString columnLetters(std::size_t column) {
    QString letters;
    std::size_t n = column + 1;
    while (n > 0) {
        letters.prepend(QChar(static_cast<char16_t>(u'A' + (n - 1) % 26)));
        n = (n - 1) / 26;
    }
    return letters;
}

QIcon statusDot(const char* colour) {
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::color(colour));
    painter.drawEllipse(1, 1, 10, 10);
    return QIcon(dot);
}

}  // namespace

// ---- The grid's model ----

ImportPreviewModel::ImportPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::reset(const SheetTable* table, const ImportOptions* options, const ImportPreview* preview,
                               ArchiveDuplicates choice, bool onlyProblems) {
    beginResetModel();
    table_ = table;
    options_ = options;
    preview_ = preview;
    choice_ = choice;
    filtered_ = onlyProblems && preview != nullptr;
    shown_.clear();
    if (filtered_) {
        for (std::size_t row = 0; row < preview->rowCount(); ++row) {
            if (preview->status(row) != RowStatus::Ready) shown_.push_back(static_cast<std::uint32_t>(row));
        }
    }
    endResetModel();
}

std::size_t ImportPreviewModel::previewRow(int row) const {
    return filtered_ ? shown_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || preview_ == nullptr) return 0;
    return static_cast<int>(filtered_ ? shown_.size() : preview_->rowCount());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return kFixedColumns + (options_ ? static_cast<int>(options_->mapping.size()) : 0);
}

QString ImportPreviewModel::reasons(std::size_t row, std::optional<ProductLayout::Field> only) const {
    QStringList lines;
    for (const RowProblem& problem : preview_->problems(row)) {
        if (only && problem.field != *only) continue;
        lines << toQString(problemText(problem, *preview_, row, choice_));
    }
    return lines.join(QLatin1Char('\n'));
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || preview_ == nullptr) return {};
    const std::size_t row = previewRow(index.row());
    const int column = index.column();
    const RowStatus status = preview_->status(row);
    const bool left = preview_->outcome(row, choice_) == RowOutcome::Excluded;
    std::optional<P::Field> field;
    std::size_t fileColumn = 0;
    if (column >= kFixedColumns) {
        fileColumn = static_cast<std::size_t>(column - kFixedColumns);
        field = options_->mapping[fileColumn];
    }
    const bool flagged = field && preview_->flagged(row, *field);

    switch (role) {
        case Qt::DisplayRole:
            if (column == kRiga) return QString::number(preview_->sheetRow(row));
            if (column == kEsito) {
                if (left) return QStringLiteral("Esclusa");
                constexpr const char* kStatus[] = {"Pronta", "Avviso", "Rifiutata"};
                return QString::fromUtf8(kStatus[static_cast<int>(status)]);
            }
            if (column == kMotivo) {
                const auto problems = preview_->problems(row);
                if (problems.empty()) return {};
                QString first = toQString(problemText(problems.front(), *preview_, row, choice_));
                if (problems.size() > 1) first += QStringLiteral("  (+%1)").arg(problems.size() - 1);
                return first;
            }
            if (field) return toQString(preview_->text(row, *field));
            return toQString(table_->cell(row + (options_->headerRow ? 1 : 0), fileColumn));
        case Qt::ToolTipRole:
            if (column == kEsito || column == kMotivo) return reasons(row, std::nullopt);
            if (flagged) return reasons(row, field);
            if (!field) return QStringLiteral("Colonna non importata.");
            return {};
        case Qt::DecorationRole:
            if (column == kEsito) {
                static const QIcon kDots[] = {statusDot("readyInk"), statusDot("warnInk"), statusDot("refuseInk")};
                static const QIcon kLeft = statusDot("disabled");
                return left ? kLeft : kDots[static_cast<int>(status)];
            }
            return {};
        case Qt::BackgroundRole:
            if (flagged) return palette::color(status == RowStatus::Refused ? "refuseCell" : "warnCell");
            if (left) return palette::color("skipFill");
            if (status == RowStatus::Refused) return palette::color("refuseFill");
            if (status == RowStatus::Warning) return palette::color("warnFill");
            return {};
        case Qt::ForegroundRole:
            if (column == kEsito && !left) {
                constexpr const char* kInk[] = {"readyInk", "warnInk", "refuseInk"};
                return palette::color(kInk[static_cast<int>(status)]);
            }
            if ((column >= kFixedColumns && !field) || left) return palette::color("disabled");
            return {};
        case Qt::FontRole:
            if (column == kEsito || flagged) {
                QFont font;
                font.setBold(true);
                return font;
            }
            if (column >= kFixedColumns && !field) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        default:
            return {};
    }
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == kRiga) return QStringLiteral("Riga");
    if (section == kEsito) return QStringLiteral("Esito");
    if (section == kMotivo) return QStringLiteral("Motivo");
    const auto column = static_cast<std::size_t>(section - kFixedColumns);
    const QString letters = columnLetters(column);
    if (!options_ || !options_->headerRow || !table_) return QStringLiteral("Colonna ") + letters;
    const QString header = toQString(trimBlanks(table_->cell(0, column)));
    return header.isEmpty() ? QStringLiteral("Colonna ") + letters : letters + QStringLiteral(": ") + header;
}

// ---- The header with the choice of field ----

MappingHeader::MappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignBottom);
    setHighlightSections(false);
    setSectionsClickable(false);
    connect(this, &QHeaderView::sectionResized, this, &MappingHeader::place);
    connect(this, &QHeaderView::geometriesChanged, this, &MappingHeader::place);
    connect(this, &QHeaderView::sectionCountChanged, this, &MappingHeader::place);
}

void MappingHeader::setColumns(const ColumnMapping& mapping) {
    for (QComboBox* box : choices_) delete box;
    placed_.clear();
    fields_.assign(mapping.size(), -1);
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        if (mapping[c]) fields_[c] = static_cast<int>(*mapping[c]);
    }
    choices_.assign(mapping.size(), nullptr);
    listHeight_ = mapping.empty() ? 0 : choice(0)->sizeHint().height();
    place();
}

QComboBox* MappingHeader::choice(std::size_t column) {
    QComboBox*& box = choices_.at(column);
    if (box != nullptr) return box;
    box = new QComboBox(viewport());
    box->hide();
    box->setObjectName(QStringLiteral("cboCampo_%1").arg(column + 1, 2, 10, QLatin1Char('0')));
    box->addItem(QString::fromUtf8(kIgnore), -1);
    for (std::size_t f = 0; f < kImportFieldCount; ++f) {
        box->addItem(toQString(importFieldName(static_cast<P::Field>(f))), static_cast<int>(f));
    }
    box->setCurrentIndex(fields_[column] + 1);
    box->setToolTip(QStringLiteral("Il campo della scheda in cui importare la colonna %1.").arg(columnLetters(column)));
    QComboBox* made = box;
    connect(made, &QComboBox::activated, this, [this, column, made](int index) {
        const int field = made->itemData(index).toInt();
        fields_[column] = field;
        Q_EMIT fieldChosen(column, field < 0 ? std::nullopt : std::optional(static_cast<P::Field>(field)));
    });
    return box;
}

void MappingHeader::setChoice(std::size_t column, std::optional<ProductLayout::Field> field) {
    fields_.at(column) = field ? static_cast<int>(*field) : -1;
    if (choices_[column] != nullptr) choices_[column]->setCurrentIndex(fields_[column] + 1);
}

QSize MappingHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(size.height() + listHeight_ + (listHeight_ > 0 ? 6 : 0));
    return size;
}

void MappingHeader::releasePlacement() {
    if (held_ > 0 && --held_ == 0) place();
}

void MappingHeader::place() {
    if (held_ > 0) return;
    std::vector<std::size_t> inView;
    const int first = visualIndexAt(0);
    int last = visualIndexAt(viewport()->width() - 1);
    if (last < 0) last = count() - 1;
    for (int visual = std::max(first, 0); first >= 0 && visual <= last; ++visual) {
        const int section = logicalIndex(visual);
        if (section < ImportPreviewModel::kFixedColumns || isSectionHidden(section)) continue;
        const auto column = static_cast<std::size_t>(section - ImportPreviewModel::kFixedColumns);
        if (column >= choices_.size()) continue;
        QComboBox* box = choice(column);
        box->setGeometry(sectionViewportPosition(section) + 2, 3, sectionSize(section) - 4, listHeight_);
        box->show();
        inView.push_back(column);
    }
    for (const std::size_t column : placed_) {
        if (std::find(inView.begin(), inView.end(), column) == inView.end()) choices_[column]->hide();
    }
    placed_ = std::move(inView);
}

void MappingHeader::resizeEvent(QResizeEvent* event) {
    QHeaderView::resizeEvent(event);
    place();
}

// ---- The screen ----

TfrmImportaProdotti::TfrmImportaProdotti(ScreenRegistry& registry, QWidget* owner)
    : QDialog(owner), registry_(registry) {
    QVBoxLayout* screen =
        setUpDialog(this, QStringLiteral("frmImportaProdotti"), QStringLiteral(" Importa prodotti da file"));
    screen->setContentsMargins(14, 12, 14, 10);
    screen->setSpacing(8);
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(1180, 700);

    screen->addWidget(instructionBanner(
        QStringLiteral("lblIstruzioni"),
        QStringLiteral("Scegli un file CSV salvato dal foglio di calcolo (con punto e virgola, virgola o tabulazione "
                       "tra le colonne) oppure un file «Magazzino.xls» esportato dal programma. Prima di scrivere "
                       "qualcosa il programma mostra qui sotto ogni riga come diventerà una scheda, con i problemi "
                       "da correggere."),
        this));

    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    txtFile->setFocusPolicy(Qt::NoFocus);  // only "Sfoglia..." changes it: the focus starts there
    txtFile->setPlaceholderText(QStringLiteral("Nessun file scelto"));
    cmdSfoglia = textButton(QStringLiteral("cmdSfoglia"), QStringLiteral("Sfoglia..."), this);
    screen->addLayout(
        lineOf({captionLabel(QStringLiteral("titFile"), QStringLiteral("File:"), this), txtFile, cmdSfoglia}));

    lblFormato = new QLabel(this);
    lblFormato->setObjectName(QStringLiteral("lblFormato"));
    chkIntestazioni = new QCheckBox(QStringLiteral("La prima riga contiene i nomi delle colonne"), this);
    chkIntestazioni->setObjectName(QStringLiteral("chkIntestazioni"));
    chkIntestazioni->setEnabled(false);
    auto* format = new QHBoxLayout();
    format->addWidget(lblFormato, 1);
    format->addWidget(chkIntestazioni);
    screen->addLayout(format);

    lblPronte = new QLabel(this);
    lblPronte->setObjectName(QStringLiteral("lblPronte"));
    lblAvvisi = new QLabel(this);
    lblAvvisi->setObjectName(QStringLiteral("lblAvvisi"));
    lblRifiutate = new QLabel(this);
    lblRifiutate->setObjectName(QStringLiteral("lblRifiutate"));
    lblEscluse = new QLabel(this);
    lblEscluse->setObjectName(QStringLiteral("lblEscluse"));
    chkSoloProblemi = new QCheckBox(QStringLiteral("Mostra solo le righe da controllare"), this);
    chkSoloProblemi->setObjectName(QStringLiteral("chkSoloProblemi"));
    auto* counts = new QHBoxLayout();
    counts->setSpacing(28);
    counts->addWidget(lblPronte);
    counts->addWidget(lblAvvisi);
    counts->addWidget(lblRifiutate);
    counts->addWidget(lblEscluse);
    counts->addStretch(1);
    counts->addWidget(chkSoloProblemi);
    screen->addLayout(counts);

    model_ = new ImportPreviewModel(this);
    grdAnteprima = new QTableView(this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    header_ = new MappingHeader(grdAnteprima);
    grdAnteprima->setHorizontalHeader(header_);
    grdAnteprima->setModel(model_);
    leaveOnCtrlTab(grdAnteprima);
    grdAnteprima->verticalHeader()->hide();
    grdAnteprima->verticalHeader()->setDefaultSectionSize(24);
    grdAnteprima->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAnteprima->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAnteprima->setWordWrap(false);
    connect(grdAnteprima->horizontalScrollBar(), &QScrollBar::valueChanged, header_, &MappingHeader::place);
    screen->addWidget(grdAnteprima, 1);

    panDoppi = new QWidget(this);
    panDoppi->setObjectName(QStringLiteral("panDoppi"));
    lblDoppi = new QLabel(panDoppi);
    lblDoppi->setObjectName(QStringLiteral("lblDoppi"));
    optSaltaDoppi = new QRadioButton(QStringLiteral("Non importarle"), panDoppi);
    optSaltaDoppi->setObjectName(QStringLiteral("optSaltaDoppi"));
    optAggiungiDoppi = new QRadioButton(QStringLiteral("Importarle come nuove schede"), panDoppi);
    optAggiungiDoppi->setObjectName(QStringLiteral("optAggiungiDoppi"));
    optSaltaDoppi->setChecked(true);
    auto* duplicates = new QHBoxLayout(panDoppi);
    duplicates->setContentsMargins(0, 0, 0, 0);
    duplicates->setSpacing(18);
    duplicates->addWidget(lblDoppi);
    duplicates->addWidget(optSaltaDoppi);
    duplicates->addWidget(optAggiungiDoppi);
    duplicates->addStretch(1);
    panDoppi->hide();
    screen->addWidget(panDoppi);

    cmdGuida = new PictureButton(QStringLiteral("cmdGuida"), QStringLiteral(":/icon_guida.svg"), {32, 32}, this);
    cmdImporta = textButton(QStringLiteral("cmdImporta"), QStringLiteral("Importa"), this);
    cmdImporta->setEnabled(false);
    cmdAnnulla = textButton(QStringLiteral("cmdAnnulla"), QStringLiteral("Annulla"), this);
    screen->addLayout(statusRow(panInfo, {cmdGuida, cmdImporta, cmdAnnulla}, this));
    cmdGuida->reachByKeyboard();

    hints_ = new HoverHints(panInfo, this);
    hints_->set(cmdSfoglia, QStringLiteral("Scegli il file con i prodotti da importare."));
    hints_->set(chkIntestazioni, QStringLiteral("Togli il segno se la prima riga del file è già un prodotto."));
    hints_->set(chkSoloProblemi, QStringLiteral("Nasconde le righe pronte, per vedere subito quelle da correggere."));
    hints_->set(grdAnteprima, QStringLiteral("Passa con il mouse su una riga o su una cella colorata per leggere "
                                             "il motivo; sopra ogni colonna scegli il campo della scheda."));
    hints_->set(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints_->set(cmdImporta, QStringLiteral("Aggiunge al magazzino le righe pronte e quelle con avvisi."));
    hints_->set(cmdAnnulla, QStringLiteral("Chiude la finestra senza importare nulla."));
    hints_->watchAll();

    connect(cmdSfoglia, &QPushButton::clicked, this, &TfrmImportaProdotti::cmdSfogliaClick);
    connect(cmdImporta, &QPushButton::clicked, this, &TfrmImportaProdotti::cmdImportaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdGuida, &PictureButton::clicked, this, [this] { showHelp(registry_, this, HelpTopic::ProductImport); });
    connect(chkSoloProblemi, &QCheckBox::toggled, this, [this] { refresh(); });
    connect(optSaltaDoppi, &QRadioButton::toggled, this, [this] { refresh(); });
    connect(chkIntestazioni, &QCheckBox::toggled, this, [this](bool on) {
        options_.headerRow = on;
        rebuild();
    });
    connect(header_, &MappingHeader::fieldChosen, this, &TfrmImportaProdotti::chooseField);
    refresh();
}

TfrmImportaProdotti::~TfrmImportaProdotti() {
    // The model must not outlive what it points at while the view still asks it.
    model_->reset(nullptr, nullptr, nullptr, ArchiveDuplicates::Skip, false);
}

ArchiveDuplicates TfrmImportaProdotti::duplicateChoice() const {
    return optAggiungiDoppi->isChecked() ? ArchiveDuplicates::AddAsNew : ArchiveDuplicates::Skip;
}

void TfrmImportaProdotti::cmdSfogliaClick() {
    const auto chosen = FileDialogService::openFile(
        this, QStringLiteral("Scegliere il file con i prodotti da importare."),
        QStringLiteral("Fogli di calcolo in formato CSV o esportati dal programma (*.csv *.txt *.xls *.htm *.html);;"
                       "Tutti i file (*)"));
    if (!chosen) return;
    openFile(std::filesystem::path(chosen->toStdString()));
}

bool TfrmImportaProdotti::openFile(const std::filesystem::path& file) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ImportFile reading = readImportFile(file, importMemoryBudget());
    auto codes = reading.table ? readArchiveCodes(paths::productArchive(registry_.programFolder()))
                               : Result<ArchiveCodes>(ArchiveCodes{});
    QApplication::restoreOverrideCursor();
    if (!reading.table) {
        MessageService::warning(this, toQString(reading.refusal));
        return false;
    }
    if (!codes) {
        MessageService::warning(this, QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio "
                                                     "dei prodotti.\n\nAccertarsi di possedere i privilegi di lettura "
                                                     "e scrittura nella cartella di installazione del programma."));
        return false;
    }
    model_->reset(nullptr, nullptr, nullptr, ArchiveDuplicates::Skip, false);
    preview_.reset();
    file_ = file;
    table_ = std::move(reading.table);
    codes_ = std::move(*codes);
    bool matched = false;
    options_.mapping = mappingFromHeaders(*table_, matched);
    options_.headerRow = matched;
    header_->holdPlacement();
    // The width of a column that fills no field: only the columns of fields are widened one by one.
    header_->setDefaultSectionSize(150);
    header_->setColumns(options_.mapping);
    if (!rebuild()) {
        header_->releasePlacement();
        return false;
    }
    txtFile->setText(QString::fromStdString(file.string()));
    {
        const QSignalBlocker blocker(chkIntestazioni);
        chkIntestazioni->setChecked(matched);
    }
    chkIntestazioni->setEnabled(true);

    // Each width moves the columns after it: only the few that differ from the header's default are set.
    grdAnteprima->setColumnWidth(kRiga, 56);
    grdAnteprima->setColumnWidth(kEsito, 110);
    grdAnteprima->setColumnWidth(kMotivo, 420);
    for (std::size_t c = 0; c < options_.mapping.size(); ++c) {
        // Room for the list above the column, and for more of a long field.
        const auto field = options_.mapping[c];
        if (!field) continue;
        const int width = std::clamp(static_cast<int>(ProductRecord::Info::capacity(*field)) * 4, 150, 260);
        grdAnteprima->setColumnWidth(ImportPreviewModel::kFixedColumns + static_cast<int>(c), width);
    }
    grdAnteprima->scrollToTop();
    header_->releasePlacement();
    if (!matched) {
        panInfo->setText(
            QStringLiteral("Nessun nome di colonna riconosciuto: scegli il campo di ogni colonna "
                           "nell'elenco sopra di essa."));
    }
    return true;
}

void TfrmImportaProdotti::chooseField(std::size_t column, std::optional<ProductLayout::Field> field) {
    if (column >= options_.mapping.size()) return;
    if (field) {
        // A field fills from one column: the column that had it lets it go.
        for (std::size_t c = 0; c < options_.mapping.size(); ++c) {
            if (c != column && options_.mapping[c] == field) {
                options_.mapping[c].reset();
                header_->setChoice(c, std::nullopt);
            }
        }
    }
    options_.mapping[column] = field;
    header_->setChoice(column, field);
    rebuild();
}

bool TfrmImportaProdotti::rebuild() {
    if (!table_) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->reset(nullptr, nullptr, nullptr, ArchiveDuplicates::Skip, false);
    // The old preview goes first, so two are never held at once.
    preview_.reset();
    std::optional<ImportPreview> built = ImportPreview::tryBuild(*table_, options_, codes_);
    if (built) preview_ = std::make_unique<ImportPreview>(std::move(*built));
    QApplication::restoreOverrideCursor();
    if (!preview_) {
        // The machine could not hold it: back to no file chosen, with the reason.
        table_.reset();
        options_ = {};
        codes_ = {};
        file_.clear();
        txtFile->clear();
        chkIntestazioni->setEnabled(false);
        header_->setColumns({});
        refresh();
        MessageService::warning(this, toQString(kPreviewNoMemoryText));
        return false;
    }
    refresh();
    return true;
}

void TfrmImportaProdotti::refresh() {
    const ImportPreview* preview = preview_.get();
    const ArchiveDuplicates choice = duplicateChoice();
    model_->reset(table_ ? &*table_ : nullptr, &options_, preview, choice, chkSoloProblemi->isChecked());
    header_->place();
    // The counts follow the Esito column, which follows the duplicate choice.
    const OutcomeCounts counts = preview ? preview->counts(choice) : OutcomeCounts{};
    lblPronte->setText(QStringLiteral("Pronte: ") + QString::number(counts.ready));
    lblAvvisi->setText(QStringLiteral("Con avvisi: ") + QString::number(counts.warnings));
    lblRifiutate->setText(QStringLiteral("Rifiutate: ") + QString::number(counts.refused));
    lblEscluse->setText(QStringLiteral("Escluse: ") + QString::number(counts.excluded));
    if (!preview) {
        lblFormato->setText(QStringLiteral("Fai clic su «Sfoglia...» per scegliere il file da importare."));
        chkSoloProblemi->setEnabled(false);
        cmdImporta->setEnabled(false);
        return;
    }
    chkSoloProblemi->setEnabled(true);
    QString format = table_->format == SheetFormat::ExportTable ? QStringLiteral("File esportato dal programma")
                                                                : QStringLiteral("File CSV, colonne separate da ") +
                                                                      toQString(sheetDelimiterName(table_->delimiter));
    format += QStringLiteral(" · codifica ") + toQString(sheetEncodingName(table_->encoding));
    format += preview->decimalPoint() ? QStringLiteral(" · numeri con il punto decimale (12.50 è letto 12,50)")
                                      : QStringLiteral(" · numeri con la virgola decimale");
    format += QStringLiteral(" · ") + counted(preview->rowCount(), "riga di prodotti", "righe di prodotti");
    lblFormato->setText(format);

    panDoppi->setVisible(preview->inArchiveRows() > 0);
    lblDoppi->setText(counted(preview->inArchiveRows(), "riga ha", "righe hanno") +
                      QStringLiteral(" un codice articolo già presente in magazzino:"));
    const std::size_t imported = preview->importedRows(choice);
    cmdImporta->setEnabled(imported > 0);
    cmdImporta->setText(imported > 0 ? QStringLiteral("Importa ") + counted(imported, "scheda", "schede")
                                     : QStringLiteral("Importa"));
}

void TfrmImportaProdotti::cmdImportaClick() {
    if (!preview_) return;
    const ArchiveDuplicates choice = duplicateChoice();
    const std::size_t total = preview_->importedRows(choice);
    if (total == 0) return;
    const std::size_t left = preview_->rowCount() - total;
    QString question =
        QStringLiteral("Verranno aggiunte al magazzino ") + counted(total, "nuova scheda", "nuove schede");
    if (left > 0)
        question += QStringLiteral("; ") +
                    counted(left, "riga del file non sarà importata", "righe del file non saranno importate");
    question += QStringLiteral(".\n\nSi vuole procedere con l'importazione?");
    if (!MessageService::question(this, question)) return;

    QProgressDialog progress(QStringLiteral("Importazione delle schede in corso..."), QStringLiteral("Annulla"), 0,
                             static_cast<int>(total), this);
    setUpProgress(progress, windowTitle());
    const std::filesystem::path folder = registry_.programFolder();
    const ImportOutcome outcome =
        writeImport(paths::productArchive(folder), *preview_, choice, [&progress](std::size_t written, std::size_t) {
            progress.setValue(static_cast<int>(written));
            return !progress.wasCanceled();
        });
    progress.reset();

    const std::string when = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")).toStdString();
    const Status logged = appendImportLog(folder, importLogText(when, file_.string(), *preview_, choice, outcome));

    QString account = QStringLiteral("Schede aggiunte al magazzino: ") + QString::number(outcome.added) +
                      QStringLiteral("\nRighe non importate: ") + QString::number(outcome.skipped);
    if (!outcome.arrived.empty()) account += QLatin1Char('\n') + toQString(arrivedCodesLine(outcome));
    account += logged ? QStringLiteral(
                            "\n\nIl resoconto, con le righe non importate e il motivo, è nel file \"%1\" "
                            "nella cartella del programma.")
                            .arg(toQString(kImportLogName))
                      : QStringLiteral("\n\nNon è stato possibile scrivere il resoconto nel file \"%1\".")
                            .arg(toQString(kImportLogName));
    if (!outcome.status.ok()) {
        MessageService::warning(this, QStringLiteral("Attenzione: l'importazione si è interrotta perché il sistema non "
                                                     "permette di scrivere nell'archivio dei prodotti.\n\n") +
                                          account);
    } else if (outcome.cancelled) {
        MessageService::plain(this, QStringLiteral("Importazione interrotta.\n\n") + account);
    } else {
        MessageService::plain(this, QStringLiteral("Importazione completata.\n\n") + account);
    }
    accept();
}

}  // namespace scortavia
