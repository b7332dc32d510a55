#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "common/ListRows.h"
#include "common/Result.h"
#include "storage/ArchiveScan.h"

class QEvent;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QVBoxLayout;

namespace scortavia {

class RecordTarget;
class ReportTemplate;
class RowListModel;

// What every list screen shares: the fixed-pitch list, the find box, printing the list, closing,
// and the double click that puts the chosen row's record where it belongs. A list screen is a
// configuration of this one: what fills it, which record a row stands for, and who receives it.
class ListScreen : public QDialog {
    Q_OBJECT
public:
    struct Design {
        const char* name;
        const char* caption;
        const char* printTitle;
        // Under the list; nullptr for a list whose rows open nothing.
        const char* rowHint = "Fare doppio clic sulla voce in elenco per richiamare la scheda";
        const char* printCaption = "Stampa";
        const char* closeName = "btnChiudi";
        const char* closeCaption = "Chiudi";
        // How to use the find box: a banner, or these two lines (lblRigo01, lblRigo02) when given.
        const char* findLine1 = nullptr;
        const char* findLine2 = nullptr;
        bool enterMovesToFind = true;  // Enter in txtTrova moves to btnTrova
        // Trova on an empty list: a plain message, or an information with OK and Cancel.
        bool emptyFindAsInformation = false;
        // Rows chosen together (Ctrl and Shift with the click) for a button that acts on them all.
        bool multipleRows = false;
        // A button of the screen's own before "Stampa" (btnAzione, named by the design); none when null.
        const char* actionName = nullptr;
        const char* actionCaption = nullptr;
    };
    // Fills the rows; a failure keeps the rows gathered so far.
    using Fill = std::function<Status(RowList& rows)>;
    // The record behind a row, when a record gives that row.
    using Find = std::function<Result<std::optional<FoundRecord>>(std::string_view row)>;
    // Who receives the record of a double-clicked row, asked at the time of the click; nullptr: nobody.
    using Target = std::function<RecordTarget*()>;

    ListScreen(QWidget* owner, const Design& design);
    ~ListScreen() override;

    QWidget* panContainer;  // the list with its find box and buttons
    QLineEdit* txtTrova;
    QPushButton* btnTrova;
    QListView* lstRecords;
    // The column headings over the list (lblColonna01...), when the screen shows them; not printed.
    QWidget* panIntestazioni = nullptr;
    QLabel* lblRigo01 = nullptr;
    QLabel* lblRigo02 = nullptr;
    QLabel* lblRigo03 = nullptr;
    QPushButton* btnAzione = nullptr;  // the design's own button, when it has one
    QPushButton* btnStampa;
    QPushButton* btnChiudi;  // named by the design: "btnChiudi", or "btnEsci" on the summaries

    RowListModel* model() const { return model_; }
    ReportTemplate& frxReport() { return *report_; }
    const std::string& findMemory() const { return findMemory_; }

    // The list is filled each time the screen is shown, and the find box is given the focus.
    void fillWhenShown(Fill fill) { fillWhenShown_ = std::move(fill); }
    // A double-clicked row hands its record to the target, then the screen closes. Without it a
    // double click does nothing.
    void openRowsIn(Find find, Target target);
    // Shows the headings of the rows' columns over the list, each where its column's values start, moving
    // sideways with the list; and opens the screen wide enough for whole rows where the screen allows.
    void showHeadings(const ListHeadings& headings);

    void btnTrovaClick();
    // Prints the rows under the design's title; a list with totals prints them too.
    virtual void btnStampaClick();
    void btnChiudiClick();
    void lstRecordsDblClick();
    // Enter on the selected row: what a double click on it does.
    virtual void lstRecordsEnter();

    // The row selected, or an empty optional.
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::size_t row);
    // Every row chosen, top to bottom; on a list of single choice the selected row alone.
    std::vector<std::size_t> selectedRows() const;

protected:
    void setRows(RowList rows);
    void resetFind();
    // The screen's own layout, holding panContainer; a screen with more panels adds them here.
    QVBoxLayout* screenLayout() const { return screenLayout_; }
    QVBoxLayout* containerLayout() const { return containerLayout_; }
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a row's text starts, in pixels from the left of an item.
    int textIndent() const;
    void placeHeadings();

    RowListModel* model_;
    std::unique_ptr<ReportTemplate> report_;
    QString printTitle_;
    bool emptyFindAsInformation_;
    std::string findMemory_;
    QVBoxLayout* screenLayout_;
    QVBoxLayout* containerLayout_;
    QVBoxLayout* listLayout_;         // the headings and the list, with nothing between them
    QWidget* headingView_ = nullptr;  // the part of the strip over the list's viewport
    QWidget* headingRow_ = nullptr;   // the headings at their columns, moved sideways with the list
    Fill fillWhenShown_;
    Find find_;
    Target target_;
};

}  // namespace scortavia
