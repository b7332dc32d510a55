#include "export/ExportScreen.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "storage/ArchivePaths.h"
#include "ui/BoxBehaviour.h"
#include "ui/DesktopService.h"
#include "ui/MessageService.h"
#include "ui/QtText.h"
#include "ui/ScreenRegistry.h"
#include "ui/TfrmGuida.h"
#include "ui/Widgets.h"

namespace scortavia {
namespace {

constexpr std::string_view kMsgExportQuestion =
    "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del numero di schede presenti in "
    "archivio.\r\n\r\nSi vuole esportare i dati adesso?";
constexpr std::string_view kMsgExported =
    "Le schede in archivio sono state esportate con successo.\r\n\r\nSi vuole aprire il file di Excel?";
constexpr std::string_view kMsgExportFailed =
    "Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi che il file di Excel non sia già "
    "aperto.";
constexpr const char* kReady = "Esportazione archivio in Microsoft Excel.";

// An archive that could not be read (a folder or a pipe in its place, no right to read it, a read error):
// said when the screen opens, and again instead of writing a file that would lack its records.
QString archiveUnreadText(const std::filesystem::path& archive) {
    return QStringLiteral(
               "Attenzione: non è stato possibile leggere l'archivio \"%1\", quindi i dati non possono "
               "essere esportati.\r\n\r\nAccertarsi che l'archivio sia accessibile, poi riaprire "
               "questa finestra.")
        .arg(QString::fromStdString(archive.filename().string()));
}
QString notExportedText(const std::filesystem::path& archive) {
    return QStringLiteral(
               "Attenzione: non è stato possibile leggere l'archivio \"%1\", quindi i dati non sono "
               "stati esportati.\r\n\r\nIl file di Excel esportato in precedenza non è stato modificato.")
        .arg(QString::fromStdString(archive.filename().string()));
}

}  // namespace

ExportGridModel::ExportGridModel(const ExportDesign& design, QObject* parent)
    : QAbstractTableModel(parent), design_(design) {}

Status ExportGridModel::load(const std::filesystem::path& archive) {
    beginResetModel();
    changed_.clear();
    Status loaded = cells_.load(archive, design_);
    endResetModel();
    return loaded;
}

int ExportGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    const std::size_t rows = cells_.rowCount();
    return static_cast<int>(rows == 0 ? kEmptyExportRows : rows);
}

int ExportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(design_.columns.size()) + 1;
}

std::string_view ExportGridModel::cellText(std::size_t row, std::size_t column) const {
    if (auto edited = changed_.find(key(row, column)); edited != changed_.end()) return edited->second;
    if (row >= cells_.rowCount()) return {};
    return cells_.cell(row, column);
}

QVariant ExportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (index.column() == 0) {
        // The empty grid of an empty archive numbers nothing.
        return cells_.rowCount() == 0 ? QVariant(QString()) : QVariant(QString::number(index.row() + 1));
    }
    return toQString(cellText(row, static_cast<std::size_t>(index.column() - 1)));
}

bool ExportGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    changed_[key(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column() - 1))] =
        toStd(value.toString());
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return {};
    if (section == 0) return QStringLiteral("N.");
    return toQString(design_.columns[static_cast<std::size_t>(section - 1)].screenHeader);
}

Qt::ItemFlags ExportGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0 && design_.columns[static_cast<std::size_t>(index.column() - 1)].editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

ExportScreen::ExportScreen(ScreenRegistry& registry, QWidget* owner, const ExportDesign& design,
                           std::function<std::filesystem::path()> archive)
    : QDialog(owner), registry_(registry), design_(design), archive_(std::move(archive)) {
    QVBoxLayout* screen = setUpDialog(this, toQString(design.name), toQString(design.caption));
    screen->setContentsMargins(12, 12, 12, 8);
    setWindowState(windowState() | Qt::WindowMaximized);
    resize(1180, 660);

    model_ = new ExportGridModel(design, this);
    grdRecords = new QTableView(this);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setModel(model_);
    grdRecords->setAlternatingRowColors(true);
    grdRecords->verticalHeader()->hide();
    grdRecords->verticalHeader()->setDefaultSectionSize(24);
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    grdRecords->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::AnyKeyPressed);
    grdRecords->setColumnWidth(0, 64);
    // The file's widths, a little narrower on screen.
    for (std::size_t c = 0; c < design.columns.size(); ++c)
        grdRecords->setColumnWidth(static_cast<int>(c) + 1, design.columns[c].width * 3 / 4);
    screen->addWidget(grdRecords, 1);

    cmdEsporta = new PictureButton(QStringLiteral("cmdEsporta"), QStringLiteral(":/tb_esporta.svg"), {40, 40}, this);
    cmdGuida = new PictureButton(QStringLiteral("cmdGuida"), QStringLiteral(":/icon_guida.svg"), {40, 40}, this);
    cmdEsci = new PictureButton(QStringLiteral("cmdEsci"), QStringLiteral(":/icon_esci.svg"), {40, 40}, this);
    screen->addLayout(statusRow(panInfo, {cmdEsporta, cmdGuida, cmdEsci}, this));
    // The pictures are the only way to act here: Tab (Ctrl+Tab out of the grid) reaches them.
    leaveOnCtrlTab(grdRecords);
    for (PictureButton* picture : {cmdEsporta, cmdGuida, cmdEsci}) picture->reachByKeyboard();
    panInfo->setText(QString::fromUtf8(kReady));

    hints_ = new HoverHints(panInfo, this);
    hints_->set(cmdEsporta, QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    hints_->set(cmdGuida, QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
    hints_->set(cmdEsci, QStringLiteral("Esci da questo ambiente di lavoro."));
    hints_->watchAll();

    connect(cmdEsporta, &PictureButton::clicked, this, &ExportScreen::cmdEsportaClick);
    connect(cmdEsci, &PictureButton::clicked, this, &QDialog::close);
    connect(cmdGuida, &PictureButton::clicked, this, [this] {
        constexpr HelpTopic kTopics[] = {HelpTopic::ProductExport, HelpTopic::GoodsInExport, HelpTopic::GoodsOutExport};
        showHelp(registry_, this, kTopics[static_cast<int>(design_.kind)]);
    });
}

std::filesystem::path ExportScreen::exportFile() const {
    return registry_.programFolder() / std::string(design_.fileName);
}

void ExportScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    const std::filesystem::path archive = archive_();
    // The rows read so far stay on screen, but a file made of them would pass for the whole archive.
    unreadArchive_.reset();
    if (!model_->load(archive)) {
        unreadArchive_ = archive;
        // Told once the screen is on display, over it.
        QTimer::singleShot(0, this, [this, archive] { MessageService::warning(this, archiveUnreadText(archive)); });
    }
}

void ExportScreen::cmdEsportaClick() {
    if (unreadArchive_) {
        MessageService::warning(this, notExportedText(*unreadArchive_));
        return;
    }
    if (!MessageService::question(this, kMsgExportQuestion)) return;
    grdRecords->setFocus();  // an edit still open in the grid goes into the file too
    const std::size_t rows = model_->exportRows();
    QProgressDialog progress(QStringLiteral("Esportazione delle schede in corso..."), QStringLiteral("Annulla"), 0,
                             static_cast<int>(rows), this);
    setUpProgress(progress, toQString(design_.caption));
    const ExportOutcome outcome = writeSpreadsheetFile(
        exportFile(), design_, rows,
        [this](std::size_t row, std::size_t column) { return model_->cellText(row, column); },
        [&progress](std::size_t written) {
            progress.setValue(static_cast<int>(written));
            return !progress.wasCanceled();
        });
    progress.reset();
    switch (outcome) {
        case ExportOutcome::Failed:
            MessageService::plain(this, kMsgExportFailed);
            return;
        case ExportOutcome::Cancelled:
            return;  // the previous file stays as it was
        case ExportOutcome::Written:
            break;
    }
    if (!MessageService::question(this, kMsgExported)) return;
    DesktopService::open(QLatin1Char('"') + QString::fromStdString(exportFile().string()) + QLatin1Char('"'));
}

TfrmExpMagazzino::TfrmExpMagazzino(ScreenRegistry& registry, QWidget* owner)
    : ExportScreen(registry, owner, exportDesign(ExportKind::Products),
                   [&registry] { return paths::productArchive(registry.programFolder()); }) {}

TfrmExpCarichi::TfrmExpCarichi(ScreenRegistry& registry, QWidget* owner, std::function<std::filesystem::path()> archive)
    : ExportScreen(registry, owner, exportDesign(ExportKind::GoodsIn), std::move(archive)) {}

TfrmExpScarichi::TfrmExpScarichi(ScreenRegistry& registry, QWidget* owner,
                                 std::function<std::filesystem::path()> archive)
    : ExportScreen(registry, owner, exportDesign(ExportKind::GoodsOut), std::move(archive)) {}

}  // namespace scortavia
