#include "ui/frame/bus_load_layout.h"

#include <algorithm>
#include <climits>

namespace {

// A division is never drawn narrower than this at the plot's left edge.
constexpr int kMinDivWidth = 10;
// Nor is the plot lower than this.
constexpr int kMinPlotHeight = 100;
// Samples per division: 10 seconds at two samples a second.
constexpr int kSamplesPerDivision = 20;
// The walk goes back twice the span; the older samples it meets gather on
// the plot's left edge.
constexpr int kSamplesWalkedPerDivision = 40;

}  // namespace

int BusLoadDivisions(uint32_t histTime) {
    switch (histTime) {
        case 0:
            return 3;
        case 2:
            return 12;
        default:
            return 6;
    }
}

BusLoadLayout ComputeBusLoadLayout(int width, int height, int charW, int lineH, uint32_t histTime) {
    BusLoadLayout l;
    l.legend = {6, 6, 12 * charW, 5 * lineH + 6};
    l.plot.right = width - 2 * charW;
    l.plot.bottom = height - lineH;
    l.divisions = BusLoadDivisions(histTime);
    l.divWidth = (l.plot.right - 17 * charW) / l.divisions;
    l.plot.left = l.plot.right - l.divisions * std::max(l.divWidth, kMinDivWidth);
    l.pixelsPerSample = l.divWidth / static_cast<double>(kSamplesPerDivision);
    l.tenPercent = (l.plot.bottom - lineH / 2) / 10;
    l.pixelsPerPercent = l.tenPercent / 10.0;
    l.plot.top = l.plot.bottom - std::max(10 * l.tenPercent, kMinPlotHeight);
    for (int k = 0; k <= 10; ++k) {
        const int bottom = l.plot.bottom + lineH / 2 - k * l.tenPercent;
        l.yLabels[static_cast<size_t>(k)] = {12 * charW, bottom - l.tenPercent, l.plot.left,
                                             bottom};
    }
    l.xLabels.reserve(static_cast<size_t>(l.divisions));
    for (int i = 0; i < l.divisions; ++i) {
        l.xLabels.push_back({l.plot.right - (i + 1) * l.divWidth, l.plot.bottom,
                             l.plot.right - i * l.divWidth, l.plot.bottom + lineH});
    }
    return l;
}

// The positions are pixels per sample or per percent times a count, cut to
// whole pixels; taken in integers, so that a value on a grid line is drawn
// on it whatever the size (3.3 pixels per percent times 10 is 32.99... in
// floating point).
int BusLoadSampleX(const BusLoadLayout& l, int j) {
    const int x = l.plot.right - static_cast<int>(static_cast<int64_t>(j) * l.divWidth /
                                                  static_cast<int64_t>(kSamplesPerDivision));
    return std::clamp(x, l.plot.left, std::max(l.plot.left, l.plot.right - 2));
}

int BusLoadSampleY(const BusLoadLayout& l, uint32_t busLoad) {
    const uint32_t percent = busLoad / 100;
    const int64_t rise = static_cast<int64_t>(percent) * l.tenPercent / 10;
    const int y = static_cast<int>(std::max<int64_t>(l.plot.bottom - rise, INT32_MIN / 2));
    return std::clamp(y, l.plot.top + 1, std::max(l.plot.top + 1, l.plot.bottom - 1));
}

int BusLoadSamplesDrawn(const BusLoadLayout& l, int historyLength) {
    return std::min(historyLength, kSamplesWalkedPerDivision * l.divisions + 1);
}

int BusLoadThresholdY(const BusLoadLayout& l, uint32_t thresholdPercent) {
    const int percent = static_cast<int>(std::min<uint32_t>(thresholdPercent, 100));
    return l.plot.top + ((100 - percent) * l.tenPercent) / 10;
}
