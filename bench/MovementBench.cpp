// The goods-in card and the lists it opens on big archives: the picker filled from 100,000 products
// (button to painted list) and a click on one of its rows, up to date or not; the card's arrows and Save
// on a 100,000-movement year archive (294 MB) against a 1,000-movement one; the movement search and the
// open accounts on the 100,000-movement one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "movements/MovementCardScreen.h"
#include "movements/MovementListScreens.h"
#include "movements/ProductPicker.h"
#include "movements/StockPicker.h"
#include "storage/ArchivePaths.h"
#include "ui/MessageService.h"
#include "ui/RowListModel.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

void BM_PickerShown(benchmark::State& state) {
    const int products = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(products));
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archiveOf(products));
        std::unique_ptr<ProductPicker> picker;
        state.SetIterationTime(seconds([&] {
            picker = makeProductPicker(registry, nullptr, kGoodsIn);
            picker->show();
            QApplication::processEvents();
        }));
        picker->close();
    }
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
}

// A click on a row in the middle of the picker's list, to the product shown above it: one scan of the archive.
void BM_PickerClick(benchmark::State& state) {
    const int products = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(products));
    auto picker = makeProductPicker(registry, nullptr, kGoodsIn);
    picker->show();
    QApplication::processEvents();
    picker->selectRow(static_cast<std::size_t>(products / 2));
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(archiveOf(products));
        state.SetIterationTime(seconds([&] { picker->lstRecordsClick(); }));
    }
    if (picker->lblPosizione->text().isEmpty()) state.SkipWithError("the click picked nothing");
    picker->close();
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
}

// The same click once another copy of the program has moved that product's stock: the row no longer matches its
// record, and the click finds the product by its code and puts its fresh row in the list.
void BM_PickerStaleClick(benchmark::State& state) {
    const int products = static_cast<int>(state.range(0));
    ScreenRegistry registry(programFolderOf(products));
    const std::filesystem::path archive = paths::productArchive(programFolderOf(products));
    auto picker = makeProductPicker(registry, nullptr, kGoodsIn);
    picker->show();
    QApplication::processEvents();
    const std::size_t place = static_cast<std::size_t>(products / 2);
    picker->selectRow(place);
    picker->lstRecordsClick();
    const std::int64_t position = picker->lblPosizione->text().toLongLong();
    const std::string code = picker->txtCodice->text().toStdString();
    double raw = 0;
    bool in = true;
    for (auto _ : state) {
        raw += rawReadSeconds(archiveOf(products));
        const std::string before(picker->model()->rows()[place]);
        if (moveProductStock(archive, position, code, "1", in ? kGoodsIn : kGoodsOut).outcome !=
            StockMoveOutcome::Moved) {
            state.SkipWithError("the other copy could not move the stock");
            break;
        }
        in = !in;
        state.SetIterationTime(seconds([&] { picker->lstRecordsClick(); }));
        if (picker->model()->rows()[place] == before || picker->selectedRow() != place) {
            state.SkipWithError("the row was not refreshed in its place");
            break;
        }
    }
    picker->close();
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
}

// The goods-in card on a year archive of `movements` records, as the year menu leaves it.
struct Card {
    explicit Card(int movements)
        : registry(benchFolder()), card(registry.add(std::make_unique<TfrmCarichi>(registry))) {
        card->lblFile->setText(QString::fromStdString(movementArchiveOf(movements).string()));
        card->show();
        QApplication::processEvents();
    }
    ScreenRegistry registry;
    TfrmCarichi* card;
};

void runCard(benchmark::State& state, const std::function<void(MovementCardScreen&)>& action) {
    Card c(static_cast<int>(state.range(0)));
    c.card->navigate(CardAction::Next);  // on card 1
    for (auto _ : state) action(*c.card);
}

void BM_CardFirst(benchmark::State& state) {
    runCard(state, [](MovementCardScreen& card) { card.navigate(CardAction::First); });
}
void BM_CardLast(benchmark::State& state) {
    runCard(state, [](MovementCardScreen& card) { card.navigate(CardAction::Last); });
}
void BM_CardNext(benchmark::State& state) {
    runCard(state, [](MovementCardScreen& card) {
        card.navigate(CardAction::First);
        card.navigate(CardAction::Next);
    });
    state.SetLabel("First + Next");
}
// Calcola, the mandatory check, one positioned write and the flush to disk.
void BM_CardSave(benchmark::State& state) {
    runCard(state, [](MovementCardScreen& card) { card.saveCard(); });
}

// "Cerca" pressed to the painted list; `fill` types into the search boxes.
void runSearch(benchmark::State& state, const std::function<void(MovementSearch&)>& fill) {
    const int movements = static_cast<int>(state.range(0));
    Card c(movements);
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(movementArchiveOf(movements));
        auto search = makeMovementSearch(c.registry, *c.card);
        search->lblMemory->setText(QStringLiteral("carichi"));
        search->show();
        fill(*search);
        QApplication::processEvents();
        state.SetIterationTime(seconds([&] {
            search->btnCercaClick();
            QApplication::processEvents();
        }));
        search->close();
    }
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
}

void BM_SearchNothingFilled(benchmark::State& state) {
    runSearch(state, [](MovementSearch&) {});
    state.SetLabel("every movement listed");
}
void BM_SearchOneField(benchmark::State& state) {
    runSearch(state, [](MovementSearch& search) { search.txtDescrizione->setText(QStringLiteral("lotto 1")); });
    state.SetLabel("description");
}

// The card's "Da saldare" pressed to the painted list (a quarter of the movements are listed).
void BM_OpenAccountsShown(benchmark::State& state) {
    const int movements = static_cast<int>(state.range(0));
    Card c(movements);
    double raw = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(movementArchiveOf(movements));
        std::unique_ptr<OpenAccounts> list;
        state.SetIterationTime(seconds([&] {
            list = makeOpenAccounts(c.registry, *c.card);
            list->show();
            QApplication::processEvents();
        }));
        list->close();
    }
    state.counters["raw_ms"] = raw / static_cast<double>(state.iterations()) * 1e3;
}

}  // namespace

BENCHMARK(BM_SearchNothingFilled)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SearchOneField)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_OpenAccountsShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_PickerShown)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_PickerClick)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_PickerStaleClick)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_CardFirst)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardLast)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardNext)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CardSave)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
