#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "common/CalendarDate.h"

// The period of a movement summary: days and month names chosen from lists, a year typed, the dates built
// from them and checked on the program's calendar (common/CalendarDate), never the locale's.
namespace scortavia {

inline constexpr std::array<std::string_view, 12> kMonthNames = {"Gennaio",   "Febbraio", "Marzo",    "Aprile",
                                                                 "Maggio",    "Giugno",   "Luglio",   "Agosto",
                                                                 "Settembre", "Ottobre",  "Novembre", "Dicembre"};

// True when `text`, trimmed, is exactly one of "01" to "31".
bool isDayChoice(std::string_view text);
// 1 to 12 for a month's name, recognised with A to Z lower-cased and blanks trimmed ("marzo", " Marzo ").
std::optional<int> monthOfName(std::string_view text);

// What "Visualizza riepilogo" finds wrong, in the order it checks.
enum class PeriodProblem {
    None,
    Year,      // the year text, not trimmed, is not exactly 4 characters
    StartDay,  // the boxes, trimmed, in this order: empty
    StartMonth,
    EndDay,
    EndMonth,
    StartDate,       // the start date is not a real date
    EndDate,         // the end date is not a real date
    EndBeforeStart,  // a one-day period is fine
};

struct PeriodCheck {
    PeriodProblem problem = PeriodProblem::None;
    // The dates built so far, "dd/mm/yyyy": the trimmed day, "/", the month's number in two digits (the
    // month text as it stands when it names no month), "/", the trimmed year. Empty when not reached.
    std::string start;
    std::string end;
    // The words the user is shown for the problem (empty for None).
    std::string message;
};

// The checks of "Visualizza riepilogo", in order; the first problem stops them.
PeriodCheck checkPeriod(std::string_view year, std::string_view startDay, std::string_view startMonth,
                        std::string_view endDay, std::string_view endMonth);

}  // namespace scortavia
