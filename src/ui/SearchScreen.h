#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/ListScreen.h"

namespace scortavia {

// A search over an archive: first a panel of fields to fill, then the list of the records that
// contain what was typed. The product search, the movement searches and the price-list import are
// configurations of it: their fields and labels, and how the typed texts fill the list.
class SearchScreen : public ListScreen {
    Q_OBJECT
public:
    struct Field {
        const char* name;   // the edit box
        const char* label;  // the caption beside it
        const char* frame;  // its focus frame
    };
    // Fills `rows` with the records matching the texts, one per field, exactly as typed.
    using Search = std::function<Status(const std::vector<std::string>& texts, RowList& rows)>;

    QWidget* panAvvio;
    QPushButton* btnCerca;
    QPushButton* btnAnnulla;
    QLabel* lblAttendere;
    QLabel* lblConta;
    QLabel* lblMemory;
    QLabel* lblTrovate;

    void btnCercaClick();
    const std::vector<QLineEdit*>& fields() const { return fields_; }

protected:
    SearchScreen(QWidget* owner, const Design& design, std::span<const Field> fields, Search search);
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    std::vector<QLineEdit*> fields_;
    Search search_;
};

}  // namespace scortavia
