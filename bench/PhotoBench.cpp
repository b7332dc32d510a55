// The product card's photo on a 100-product archive, offscreen: Next onto a card holding a
// 12-megapixel photo against Next onto a card without one (from the click to the painted card), the
// decoding alone (at the card's size and whole), and saving the card whose photo did not change.
// Each figure comes with a raw read of the photo file in the same iteration, the ratio to it, and the
// processor time of the thread that did the work.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>

#include "BenchArchive.h"
#include "ScreenBench.h"
#include "products/TfrmMagazzino.h"
#include "ui/MessageService.h"
#include "ui/PhotoBox.h"
#include "ui/ScreenRegistry.h"
#include "ui/Widgets.h"

using namespace scortavia;
using namespace scortavia::bench;

namespace {

constexpr int kProducts = 100;
constexpr int kPlainCard = 30;

// The two 12-megapixel photos: a busy scene with plenty of sensor noise (the costlier to decode,
// as the decoder's time grows with the bytes it reads), and a product shot with little of it.
struct Photo {
    int card;
    int noise;  // amplitude, in levels of 255
};
constexpr Photo kBusyScene{50, 12};
constexpr Photo kProductShot{70, 3};

// Something that compresses like a photograph: soft light, shapes with shading, and sensor noise
// over everything, so the JPEG carries detail in every block.
QImage photoLike(QSize size, int noiseAmplitude) {
    QImage picture(size, QImage::Format_RGB32);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, size.height());
        sky.setColorAt(0, QColor(92, 140, 205));
        sky.setColorAt(0.55, QColor(225, 214, 190));
        sky.setColorAt(1, QColor(90, 70, 52));
        painter.fillRect(picture.rect(), sky);
        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> x(0, size.width()), y(0, size.height()), r(80, 700), c(0, 255);
        for (int i = 0; i < 140; ++i) {
            const QPointF centre(x(random), y(random));
            const double radius = r(random);
            QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.3);
            shade.setColorAt(0, QColor(c(random), c(random), c(random)));
            shade.setColorAt(1, QColor(c(random) / 3, c(random) / 3, c(random) / 3));
            painter.setBrush(shade);
            painter.setPen(QPen(QColor(20, 20, 20), 3));
            if (i % 2) {
                painter.drawEllipse(centre, radius, radius * 0.7);
            } else {
                painter.drawRoundedRect(QRectF(centre, QSizeF(radius * 1.4, radius)), 25, 25);
            }
        }
    }
    std::minstd_rand noise(7);
    for (int row = 0; row < picture.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
        for (int col = 0; col < picture.width(); ++col) {
            const int n = static_cast<int>(noise() % static_cast<unsigned>(2 * noiseAmplitude + 1)) - noiseAmplitude;
            const QRgb p = line[col];
            line[col] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                             std::clamp(qBlue(p) + n, 0, 255));
        }
    }
    return picture;
}

std::filesystem::path photoFile(const std::filesystem::path& folder, int card) {
    return folder / (std::to_string(card) + ".jpg");
}

// A program folder with a copy of the 100-product archive (saves write to it) and the two photos,
// written as the program writes a photo.
const std::filesystem::path& programFolder() {
    static const std::filesystem::path folder = [] {
        auto f = benchFolder() / "programma";
        std::filesystem::create_directories(f);
        std::filesystem::copy_file(archiveOf(kProducts), f / "Magazzino.pro");
        for (const Photo& photo : {kBusyScene, kProductShot}) {
            const auto path = photoFile(f, photo.card);
            QImageWriter writer(QString::fromStdString(path.string()), "jpg");
            writer.setQuality(92);
            if (!writer.write(photoLike({4000, 3000}, photo.noise))) std::abort();
            std::fprintf(stderr, "card %d: photo 4000 x 3000, %.1f MB\n", photo.card,
                         static_cast<double>(std::filesystem::file_size(path)) / 1e6);
        }
        return f;
    }();
    return folder;
}

// The busy scene unless the benchmark names another card.
std::filesystem::path photoFile(int card = kBusyScene.card) { return photoFile(programFolder(), card); }

// Counts the paintings of one widget, to be sure a timed step ended with the photo on screen.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The product card, shown, with every message answered at once.
struct Card {
    ScreenRegistry registry{programFolder()};
    TfrmMagazzino* card = nullptr;
    PaintCounter painted;

    Card() {
        MessageService::setHookForTesting([](const ShownMessage&) { return QMessageBox::Ok; });
        card = registry.add(std::make_unique<TfrmMagazzino>(registry));
        card->present();
        QApplication::processEvents();
        card->imgFoto->installEventFilter(&painted);
    }
    ~Card() { MessageService::setHookForTesting({}); }

    void goTo(int position) {
        card->cmdPrimo->click();
        for (int i = 1; i < position; ++i) card->navigate(CardAction::Next);
        QApplication::processEvents();
        if (card->lblPosizione->text() != QString::number(position)) std::abort();
    }
};

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread, where the card decodes and paints: on a machine shared with
// other builds it varies far less than the time on the clock.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void report(benchmark::State& state, double raw, double timed, double cpu) {
    const auto n = static_cast<double>(state.iterations());
    state.counters["raw_ms"] = raw / n * 1e3;
    state.counters["x_raw"] = timed / raw;
    state.counters["cpu_ms"] = cpu / n * 1e3;
}

// Times `step` on the clock and in processor time.
template <class Step>
double timeStep(double& timed, double& cpu, Step step) {
    const double cpuStart = threadSeconds();
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds = since(start);
    cpu += threadSeconds() - cpuStart;
    timed += seconds;
    return seconds;
}

// Lets every photo decode still running come back, so each step starts from a quiet program.
void settle(ScreenRegistry& registry) {
    registry.photoDecoding().waitForDone();
    QApplication::processEvents();
}

// Next from the card before `target` onto `target`, timed from the click to the painted card (the
// card can be used from then on), or on until its photo is on screen too.
void nextOnto(benchmark::State& state, int target, int photoCard, bool untilPhoto = false) {
    Card c;
    c.goTo(target);
    double raw = 0, timed = 0, cpu = 0;
    for (auto _ : state) {
        c.card->cmdIndietro->click();
        settle(c.registry);
        raw += rawReadSeconds(photoFile(photoCard));
        const int paintsBefore = c.painted.paints;
        state.SetIterationTime(timeStep(timed, cpu, [&] {
            c.card->cmdAvanti->click();
            QApplication::processEvents();
            while (untilPhoto && c.card->imgFoto->shownImage().isNull()) {
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }));
        if (c.painted.paints == paintsBefore || c.card->lblPosizione->text() != QString::number(target)) {
            state.SkipWithError("the card was not painted at the expected position");
            break;
        }
    }
    report(state, raw, timed, cpu);
}

// The argument is the card whose photo is measured.
void BM_NextOntoCardWithPhoto(benchmark::State& state) {
    const int card = static_cast<int>(state.range(0));
    nextOnto(state, card, card);
}
void BM_NextUntilThePhotoIsShown(benchmark::State& state) {
    const int card = static_cast<int>(state.range(0));
    nextOnto(state, card, card, true);
}
void BM_NextOntoCardWithoutPhoto(benchmark::State& state) { nextOnto(state, kPlainCard, kBusyScene.card); }

// Save on the card whose photo was loaded and left alone: the record and the photo file.
void BM_SaveUnchangedPhoto(benchmark::State& state) {
    Card c;
    c.goTo(kBusyScene.card);
    double raw = 0, timed = 0, cpu = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(photoFile());
        state.SetIterationTime(timeStep(timed, cpu, [&] {
            c.card->btnSalva->click();
            QApplication::processEvents();
        }));
    }
    report(state, raw, timed, cpu);
}

// The same save on a card without a photo file of its own: the floor of the save above.
void BM_SaveCardWithoutPhoto(benchmark::State& state) {
    Card c;
    c.goTo(kPlainCard);
    double raw = 0, timed = 0, cpu = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(photoFile());
        state.SetIterationTime(timeStep(timed, cpu, [&] {
            c.card->btnSalva->click();
            QApplication::processEvents();
        }));
    }
    report(state, raw, timed, cpu);
}

// The decoding alone, from the file's bytes in memory: at the card's photo size, and whole.
void decodeOnly(benchmark::State& state, QSize scaledTo) {
    const auto path = photoFile(static_cast<int>(state.range(0)));
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) std::abort();
    const QByteArray bytes = file.readAll();
    double raw = 0, timed = 0, cpu = 0;
    for (auto _ : state) {
        raw += rawReadSeconds(path);
        QImage decoded;
        state.SetIterationTime(timeStep(timed, cpu, [&] {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            if (scaledTo.isValid()) reader.setScaledSize(scaledTo);
            decoded = reader.read();
        }));
        benchmark::DoNotOptimize(decoded);
    }
    report(state, raw, timed, cpu);
}

void BM_DecodeAtCardSize(benchmark::State& state) { decodeOnly(state, QSize(365, 274)); }
void BM_DecodeWhole(benchmark::State& state) { decodeOnly(state, QSize()); }

}  // namespace

BENCHMARK(BM_DecodeAtCardSize)
    ->Arg(kBusyScene.card)
    ->Arg(kProductShot.card)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_DecodeWhole)
    ->Arg(kBusyScene.card)
    ->Arg(kProductShot.card)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK(BM_NextOntoCardWithPhoto)
    ->Arg(kBusyScene.card)
    ->Arg(kProductShot.card)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_NextUntilThePhotoIsShown)
    ->Arg(kBusyScene.card)
    ->Arg(kProductShot.card)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);
BENCHMARK(BM_NextOntoCardWithoutPhoto)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_SaveUnchangedPhoto)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_SaveCardWithoutPhoto)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char** argv) {
    return runScreenBenchmarks(argc, argv, [] { programFolder(); });
}
