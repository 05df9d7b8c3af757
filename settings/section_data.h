#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Value types of a profile entry: the registry's REG_NONE, REG_SZ, REG_BINARY, REG_DWORD.
inline constexpr uint8_t kProfileTypeNone = 0;
inline constexpr uint8_t kProfileTypeText = 1;
inline constexpr uint8_t kProfileTypeBytes = 3;
inline constexpr uint8_t kProfileTypeNumber = 4;

struct ProfileEntry {
    std::string key;
    std::string value;  // the text after the form prefix
    uint8_t type = kProfileTypeNone;
};

// One section of a profile file, its entries in file order.
class SectionData {
public:
    explicit SectionData(std::string sectionName) : name(std::move(sectionName)) {}
    virtual ~SectionData() = default;

    std::string name;
    int32_t cursor = -1;  // index of the entry enumerated last
    std::vector<ProfileEntry> entries;
};
