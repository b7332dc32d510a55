#include "products/TfrmImportaProdotti.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "products/ImportFile.h"
#include "products/ImportWrite.h"
#include "sheets/SheetRead.h"
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

QString counted(std::size_t n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
}

}  // namespace

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
        ImportOptions options = this->options();
        options.headerRow = on;
        rebuild(std::move(options));
    });
    connect(header_, &MappingHeader::fieldChosen, this, &TfrmImportaProdotti::chooseField);
    refresh();
}

const ImportPreview* TfrmImportaProdotti::preview() const {
    const ImportSession* session = model_->session();
    return session && session->preview ? &*session->preview : nullptr;
}

const ImportOptions& TfrmImportaProdotti::options() const {
    static const ImportOptions kNone;
    const ImportSession* session = model_->session();
    return session ? session->options : kNone;
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
    auto session = std::make_unique<ImportSession>();
    session->file = file;
    session->table = std::move(*reading.table);
    session->codes = std::move(*codes);
    bool matched = false;
    ImportOptions fromHeaders{mappingFromHeaders(session->table, matched), matched};
    model_->open(std::move(session));
    header_->holdPlacement();
    // The width of a column that fills no field: only the columns of fields are widened one by one.
    header_->setDefaultSectionSize(150);
    header_->setColumns(fromHeaders.mapping);
    if (!rebuild(std::move(fromHeaders))) {
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
    grdAnteprima->setColumnWidth(ImportPreviewModel::kRiga, 56);
    grdAnteprima->setColumnWidth(ImportPreviewModel::kEsito, 110);
    grdAnteprima->setColumnWidth(ImportPreviewModel::kMotivo, 420);
    const ColumnMapping& mapping = options().mapping;
    for (std::size_t c = 0; c < mapping.size(); ++c) {
        // Room for the list above the column, and for more of a long field.
        const auto field = mapping[c];
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
    ImportOptions options = this->options();
    if (column >= options.mapping.size()) return;
    if (field) {
        // A field fills from one column: the column that had it lets it go.
        for (std::size_t c = 0; c < options.mapping.size(); ++c) {
            if (c != column && options.mapping[c] == field) {
                options.mapping[c].reset();
                header_->setChoice(c, std::nullopt);
            }
        }
    }
    options.mapping[column] = field;
    header_->setChoice(column, field);
    rebuild(std::move(options));
}

bool TfrmImportaProdotti::rebuild(ImportOptions options) {
    if (!model_->session()) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool built = model_->readWith(std::move(options));
    QApplication::restoreOverrideCursor();
    if (!built) {
        // The machine could not hold it: back to no file chosen, with the reason.
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
    const ImportPreview* preview = this->preview();
    const ArchiveDuplicates choice = duplicateChoice();
    model_->showRows(choice, chkSoloProblemi->isChecked());
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
    const SheetTable& table = model_->session()->table;
    QString format = table.format == SheetFormat::ExportTable ? QStringLiteral("File esportato dal programma")
                                                              : QStringLiteral("File CSV, colonne separate da ") +
                                                                    toQString(sheetDelimiterName(table.delimiter));
    format += QStringLiteral(" · codifica ") + toQString(sheetEncodingName(table.encoding));
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
    const ImportSession* session = model_->session();
    if (!session || !session->preview) return;
    const ImportPreview& preview = *session->preview;
    const ArchiveDuplicates choice = duplicateChoice();
    const std::size_t total = preview.importedRows(choice);
    if (total == 0) return;
    const std::size_t left = preview.rowCount() - total;
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
        writeImport(paths::productArchive(folder), preview, choice, [&progress](std::size_t written, std::size_t) {
            progress.setValue(static_cast<int>(written));
            return !progress.wasCanceled();
        });
    progress.reset();

    const std::string when = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")).toStdString();
    const Status logged =
        appendImportLog(folder, importLogText(when, session->file.string(), preview, choice, outcome));

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
