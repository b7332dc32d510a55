#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace scortavia {

// A condition a list puts on the records it shows, in a form an engine can hand to a database server so
// that only the records that may meet it travel. The list still judges every record it is handed: an
// engine may hand more records than meet the conditions (the program folder's files hand them all),
// never fewer. Fields are numbered as in the record's layout.
struct RecordCondition {
    enum class Kind {
        // The field's text, a to z made A to Z, contains `text` (given with a to z made A to Z already).
        ContainsFoldedAZ,
        // The field's text contains `text` as it is.
        Contains,
        // The field is at most the field `other`, when both are plain decimal-comma numbers (up to nine
        // whole and six decimal digits); a record where either is anything else passes, for the list to
        // judge (and count when it cannot).
        NumberAtMost,
    };
    Kind kind;
    std::size_t field;
    std::string text;
    std::size_t other = 0;
};

// All of them must hold; none: every record.
using RecordFilter = std::vector<RecordCondition>;

}  // namespace scortavia
