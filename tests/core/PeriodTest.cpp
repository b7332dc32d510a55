#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "summaries/Period.h"

namespace scortavia {
namespace {

const std::string kValidDate = "Per poter visualizzare il riepilogo è necessario indicare una data valida.";
const std::string kValidPeriod =
    "Per poter visualizzare il riepilogo è necessario indicare un intervallo di tempo valido.";

struct PeriodCase {
    const char* name;
    const char* year;
    const char* startDay;
    const char* startMonth;
    const char* endDay;
    const char* endMonth;
    PeriodProblem problem;
    std::string start;  // the dates built so far
    std::string end;
    std::string message;
};

void PrintTo(const PeriodCase& c, std::ostream* os) { *os << c.name; }

class PeriodChecks : public testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodChecks, StopAtTheFirstProblemWithItsMessage) {
    const PeriodCase& c = GetParam();
    const PeriodCheck check = checkPeriod(c.year, c.startDay, c.startMonth, c.endDay, c.endMonth);
    EXPECT_EQ(check.problem, c.problem);
    EXPECT_EQ(check.start, c.start);
    EXPECT_EQ(check.end, c.end);
    EXPECT_EQ(check.message, c.message);
}

using enum PeriodProblem;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Table, PeriodChecks,
    testing::Values(
        PeriodCase{"ThreeDigitYear", "202", "01", "Marzo", "31", "Marzo", Year, "", "",
                   "Attenzione: indicare l'anno solare utilizzando quattro cifre."},
        PeriodCase{"YearLengthCountsBlanks", " 2024", "01", "Marzo", "31", "Marzo", Year, "", "",
                   "Attenzione: indicare l'anno solare utilizzando quattro cifre."},
        PeriodCase{"YearComesBeforeTheBoxes", "", "", "", "", "", Year, "", "",
                   "Attenzione: indicare l'anno solare utilizzando quattro cifre."},
        PeriodCase{"StartDayEmpty", "2024", "", "", "", "", StartDay, "", "",
                   "Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a cascata."},
        PeriodCase{"StartDayBlank", "2024", "  ", "Marzo", "31", "Marzo", StartDay, "", "",
                   "Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a cascata."},
        PeriodCase{"StartMonthEmpty", "2024", "01", " ", "", "", StartMonth, "", "",
                   "Attenzione: indicare il mese di inizio intervallo selezionandolo dall'elenco a cascata."},
        PeriodCase{"EndDayEmpty", "2024", "01", "Marzo", "", "", EndDay, "", "",
                   "Attenzione: indicare il giorno di fine intervallo selezionandolo dall'elenco a cascata."},
        PeriodCase{"EndMonthEmpty", "2024", "01", "Marzo", "31", "", EndMonth, "", "",
                   "Attenzione: indicare il mese di fine intervallo selezionandolo dall'elenco a cascata."},
        PeriodCase{"StartDateThatDoesNotExist", "2024", "31", "Febbraio", "31", "Marzo", StartDate, "31/02/2024", "",
                   "Attenzione: la data 31/02/2024 di inizio intervallo non esiste.\n\r\n\r" + kValidDate},
        PeriodCase{"TwentyNinthOfFebruaryInALeapYear", "2024", "29", "Febbraio", "29", "Febbraio", None,
                   "29/02/2024", "29/02/2024", ""},
        PeriodCase{"TwentyNinthOfFebruaryOtherwise", "2023", "01", "Febbraio", "29", "Febbraio", EndDate,
                   "01/02/2023", "29/02/2023",
                   "Attenzione: la data 29/02/2023 di fine intervallo non esiste.\n\r\n\r" + kValidDate},
        PeriodCase{"EndBeforeStartNamesTheEndFirst", "2024", "15", "Marzo", "01", "Marzo", EndBeforeStart,
                   "15/03/2024", "01/03/2024",
                   "Attenzione: la data di fine intervallo (01/03/2024) non può essere anteriore a quella di inizio "
                   "intervallo (15/03/2024).\n\r\n\r" + kValidPeriod},
        PeriodCase{"LaterMonthEarlierDay", "2024", "31", "Gennaio", "01", "Febbraio", None, "31/01/2024",
                   "01/02/2024", ""},
        PeriodCase{"OneDayPeriod", "2024", "07", "Marzo", "07", "Marzo", None, "07/03/2024", "07/03/2024", ""},
        PeriodCase{"MonthsTypedInAnyCaseWithBlanks", "2024", " 01 ", "marzo", "31", " Marzo ", None, "01/03/2024",
                   "31/03/2024", ""},
        // The dates use the year trimmed; a short one makes no date.
        PeriodCase{"YearTrimmedInTheDates", "024 ", "01", "Marzo", "31", "Marzo", StartDate, "01/03/024", "",
                   "Attenzione: la data 01/03/024 di inizio intervallo non esiste.\n\r\n\r" + kValidDate},
        PeriodCase{"MonthThatIsNoMonthStaysAsTyped", "2024", "01", "Marzo", "31", "Marzio", EndDate, "01/03/2024",
                   "31/Marzio/2024",
                   "Attenzione: la data 31/Marzio/2024 di fine intervallo non esiste.\n\r\n\r" + kValidDate}),
    [](const testing::TestParamInfo<PeriodCase>& c) { return c.param.name; });
// clang-format on

TEST(PeriodChoices, DayChoicesAreTheTwoDigitDaysOfTheList) {
    for (const char* day : {"01", "09", "10", "31", " 07 "}) EXPECT_TRUE(isDayChoice(day)) << day;
    for (const char* day : {"1", "00", "32", "99", "ab", "", "001", "0 1"}) EXPECT_FALSE(isDayChoice(day)) << day;
}

TEST(PeriodChoices, MonthsByNameWithAToZFolded) {
    EXPECT_EQ(monthOfName("Gennaio"), 1);
    EXPECT_EQ(monthOfName("marzo"), 3);
    EXPECT_EQ(monthOfName(" Marzo "), 3);
    EXPECT_EQ(monthOfName("DICEMBRE"), 12);
    for (const char* text : {"", "Mar", "Marzo.", "Mar zo", "03"}) EXPECT_EQ(monthOfName(text), std::nullopt) << text;
}

}  // namespace
}  // namespace scortavia
