#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/CalendarDate.h"
#include "common/Result.h"
#include "storage/ProductRecord.h"

// What goes on the labels of a run: one entry per label, read from the product archive.
namespace scortavia {

// What a label shows; each part is the user's choice.
struct LabelParts {
    bool name = true;
    bool price = true;
    bool barcode = true;  // the bars with their digits under them
    bool code = false;
    bool category = false;
};

struct LabelProduct {
    std::string code;
    std::string name;
    std::string price;  // as printed: "€ 12,50"
    std::string category;
};

// The price as a label prints it: the euro sign, a space and the money text of the card ("€ 12,50").
std::string labelPriceText(std::string_view priceField);

LabelProduct labelProduct(const ProductView& product);

// A product code of a goods-in day and how many labels it gets.
struct LabelPieces {
    std::string code;
    int count = 0;
};

// The pieces of one quantity field: a whole positive number is that many pieces. A quantity that is not
// whole (kilos, metres) gets a single label, since it counts no pieces; an empty, unreadable, zero or
// negative quantity gets none.
int labelPiecesOf(std::string_view quantity);

// The goods-in movements of `day` in a year archive, in archive order, each with its pieces; movements that
// get no label are left out. A date written short ("7/3/2024") is the same day. An archive that is missing
// gives no movements.
Result<std::vector<LabelPieces>> goodsInLabelPieces(const std::filesystem::path& archive, const CalendarDate& day);

// The labels of `pieces`, each product repeated as many times as its pieces, read from the product archive
// by exact code. A code the archive no longer holds still gets its labels, with the code alone.
Result<std::vector<LabelProduct>> labelsForPieces(const std::filesystem::path& productArchive,
                                                  const std::vector<LabelPieces>& pieces);

// The labels of the goods-in of `day`: goodsInLabelPieces, then labelsForPieces.
Result<std::vector<LabelProduct>> goodsInDayLabels(const std::filesystem::path& goodsInArchive,
                                                   const std::filesystem::path& productArchive,
                                                   const CalendarDate& day);

}  // namespace scortavia
