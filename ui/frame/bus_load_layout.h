#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A rectangle in the graph's own terms: right and bottom are the first
// pixel outside, and the plot's outline is drawn on its four edges.
struct BusLoadBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const BusLoadBox&) const = default;
};

// Where everything of the bus-load graph stands for one client size. The
// history is sampled every 0.5 s; one division is 10 seconds, one y step
// 10 %.
struct BusLoadLayout {
    BusLoadBox plot;
    BusLoadBox legend;
    std::vector<BusLoadBox> xLabels;  // division i counts back from the right edge
    std::array<BusLoadBox, 11> yLabels{};
    int divisions = 6;
    int divWidth = 0;    // pixels per 10-second division
    int tenPercent = 0;  // pixels per 10 %
    double pixelsPerSample = 0;
    double pixelsPerPercent = 0;
};

// 3, 6 or 12 divisions for a history time of 0, 1, 2 (30, 60, 120 s);
// any other value is taken as 1.
int BusLoadDivisions(uint32_t histTime);

// The layout for a client area of width x height, with the character width
// and line height of the interface font.
BusLoadLayout ComputeBusLoadLayout(int width, int height, int charW, int lineH, uint32_t histTime);

// The point of sample j (0 the newest) of value busLoad (hundredths of a
// percent): x steps left by the sample spacing, values older than the span
// stay at the left edge; y follows the integer percent. Both stay inside
// the plot's outline.
int BusLoadSampleX(const BusLoadLayout& layout, int j);
int BusLoadSampleY(const BusLoadLayout& layout, uint32_t busLoad);
// How many samples of a history the graph walks: the span and no more
// than the history holds.
int BusLoadSamplesDrawn(const BusLoadLayout& layout, int historyLength);
// The height of the threshold line (percent, taken as 0..100).
int BusLoadThresholdY(const BusLoadLayout& layout, uint32_t thresholdPercent);
