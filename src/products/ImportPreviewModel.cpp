#include "products/ImportPreviewModel.h"

#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include "common/TextRules.h"
#include "ui/Palette.h"
#include "ui/QtText.h"

namespace scortavia {
namespace {

using P = ProductLayout;

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

ImportPreviewModel::ImportPreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void ImportPreviewModel::open(std::unique_ptr<ImportSession> session) {
    beginResetModel();
    session_.reset();
    session_ = std::move(session);
    chooseRows();
    endResetModel();
}

bool ImportPreviewModel::readWith(ImportOptions options) {
    if (!session_) return false;
    beginResetModel();
    session_->options = std::move(options);
    if (!session_->rebuildPreview()) session_.reset();
    chooseRows();
    endResetModel();
    return session_ != nullptr;
}

void ImportPreviewModel::showRows(ArchiveDuplicates choice, bool onlyProblems) {
    beginResetModel();
    choice_ = choice;
    onlyProblems_ = onlyProblems;
    chooseRows();
    endResetModel();
}

void ImportPreviewModel::chooseRows() {
    const ImportPreview* shownPreview = preview();
    filtered_ = onlyProblems_ && shownPreview != nullptr;
    shown_.clear();
    if (!filtered_) return;
    for (std::size_t row = 0; row < shownPreview->rowCount(); ++row) {
        if (shownPreview->status(row) != RowStatus::Ready) shown_.push_back(static_cast<std::uint32_t>(row));
    }
}

const ImportPreview* ImportPreviewModel::preview() const {
    return session_ && session_->preview ? &*session_->preview : nullptr;
}

std::size_t ImportPreviewModel::previewRow(int row) const {
    return filtered_ ? shown_[static_cast<std::size_t>(row)] : static_cast<std::size_t>(row);
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || preview() == nullptr) return 0;
    return static_cast<int>(filtered_ ? shown_.size() : preview()->rowCount());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return kFixedColumns + (session_ ? static_cast<int>(session_->options.mapping.size()) : 0);
}

QString ImportPreviewModel::reasons(std::size_t row, std::optional<ProductLayout::Field> only) const {
    QStringList lines;
    for (const RowProblem& problem : preview()->problems(row)) {
        if (only && problem.field != *only) continue;
        lines << toQString(problemText(problem, *preview(), row, choice_));
    }
    return lines.join(QLatin1Char('\n'));
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const {
    const ImportPreview* current = preview();
    if (!index.isValid() || current == nullptr) return {};
    const ImportOptions& options = session_->options;
    const std::size_t row = previewRow(index.row());
    const int column = index.column();
    const RowStatus status = current->status(row);
    const bool left = current->outcome(row, choice_) == RowOutcome::Excluded;
    std::optional<P::Field> field;
    std::size_t fileColumn = 0;
    if (column >= kFixedColumns) {
        fileColumn = static_cast<std::size_t>(column - kFixedColumns);
        field = options.mapping[fileColumn];
    }
    const bool flagged = field && current->flagged(row, *field);

    switch (role) {
        case Qt::DisplayRole:
            if (column == kRiga) return QString::number(current->sheetRow(row));
            if (column == kEsito) {
                if (left) return QStringLiteral("Esclusa");
                constexpr const char* kStatus[] = {"Pronta", "Avviso", "Rifiutata"};
                return QString::fromUtf8(kStatus[static_cast<int>(status)]);
            }
            if (column == kMotivo) {
                const auto problems = current->problems(row);
                if (problems.empty()) return {};
                QString first = toQString(problemText(problems.front(), *current, row, choice_));
                if (problems.size() > 1) first += QStringLiteral("  (+%1)").arg(problems.size() - 1);
                return first;
            }
            if (field) return toQString(current->text(row, *field));
            return toQString(session_->table.cell(row + (options.headerRow ? 1 : 0), fileColumn));
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
    if (!session_ || !session_->options.headerRow) return QStringLiteral("Colonna ") + letters;
    const QString header = toQString(trimBlanks(session_->table.cell(0, column)));
    return header.isEmpty() ? QStringLiteral("Colonna ") + letters : letters + QStringLiteral(": ") + header;
}

}  // namespace scortavia
