#pragma once

#include <QString>
#include <filesystem>

#include "ui/HandOver.h"

namespace scortavia {

// A screen that works on the year archive chosen in a year menu: a movement card or a summary's period.
class YearArchiveReceiver {
public:
    virtual ~YearArchiveReceiver() = default;
    // From now on the screen works on `archive` (not touched here), under the title `caption`.
    virtual void openYear(const std::filesystem::path& archive, const QString& caption) = 0;
};

// A summary's period screen, given the year typed in the year menu's summary row.
class SummaryYearReceiver {
public:
    virtual ~SummaryYearReceiver() = default;
    virtual void openSummaryYear(const QString& year) = 0;
};

// clang-format off
template <> struct HandOverReceiver<HandOver::YearArchive> { using type = YearArchiveReceiver; };
template <> struct HandOverReceiver<HandOver::SummaryYear> { using type = SummaryYearReceiver; };
// clang-format on

}  // namespace scortavia
