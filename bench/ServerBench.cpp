// The archives on a PostgreSQL server (a throwaway cluster on this machine, reached on its Unix socket)
// against the program folder's files, in the same run: the lists and the card actions on 100,000
// products and a 100,000-movement year, the filtered lists on 1,000,000 products, and the transfer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchArchive.h"
#include "common/ListRows.h"
#include "movements/MovementDirection.h"
#include "movements/MovementLists.h"
#include "movements/StockPicker.h"
#include "products/ProductLists.h"
#include "server/ServerEngine.h"
#include "shopserver/ShopTransfer.h"
#include "storage/ArchiveEngine.h"
#include "storage/CardProtocol.h"
#include "storage/MovementRecord.h"
#include "storage/ProductRecord.h"
#include "summaries/Summaries.h"

namespace fs = std::filesystem;
using namespace scortavia;
using namespace scortavia::bench;

namespace {

constexpr int kProducts = 100000;
constexpr int kMillion = 1000000;

const fs::path& clusterFolder() {
    static const fs::path folder = fs::path("/tmp") / ("scortavia-bench-pg-" + std::to_string(getpid()));
    return folder;
}

void stopCluster() {
    const std::string command = std::string(SCORTAVIA_PG_CLUSTER) + " stop " + clusterFolder().string();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not stop the cluster\n");
}

ServerAddress server() { return {clusterFolder().string(), "", "postgres", "postgres", ""}; }

// The folder of the program working on the server, and the one working on its files: 100,000 products
// and a year of 100,000 goods-in (hard links to the benchmark's archives), moved onto the server once.
struct Shops {
    fs::path folder = benchFolder() / "cartella";
    fs::path onServer = benchFolder() / "server";
    double transferSeconds = 0;
};

const Shops& shops() {
    static const Shops made = [] {
        Shops s;
        const std::string start = std::string(SCORTAVIA_PG_CLUSTER) + " start " + clusterFolder().string();
        if (std::system(start.c_str()) != 0) std::abort();
        std::atexit(stopCluster);
        fs::create_directories(s.folder);
        fs::create_directories(s.onServer);
        fs::create_hard_link(archiveOf(kProducts), s.folder / "Magazzino.pro");
        fs::create_hard_link(movementArchiveOf(kProducts), s.folder / "2024.odc");
        const ServerShop shop{server(), "negozio"};
        s.transferSeconds = seconds([&] {
            if (!transferToServer(s.folder, shop)) std::abort();
        });
        auto engine = ServerEngine::connect(shop);
        if (!engine) std::abort();
        useArchiveEngine(s.onServer, *engine);
        return s;
    }();
    return made;
}

// A million products made on the server itself: twenty of them under stock, twenty unpaid, twenty with
// "Cerniera" in their name; the program folder's files hold none of them.
const fs::path& millionOnServer() {
    static const fs::path folder = [] {
        shops();
        auto connection = PgConnection::open(server());
        if (!connection || !createShopSchema(*connection, "milione")) std::abort();
        const std::string sql =
            "INSERT INTO milione.products (pos, codice, costo, nome, giacenza, avviso, um, tipologia, pagato) "
            "SELECT g, 'ART-' || g, '1,00', CASE WHEN g % 50000 = 7 THEN 'Cerniera ' ELSE 'Vite ' END || g, "
            "CASE WHEN g % 50000 = 11 THEN '1' ELSE (100 + g % 50)::text END, '10', 'Pezzo', 'Ferramenta', "
            "CASE WHEN g % 50000 = 13 THEN 'No' ELSE 'Sì' END FROM generate_series(1, 1000000) g; "
            "INSERT INTO milione.archives VALUES ('Magazzino.pro', 1000000); ANALYZE milione.products;";
        if (!connection->runScript(sql)) std::abort();
        fs::path f = benchFolder() / "milione";
        fs::create_directories(f);
        auto engine = ServerEngine::connect({server(), "milione"});
        if (!engine) std::abort();
        useArchiveEngine(f, *engine);
        return f;
    }();
    return folder;
}

enum List { AllProducts, OneField, UnderStock, Unpaid, OpenAccounts, MovementSearch, InventoryList, Summary, Picker };

Status fill(const fs::path& folder, List list, RowList& rows) {
    SearchTexts texts;
    MovementSearchTexts movementTexts;
    switch (list) {
        case AllProducts:
            return fillSearchList(folder / "Magazzino.pro", texts, rows);
        case OneField:
            texts[2] = "cerniera";  // Nome: twenty products of the million, none of the hundred thousand
            return fillSearchList(folder / "Magazzino.pro", texts, rows);
        case UnderStock:
            return fillUnderStockList(folder / "Magazzino.pro", rows);
        case Unpaid:
            return fillUnpaidList(folder / "Magazzino.pro", rows);
        case OpenAccounts:
            return fillOpenAccountsList(folder / "2024.odc", rows);
        case MovementSearch:
            movementTexts[0] = "DDT 4242";  // NumDoc: eleven movements
            return fillMovementSearchList(folder / "2024.odc", movementTexts, rows);
        case InventoryList: {
            Inventory inventory;
            Status filled = fillInventory(folder / "Magazzino.pro", "", inventory);
            rows = std::move(inventory.rows);
            return filled;
        }
        case Picker:
            return fillPickerList(folder / "Magazzino.pro", movementDirection(Direction::GoodsOut), rows);
        case Summary: {
            MovementSummary summary;
            Status filled = fillMovementSummary(folder / "2024.odc", {"", {2024, 1, 1}, {2024, 12, 31}}, summary);
            rows = std::move(summary.rows);
            return filled;
        }
    }
    return Status::success();
}

// range(0): the list; range(1): 0 the folder's files, 1 the server, 2 the server's million products.
void BM_List(benchmark::State& state) {
    const auto list = static_cast<List>(state.range(0));
    const fs::path folder = state.range(1) == 0   ? shops().folder
                            : state.range(1) == 1 ? shops().onServer
                                                  : millionOnServer();
    std::vector<double> raw, took;
    std::size_t listed = 0;
    for (auto _ : state) {
        raw.push_back(rawReadSeconds(shops().folder / "Magazzino.pro"));
        RowList rows;
        const double s = seconds([&] {
            if (!fill(folder, list, rows)) state.SkipWithError("the list failed");
        });
        listed = rows.size();
        took.push_back(s);
        state.SetIterationTime(s);
    }
    std::sort(raw.begin(), raw.end());
    std::sort(took.begin(), took.end());
    state.counters["rows"] = static_cast<double>(listed);
    state.counters["ms"] = took[took.size() / 2] * 1e3;
    state.counters["raw_ms"] = raw[raw.size() / 2] * 1e3;
}

// First, Next and Save of the product card, each as the card does it (the archive opened for the action).
void BM_Card(benchmark::State& state) {
    const fs::path folder = state.range(0) == 0 ? shops().folder : shops().onServer;
    const CardProtocol card(folder / "Magazzino.pro", ProductRecord::kSize);
    ProductRecord r;
    std::vector<double> first, next, save;
    CardPosition at = 1;
    for (auto _ : state) {
        first.push_back(seconds([&] { card.navigate(CardAction::First, at, r.bytes()); }));
        next.push_back(seconds([&] { card.navigate(CardAction::Next, 1 + at % 1000, r.bytes()); }));
        save.push_back(seconds([&] { card.save(1 + at % 1000, r.bytes()); }));
        ++at;
    }
    for (auto* v : {&first, &next, &save}) std::sort(v->begin(), v->end());
    state.counters["first_ms"] = first[first.size() / 2] * 1e3;
    state.counters["next_ms"] = next[next.size() / 2] * 1e3;
    state.counters["save_ms"] = save[save.size() / 2] * 1e3;
}

void BM_Transfer(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(shops().transferSeconds);
    state.counters["records"] = 2.0 * kProducts;
}

void lists(benchmark::internal::Benchmark* b) {
    for (int list :
         {AllProducts, OneField, UnderStock, Unpaid, OpenAccounts, MovementSearch, InventoryList, Summary, Picker})
        for (int where : {0, 1}) b->Args({list, where});
    for (int list : {OneField, UnderStock, Unpaid}) b->Args({list, 2});
}

}  // namespace

BENCHMARK(BM_List)->Apply(lists)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Card)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_Transfer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
