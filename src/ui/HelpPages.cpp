#include "ui/HelpPages.h"

#include <array>
#include <cstddef>

// The texts live in ui/help, one file a page. Every caption, message and file name quoted there in
// «» is the one the screen shows; when a screen changes, its page must change with it.
namespace scortavia {
namespace {

// The pages' texts, compiled in from ui/help/<topic>.txt: kOverviewText and so on.
#include "HelpTexts.inc"

// A page file holds one paragraph a line, a blank line between paragraphs, and ends with one line
// break; anything else (a wrapped line, CR LF endings) would change what the window shows.
constexpr bool wellFormed(std::string_view text) {
    if (text.size() < 2 || text.back() != '\n') return false;
    const std::string_view body = text.substr(0, text.size() - 1);
    if (body.front() == '\n' || body.back() == '\n' || body.find('\r') != std::string_view::npos) return false;
    for (std::size_t at = body.find('\n'); at != std::string_view::npos; at = body.find('\n', at + 2)) {
        if (body[at + 1] != '\n' || body[at + 2] == '\n') return false;
    }
    return true;
}

constexpr std::string_view kParagraphSeparator = "\n\n";

constexpr std::size_t paragraphCount(std::string_view text) {
    std::size_t count = 1;
    for (std::size_t at = text.find(kParagraphSeparator); at != std::string_view::npos;
         at = text.find(kParagraphSeparator, at + kParagraphSeparator.size())) {
        ++count;
    }
    return count;
}

template <std::size_t count>
consteval std::array<std::string_view, count> paragraphsOf(std::string_view text) {
    if (!wellFormed(text)) throw "a help page file must hold one paragraph a line with a blank line between";
    std::array<std::string_view, count> paragraphs;
    std::string_view rest = text.substr(0, text.size() - 1);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::size_t at = rest.find(kParagraphSeparator);
        paragraphs[i] = rest.substr(0, at);
        rest.remove_prefix(at + kParagraphSeparator.size());
    }
    paragraphs[count - 1] = rest;
    return paragraphs;
}

template <const std::string_view& text>
constexpr auto kParagraphs = paragraphsOf<paragraphCount(text)>(text);

// In the order of HelpTopic, which helpPage relies on.
constexpr HelpPage kPages[] = {
    {HelpTopic::Overview, "Uno sguardo a Scortavia", kParagraphs<kOverviewText>},
    {HelpTopic::Products, "App Magazzino Prodotti", kParagraphs<kProductsText>},
    {HelpTopic::GoodsIn, "App Operazioni di Carico", kParagraphs<kGoodsInText>},
    {HelpTopic::GoodsOut, "App Operazioni di Scarico", kParagraphs<kGoodsOutText>},
    {HelpTopic::GoodsInSummary, "App Riepilogo movimenti di carico merce", kParagraphs<kGoodsInSummaryText>},
    {HelpTopic::GoodsOutSummary, "App Riepilogo movimenti di scarico merce", kParagraphs<kGoodsOutSummaryText>},
    {HelpTopic::Inventory, "App Inventario Merce", kParagraphs<kInventoryText>},
    {HelpTopic::PriceListFiles, "Creazione e apertura dei listini prezzi", kParagraphs<kPriceListFilesText>},
    {HelpTopic::PriceListEditor, "App Gestione Listino Prezzi", kParagraphs<kPriceListEditorText>},
    {HelpTopic::ProductExport, "Esportazione magazzino prodotti in Excel", kParagraphs<kProductExportText>},
    {HelpTopic::GoodsInExport, "Esportazione archivio operazioni di carico in Excel", kParagraphs<kGoodsInExportText>},
    {HelpTopic::GoodsOutExport, "Esportazione archivio operazioni di scarico in Excel",
     kParagraphs<kGoodsOutExportText>},
    {HelpTopic::ProductImport, "Importazione dei prodotti da un foglio di calcolo", kParagraphs<kProductImportText>},
    {HelpTopic::Backups, "Copie di sicurezza dei dati", kParagraphs<kBackupsText>},
    {HelpTopic::Labels, "Stampa delle etichette", kParagraphs<kLabelsText>},
    {HelpTopic::Server, "Archivio sul server", kParagraphs<kServerText>},
};

constexpr bool pagesFollowTopics() {
    for (std::size_t i = 0; i < std::size(kPages); ++i) {
        if (kPages[i].topic != static_cast<HelpTopic>(i)) return false;
    }
    return true;
}
static_assert(pagesFollowTopics(), "kPages must list one page per topic, in the order of HelpTopic");
static_assert(std::size(kPages) == static_cast<std::size_t>(HelpTopic::Server) + 1);

constexpr std::string_view kParagraphBreak = "\r\n\r\n";

}  // namespace

std::span<const HelpPage> helpPages() { return kPages; }

const HelpPage& helpPage(HelpTopic topic) { return kPages[static_cast<std::size_t>(topic)]; }

std::string helpText(const HelpPage& page) {
    std::string text;
    for (std::size_t i = 0; i < page.paragraphs.size(); ++i) {
        if (i > 0) text += kParagraphBreak;
        text += page.paragraphs[i];
    }
    return text;
}

}  // namespace scortavia
