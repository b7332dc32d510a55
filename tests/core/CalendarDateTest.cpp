#include <gtest/gtest.h>

#include <array>
#include <optional>

#include "common/CalendarDate.h"

namespace scortavia {
namespace {

struct DateCase {
    const char* text;
    std::optional<CalendarDate> date;
};

class DateReading : public testing::TestWithParam<DateCase> {};

TEST_P(DateReading, ReadsOnlyRealCalendarDates) {
    EXPECT_EQ(parseDate(GetParam().text), GetParam().date) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, DateReading,
                         testing::Values(DateCase{"07/03/2024", CalendarDate{2024, 3, 7}},
                                         DateCase{"7/3/2024", CalendarDate{2024, 3, 7}},
                                         DateCase{" 31/12/2024 ", CalendarDate{2024, 12, 31}},
                                         DateCase{"29/02/2024", CalendarDate{2024, 2, 29}},
                                         DateCase{"29/02/2000", CalendarDate{2000, 2, 29}},
                                         DateCase{"29/02/2023", std::nullopt}, DateCase{"29/02/1900", std::nullopt},
                                         DateCase{"31/02/2024", std::nullopt}, DateCase{"31/04/2024", std::nullopt},
                                         DateCase{"00/01/2024", std::nullopt}, DateCase{"01/00/2024", std::nullopt},
                                         DateCase{"01/13/2024", std::nullopt}, DateCase{"01/01/0000", std::nullopt},
                                         DateCase{"01/01/24", std::nullopt}, DateCase{"001/01/2024", std::nullopt},
                                         DateCase{"07 /03/2024", std::nullopt}, DateCase{"+7/03/2024", std::nullopt},
                                         DateCase{"aa/03/2024", std::nullopt}, DateCase{"07/03", std::nullopt},
                                         DateCase{"07/03/2024/1", std::nullopt}, DateCase{"07-03-2024", std::nullopt},
                                         DateCase{"", std::nullopt}));

// The rule the program's dates followed before they were put on the standard calendar, written out.
bool handWrittenRule(int year, int month, int day) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || year < 1) return false;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

TEST(CalendarDates, AgreeWithTheHandWrittenRuleOnEveryDayFrom1600To2400) {
    for (int year = 1600; year <= 2400; ++year) {
        for (int month = 0; month <= 13; ++month) {
            for (int day = 0; day <= 32; ++day) {
                const std::optional<CalendarDate> date = CalendarDate::of(year, month, day);
                ASSERT_EQ(date.has_value(), handWrittenRule(year, month, day)) << day << '/' << month << '/' << year;
                if (date) {
                    ASSERT_EQ(parseDate(dateText(*date)), date) << dateText(*date);
                }
            }
        }
    }
}

// Numbers too large for the standard types' bytes are no dates rather than wrapped ones (a day 257 is no 1st).
TEST(CalendarDates, RefuseWhatTheStandardTypesCannotHold) {
    for (const auto& [year, month, day] : {std::array{2024, 1, 257}, std::array{2024, 257, 1}, std::array{0, 1, 1},
                                           std::array{10000, 1, 1}, std::array{2024, -1, 1}, std::array{-2024, 1, 1}}) {
        EXPECT_EQ(CalendarDate::of(year, month, day), std::nullopt) << day << '/' << month << '/' << year;
    }
    EXPECT_EQ(dateText(*CalendarDate::of(9, 3, 7)), "07/03/0009");
    EXPECT_LT(*CalendarDate::of(2024, 2, 29), *CalendarDate::of(2024, 3, 1));
    EXPECT_LT(*CalendarDate::of(2023, 12, 31), *CalendarDate::of(2024, 1, 1));
}

}  // namespace
}  // namespace scortavia
