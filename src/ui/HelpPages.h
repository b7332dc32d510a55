#pragma once

#include <span>
#include <string>
#include <string_view>

// The pages of the program's help: the help window of every work area shows one, and the PDF guide
// is made from all of them. Their texts are the files of ui/help, one a page, compiled in.
namespace scortavia {

enum class HelpTopic {
    Overview,         // main menu
    Products,         // product card
    GoodsIn,          // goods-in year menu and card
    GoodsOut,         // goods-out year menu and card
    GoodsInSummary,   // goods-in summary list
    GoodsOutSummary,  // goods-out summary list
    Inventory,        // inventory prompt and list
    PriceListFiles,   // price-list creation and opening screens
    PriceListEditor,  // price-list page editor
    ProductExport,    // product export
    GoodsInExport,    // goods-in export
    GoodsOutExport,   // goods-out export
    ProductImport,    // products from a spreadsheet file
    Backups,          // backups of the shop's data
    Labels,           // label printing
    Server,           // archives on a database server
};

struct HelpPage {
    HelpTopic topic;
    std::string_view title;                        // as shown in the window's title line
    std::span<const std::string_view> paragraphs;  // plain Italian prose, UTF-8, no line breaks inside
};

// Every page, in the order of the topics (the order of the PDF guide).
std::span<const HelpPage> helpPages();
const HelpPage& helpPage(HelpTopic topic);

// The text the window shows: the paragraphs joined with a blank line (CR LF CR LF).
std::string helpText(const HelpPage& page);

}  // namespace scortavia
