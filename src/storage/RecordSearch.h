#pragma once

#include <span>
#include <string>

#include "common/TextRules.h"
#include "storage/FixedRecord.h"
#include "storage/RecordFilter.h"

namespace scortavia {

// The rule of every search screen: one text per searched field, exactly as typed. A field counts as
// filled when its text, trimmed, is not empty; a record is listed when at least that many of its
// fields contain their text (A to Z folded, an empty text never matching), so with nothing filled
// every record is listed and otherwise every filled field must occur. The screens differ only in
// which record fields their boxes search.
template <class Layout>
class RecordSearch final {
public:
    using Field = typename Layout::Field;

    // Both spans must outlive the search and have the same length.
    RecordSearch(std::span<const Field> fields, std::span<const std::string> texts) : fields_(fields), texts_(texts) {
        for (const std::string& t : texts_) filled_ += trimBlanks(t).empty() ? 0 : 1;
    }

    int filled() const { return filled_; }

    // The search as conditions a server can apply before the records travel: every filled text in its
    // field. A text of blanks only is not filled yet may match where it occurs, so with one of them the
    // server is given no condition and every record is judged here.
    RecordFilter filter() const {
        RecordFilter conditions;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (texts_[i].empty()) continue;
            if (trimBlanks(texts_[i]).empty()) return {};
            conditions.push_back({RecordCondition::Kind::ContainsFoldedAZ, fields_[i], upperAZ(texts_[i])});
        }
        return conditions;
    }

    bool matches(const RecordView<Layout>& record) const {
        if (filled_ == 0) return true;
        int matching = 0;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (texts_[i].empty()) continue;
            value_.clear();
            record.appendText(fields_[i], value_);
            if (containsFoldedAZ(value_, texts_[i])) ++matching;
        }
        return matching >= filled_;
    }

private:
    std::span<const Field> fields_;
    std::span<const std::string> texts_;
    int filled_ = 0;
    mutable std::string value_;  // one buffer for every field of every record
};

}  // namespace scortavia
