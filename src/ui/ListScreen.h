#pragma once

#include <QDialog>
#include <memory>

#include "common/ListRows.h"

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QVBoxLayout;

namespace scortavia {

class ReportTemplate;
class RowListModel;
class ScreenRegistry;

// What every list screen shares: the fixed-pitch list, the find box, the double click that puts
// the chosen row's card on its screen, printing the list, closing.
class ListScreen : public QDialog {
    Q_OBJECT
public:
    ListScreen(ScreenRegistry& registry, QWidget* owner, const QString& name, const QString& caption,
               const QString& printTitle);
    ~ListScreen() override;

    QWidget* panContainer;  // the list with its find box and buttons
    QLineEdit* txtTrova;
    QPushButton* btnTrova;
    QListView* lstRecords;
    QLabel* lblRigo03;
    QPushButton* btnStampa;
    QPushButton* btnChiudi;

    RowListModel* model() const { return model_; }
    ReportTemplate& frxReport() { return *report_; }
    const std::string& findMemory() const { return findMemory_; }

    void btnTrovaClick();
    void btnStampaClick();
    void btnChiudiClick();

    // The row selected, or an empty optional.
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::size_t row);

protected:
    void setRows(RowList rows);
    void resetFind();
    // The double click: put the selected row's record where it belongs. The screen closes after it.
    virtual void lstRecordsDblClick() = 0;
    ScreenRegistry& registry() const { return registry_; }
    QVBoxLayout* containerLayout() const { return containerLayout_; }
    void done(int result) override;

private:
    ScreenRegistry& registry_;
    RowListModel* model_;
    std::unique_ptr<ReportTemplate> report_;
    QString printTitle_;
    std::string findMemory_;
    QVBoxLayout* containerLayout_;
};

}  // namespace scortavia
