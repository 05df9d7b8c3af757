#pragma once

#include <cstdint>
#include <string>

// One entry of a signal's value table, as the library lists it.
struct CandbEnumValue {
    int32_t value = 0;
    std::string name;
};
