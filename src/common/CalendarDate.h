#pragma once

#include <chrono>
#include <compare>
#include <optional>
#include <string>
#include <string_view>

// Calendar dates on the standard library's calendar (std::chrono::year_month_day, proleptic Gregorian),
// so one rule decides leap years and month lengths wherever the program reads a date. Dates are written
// "dd/mm/yyyy", fixed in code, never taken from the locale.
namespace scortavia {

class CalendarDate final {
public:
    constexpr CalendarDate() = default;
    // Unchecked; `of` gives only real dates.
    constexpr CalendarDate(int year, int month, int day)
        : date_(std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                std::chrono::day{static_cast<unsigned>(day)}) {}

    // The date when it is a real one of the years 1 to 9999 (29/02 only in leap years), nothing otherwise.
    static std::optional<CalendarDate> of(int year, int month, int day);

    constexpr std::chrono::year_month_day ymd() const { return date_; }
    constexpr int year() const { return static_cast<int>(date_.year()); }
    constexpr int month() const { return static_cast<int>(static_cast<unsigned>(date_.month())); }
    constexpr int day() const { return static_cast<int>(static_cast<unsigned>(date_.day())); }

    constexpr auto operator<=>(const CalendarDate&) const = default;

private:
    std::chrono::year_month_day date_{std::chrono::year{0}, std::chrono::month{0}, std::chrono::day{0}};
};

// A real calendar date written day/month/year ("07/03/2024", also "7/3/2024"), leap years included;
// anything else (31/02, 29/02/2023, letters, a missing part, blanks inside, a year not of four digits)
// is not a date.
std::optional<CalendarDate> parseDate(std::string_view text);

// The date as the program writes it: "07/03/2024".
std::string dateText(const CalendarDate& date);

}  // namespace scortavia
