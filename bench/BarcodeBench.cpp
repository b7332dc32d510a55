// The product card's barcode as the code is typed, offscreen: one key typed into the code box up to the
// barcode redrawn under the photo (Zint's encoding and the painting), against the same key typed into
// the name box, which has nothing to redraw but itself. Codes of every kind are typed in turn.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "ScreenBench.h"
#include "products/BarcodeBox.h"
#include "products/TfrmMagazzino.h"
#include "ui/MessageService.h"
#include "ui/ScreenRegistry.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

// An EAN-13, a UPC-A, an EAN-8 and a Code 128 of the longest kind, typed one after the other.
const std::string kTyped =
    "5901234123457036000291452"
    "96385074"
    "ABCDEFGHIJ-KLMNOPQRS";
constexpr std::size_t kCodeStarts[] = {0, 13, 25, 33};

struct Card {
    QTemporaryDir folder;
    std::unique_ptr<ScreenRegistry> registry;
    TfrmMagazzino* card = nullptr;

    Card() {
        MessageService::setHookForTesting([](const ShownMessage&) { return QMessageBox::Ok; });
        registry = std::make_unique<ScreenRegistry>(folder.path().toStdString());
        card = registry->add(std::make_unique<TfrmMagazzino>(*registry));
        card->present();
        QApplication::processEvents();
    }
    ~Card() { MessageService::setHookForTesting({}); }
};

// One key press and release, then the box and what depends on it painted at once.
void typeKey(QLineEdit* box, char key, QWidget* alsoPainted) {
    const QString text(QChar::fromLatin1(key));
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    box->repaint();
    if (alsoPainted) alsoPainted->repaint();
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_KeystrokeRedrawsBarcode(benchmark::State& state) {
    Card c;
    QLineEdit* code = c.card->txtCodice;
    QLineEdit* name = c.card->txtNome;
    std::size_t next = 0;
    double timed = 0, plain = 0;
    for (auto _ : state) {
        if (next == kTyped.size()) next = 0;
        if (std::find(std::begin(kCodeStarts), std::end(kCodeStarts), next) != std::end(kCodeStarts)) {
            code->clear();
            name->clear();
        }
        const char key = kTyped[next++];
        auto start = std::chrono::steady_clock::now();
        typeKey(code, key, c.card->imgCodiceBarre);
        const double seconds = since(start);
        timed += seconds;
        start = std::chrono::steady_clock::now();
        typeKey(name, key, nullptr);
        plain += since(start);
        state.SetIterationTime(seconds);
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["name_box_ms"] = plain / n * 1e3;
    state.counters["x_name_box"] = timed / plain;
    if (!c.card->imgCodiceBarre->choice().symbology) state.SkipWithError("the last code typed has no barcode");
}

}  // namespace

BENCHMARK(BM_KeystrokeRedrawsBarcode)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(530);

int main(int argc, char** argv) { return runScreenBenchmarks(argc, argv); }
