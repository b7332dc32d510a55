#include "common/CalendarDate.h"

#include <cstdio>

#include "common/TextRules.h"

namespace scortavia {
namespace {

// The digits of `text` as a number; -1 when it is empty, longer than `most` or holds anything else.
int numberOf(std::string_view text, std::size_t most) {
    if (text.empty() || text.size() > most) return -1;
    int value = 0;
    for (char c : text) {
        if (!isAsciiDigit(c)) return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

std::optional<CalendarDate> CalendarDate::of(int year, int month, int day) {
    // The standard types hold a month and a day in a byte: larger numbers are refused before they wrap.
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const CalendarDate date(year, month, day);
    if (!date.ymd().ok()) return std::nullopt;
    return date;
}

std::optional<CalendarDate> parseDate(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    const std::size_t first = t.find('/');
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t second = t.find('/', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const int day = numberOf(t.substr(0, first), 2);
    const int month = numberOf(t.substr(first + 1, second - first - 1), 2);
    const std::string_view yearText = t.substr(second + 1);
    // Dates are stored and built with four-digit years; a short one would need a century guessed.
    const int year = yearText.size() == 4 ? numberOf(yearText, 4) : -1;
    return CalendarDate::of(year, month, day);
}

std::string dateText(const CalendarDate& date) {
    char out[40];
    std::snprintf(out, sizeof out, "%02d/%02d/%04d", date.day(), date.month(), date.year());
    return out;
}

}  // namespace scortavia
