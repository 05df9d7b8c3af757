#pragma once

#include <cstdint>

// Where one of the four view frames stands: its window rectangle, its show
// command and its position among the four. Stored as these 24 bytes.
struct FramePlacement {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    int32_t showCmd;  // a ShowWindow command: 1 normal, 3 maximised, 6 minimised
    int32_t order;    // 0 to 3
};

static_assert(sizeof(FramePlacement) == 24, "frame placement keeps its stored layout");
