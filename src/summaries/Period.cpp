#include "summaries/Period.h"

#include "common/TextRules.h"

namespace scortavia {
namespace {

constexpr std::string_view kParagraph = "\n\r\n\r";

// The month's number in two digits, or the month text as it stands when it names no month.
std::string monthPart(std::string_view month) {
    const std::optional<int> number = monthOfName(month);
    if (!number) return std::string(month);
    return std::string(1, static_cast<char>('0' + *number / 10)) + static_cast<char>('0' + *number % 10);
}

std::string typedDateText(std::string_view day, std::string_view month, std::string_view year) {
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
    if (t.size() != 2 || !isAsciiDigit(t[0]) || !isAsciiDigit(t[1])) return false;
    const int day = (t[0] - '0') * 10 + (t[1] - '0');
    return day >= 1 && day <= 31;
}

std::optional<int> monthOfName(std::string_view text) {
    const std::string name = lowerAZ(trimBlanks(text));
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        if (name == lowerAZ(kMonthNames[i])) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
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
    check.start = typedDateText(startDay, startMonth, trimmedYear);
    const std::optional<CalendarDate> start = parseDate(check.start);
    if (!start) {
        return stopped(check, PeriodProblem::StartDate,
                       "Attenzione: la data " + check.start + " di inizio intervallo non esiste." +
                           std::string(kParagraph) +
                           "Per poter visualizzare il riepilogo è necessario indicare una data valida.");
    }
    check.end = typedDateText(endDay, endMonth, trimmedYear);
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
