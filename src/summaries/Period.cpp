#include "summaries/Period.h"

#include "common/TextRules.h"

namespace scortavia {
namespace {

constexpr std::string_view kParagraph = "\n\r\n\r";

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

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// The month's number in two digits, or the month text as it stands when it names no month.
std::string monthPart(std::string_view month) {
    const std::optional<int> number = monthOfName(month);
    if (!number) return std::string(month);
    return std::string(1, static_cast<char>('0' + *number / 10)) + static_cast<char>('0' + *number % 10);
}

std::string dateText(std::string_view day, std::string_view month, std::string_view year) {
    return std::string(trimBlanks(day)) + "/" + monthPart(month) + "/" + std::string(year);
}

PeriodCheck stopped(PeriodCheck check, PeriodProblem problem, std::string message) {
    check.problem = problem;
    check.message = std::move(message);
    return check;
}

}  // namespace

bool isDayChoice(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    const int day = t.size() == 2 ? numberOf(t, 2) : -1;
    return day >= 1 && day <= 31;
}

std::optional<int> monthOfName(std::string_view text) {
    const std::string name = lowerAZ(trimBlanks(text));
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (name == lowerAZ(kMonthNames[i])) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
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
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    return CalendarDate{year, month, day};
}

PeriodCheck checkPeriod(std::string_view year, std::string_view startDay, std::string_view startMonth,
                        std::string_view endDay, std::string_view endMonth) {
    PeriodCheck check;
    // Four characters as typed: the box takes digits only, so blanks can only come from elsewhere.
    if (year.size() != 4) {
        return stopped(check, PeriodProblem::Year, "Attenzione: indicare l'anno solare utilizzando quattro cifre.");
    }
    struct Box {
        std::string_view text;
        PeriodProblem problem;
        const char* message;
    };
    const Box boxes[] = {
        {startDay, PeriodProblem::StartDay,
         "Attenzione: indicare il giorno di inizio intervallo selezionandolo dall'elenco a cascata."},
        {startMonth, PeriodProblem::StartMonth,
         "Attenzione: indicare il mese di inizio intervallo selezionandolo dall'elenco a cascata."},
        {endDay, PeriodProblem::EndDay,
         "Attenzione: indicare il giorno di fine intervallo selezionandolo dall'elenco a cascata."},
        {endMonth, PeriodProblem::EndMonth,
         "Attenzione: indicare il mese di fine intervallo selezionandolo dall'elenco a cascata."},
    };
    for (const Box& box : boxes) {
        if (trimBlanks(box.text).empty()) return stopped(check, box.problem, box.message);
    }

    const std::string_view trimmedYear = trimBlanks(year);
    check.start = dateText(startDay, startMonth, trimmedYear);
    const std::optional<CalendarDate> start = parseDate(check.start);
    if (!start) {
        return stopped(check, PeriodProblem::StartDate,
                       "Attenzione: la data " + check.start + " di inizio intervallo non esiste." +
                           std::string(kParagraph) +
                           "Per poter visualizzare il riepilogo è necessario indicare una data valida.");
    }
    check.end = dateText(endDay, endMonth, trimmedYear);
    const std::optional<CalendarDate> end = parseDate(check.end);
    if (!end) {
        return stopped(check, PeriodProblem::EndDate,
                       "Attenzione: la data " + check.end + " di fine intervallo non esiste." +
                           std::string(kParagraph) +
                           "Per poter visualizzare il riepilogo è necessario indicare una data valida.");
    }
    if (*end < *start) {
        return stopped(check, PeriodProblem::EndBeforeStart,
                       "Attenzione: la data di fine intervallo (" + check.end +
                           ") non può essere anteriore a quella di inizio intervallo (" + check.start + ")." +
                           std::string(kParagraph) +
                           "Per poter visualizzare il riepilogo è necessario indicare un intervallo di tempo valido.");
    }
    return check;
}

}  // namespace scortavia
