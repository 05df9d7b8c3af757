// One step of the about picture's effect at 384 x 160 (water drawing and
// simulation, plasma blend and plasma step), the parts on their own, and the
// heap allocations a step makes (there should be none).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>

#include "bench/allocation_counter.h"
#include "bench/qt_bench_main.h"
#include "controls/plasma_routine.h"
#include "controls/water_drop_ctrl.h"
#include "controls/water_routine.h"

namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 160;

QImage Picture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            image.setPixel(x, y, qRgb(x & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF));
        }
    }
    return image;
}

// The control's step as its timer runs it, with the water kept moving.
void EffectStep(benchmark::State& state) {
    CWaterDropCtrl control;
    control.SetSource(Picture());
    control.SetPlasmaLevel(54);
    control.SetRandomDrops(true);
    long long allocations = 0;
    int n = 0;
    for (auto _ : state) {
        if (++n % 8 == 0) {
            control.Drop(n % (kWidth - 20) + 10, n % (kHeight - 20) + 10, 50, 500);
        }
        const long long before = AllocationCount();
        control.Step();
        allocations += AllocationCount() - before;
    }
    state.counters["allocs_per_step"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
}

void WaterRender(benchmark::State& state) {
    CWaterRoutine water;
    water.Create(kWidth, kHeight);
    const QImage source = Picture();
    QImage target = source.copy();
    const auto* src = reinterpret_cast<const uint32_t*>(source.constBits());
    auto* dst = reinterpret_cast<uint32_t*>(target.bits());
    int n = 0;
    for (auto _ : state) {
        if (++n % 8 == 0) {
            water.HeightBlob(n % (kWidth - 20) + 10, n % (kHeight - 20) + 10, 50, 500);
        }
        water.Render(src, dst);
    }
    benchmark::DoNotOptimize(target.constBits());
}

void PlasmaBlendAndStep(benchmark::State& state) {
    CPlasmaRoutine plasma;
    plasma.Create(kWidth, kHeight);
    plasma.SetAlpha(54);
    QImage target = Picture();
    auto* pixels = reinterpret_cast<uint32_t*>(target.bits());
    for (auto _ : state) {
        plasma.Blend(pixels, kWidth, kHeight);
        plasma.Step();
    }
    benchmark::DoNotOptimize(target.constBits());
}

}  // namespace

BENCHMARK(EffectStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(WaterRender)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlasmaBlendAndStep)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
