#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "controls/item_list.h"
#include "settings/app_settings.h"

// The settings record of a live list, or a fresh one's defaults when the list
// has none (a list made without the program's settings).
inline const AppSettings& SettingsOrDefaults(const AppSettings* settings) {
    static const AppSettings defaults;
    return settings != nullptr ? *settings : defaults;
}

// The column table of a live list: header string ids and the width fields of
// the settings record, which the list reads at creation and writes back when
// it dies; without settings, widths of its own with the defaults.
template <size_t N>
class CLiveColumns {
public:
    void Bind(const uint32_t (&headers)[N], int32_t (*settingsWidths)[N],
              const int32_t (&defaults)[N]) {
        for (size_t c = 0; c < N; ++c) {
            own_[c] = defaults[c];
            int32_t* width = settingsWidths != nullptr ? &(*settingsWidths)[c] : &own_[c];
            table_[c] = ItemListColumn{headers[c], width};
        }
        table_[N] = ItemListColumn{};
    }
    std::span<const ItemListColumn> Table() const { return table_; }

private:
    std::array<int32_t, N> own_{};
    std::array<ItemListColumn, N + 1> table_{};
};
