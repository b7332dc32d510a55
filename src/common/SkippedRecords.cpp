#include "common/SkippedRecords.h"

namespace scortavia {

void SkippedRecords::add(std::int64_t position) {
    ++count;
    if (firstPositions.size() < kShownPositions) firstPositions.push_back(position);
}

std::string skippedRecordsWarning(const SkippedRecords& skipped, bool listHasTotal) {
    const bool one = skipped.count == 1;
    std::string positions;
    for (const std::int64_t position : skipped.firstPositions) {
        if (!positions.empty()) positions += ", ";
        positions += std::to_string(position);
    }
    if (skipped.count > skipped.firstPositions.size()) positions += ", …";
    std::string text = "Attenzione: " + std::to_string(skipped.count) +
                       (one ? " scheda non è stata inclusa perché contiene dati non leggibili (posizione in archivio: "
                            : " schede non sono state incluse perché contengono dati non leggibili (posizioni in "
                              "archivio: ") +
                       positions + ").";
    if (listHasTotal) text += "\n\r\n\rIl totale riguarda soltanto le voci elencate.";
    return text;
}

}  // namespace scortavia
