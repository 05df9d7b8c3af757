#include "settings/profile_store.h"

#include <vector>

#include "settings/profile.h"

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

uint32_t Get32(const std::vector<uint8_t>& d) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && i < d.size(); ++i) {
        v |= static_cast<uint32_t>(d[i]) << (8 * i);
    }
    return v;
}

void CopyWorkspaceSection(CProfile& profile, SectionData* section, os::Registry& registry,
                          std::vector<uint8_t>& buffer) {
    registry.CreateKey(section->name);
    profile.SetCurrent(section);
    section->cursor = -1;
    std::string key;
    uint32_t length = 0;
    uint8_t type = 0;
    for (;;) {
        length = CProfileStore::kValueBufferSize;
        if (!profile.FindNextValue(&key, buffer.data(), &length, &type)) {
            break;
        }
        switch (type) {
            case kProfileTypeText:
                registry.SetValue(section->name, key, os::RegType::Sz, buffer.data(), length + 1);
                break;
            case kProfileTypeBytes:
                registry.SetValue(section->name, key, os::RegType::Binary, buffer.data(), length);
                break;
            case kProfileTypeNumber:
                registry.SetValue(section->name, key, os::RegType::Dword, buffer.data(), length);
                break;
            default:
                break;  // no data: nothing to copy
        }
    }
}

void WriteWorkspace(CProfile& profile, const os::Registry& registry) {
    const std::string root = WorkspacePath();
    if (!registry.KeyExists(root)) {
        return;
    }
    std::vector<std::string> paths;
    std::string name;
    for (size_t i = 0; registry.EnumKey(root, i, &name); ++i) {
        paths.push_back(root + "\\" + name);
    }
    for (const std::string& path : paths) {
        os::RegValue value;
        for (size_t i = 0; registry.EnumValue(path, i, &value); ++i) {
            if (value.data.size() > CProfileStore::kValueBufferSize) {
                continue;  // would not fit the reader's buffer on the way back
            }
            switch (value.type) {
                case os::RegType::Sz: {
                    std::string text(value.data.begin(), value.data.end());
                    profile.WriteString(path, value.name, text.substr(0, text.find('\0')));
                    break;
                }
                case os::RegType::Binary:
                    profile.WriteBinary(path, value.name, value.data.data(), value.data.size());
                    break;
                case os::RegType::Dword:
                    profile.WriteDword(path, value.name, Get32(value.data));
                    break;
                default:
                    break;
            }
        }
    }
}

}  // namespace

bool CProfileStore::Load(AppSettings& settings, const std::string& path, os::Registry* workspace,
                         const ScreenSize& screen, std::string* error) {
    CProfile profile;
    if (!profile.Load(path)) {
        if (error != nullptr) {
            *error = profile.LastError();
        }
        return false;
    }
    std::vector<uint8_t> buffer(kValueBufferSize);
    const std::string workspacePath = WorkspacePath();
    if (workspace != nullptr) {
        workspace->BeginBatch();
    }
    for (size_t s = 0; s < profile.SectionCount(); ++s) {
        SectionData* section = profile.Section(s);
        bool matched = false;
        for (int g = 0; g < kSettingsGroupCount && !matched; ++g) {
            const auto group = static_cast<SettingsGroup>(g);
            if (!EqualNoCase(section->name, GroupPath(group))) {
                continue;
            }
            matched = true;
            profile.SetCurrent(section);
            section->cursor = -1;
            std::string key;
            uint32_t length = 0;
            uint8_t type = 0;
            for (;;) {
                length = kValueBufferSize;
                if (!profile.FindNextValue(&key, buffer.data(), &length, &type)) {
                    break;
                }
                if (type != kProfileTypeNone) {  // a value of no known form keeps the setting
                    ApplyStoredValue(settings, group, key, buffer.data(), length, screen);
                }
            }
        }
        if (!matched && workspace != nullptr && section->name.rfind(workspacePath, 0) == 0) {
            CopyWorkspaceSection(profile, section, *workspace, buffer);
        }
    }
    if (workspace != nullptr && !workspace->EndBatch() && error != nullptr) {
        *error = workspace->LastError();
    }
    CheckFrameOrders(settings);
    return true;
}

bool CProfileStore::Save(const AppSettings& settings, const std::string& path, uint32_t groups,
                         os::Registry& registry, std::string* error) {
    CProfile profile(path);
    if (!profile.BeginWrite()) {
        if (error != nullptr) {
            *error = profile.LastError();
        }
        return false;
    }
    for (const StoredValue& value : CollectStoredValues(settings, groups)) {
        const std::string section = GroupPath(value.group);
        switch (value.form) {
            case ProfileForm::Text:
                profile.WriteString(section, value.key,
                                    std::string(value.data.begin(), value.data.end() - 1));
                break;
            case ProfileForm::Bytes:
                profile.WriteBinary(section, value.key, value.data.data(), value.data.size());
                break;
            case ProfileForm::Dword:
                profile.WriteDword(section, value.key, Get32(value.data));
                break;
        }
    }
    if (groups & ENV_WORKSPACE) {
        WriteWorkspace(profile, registry);
    }
    const bool ok = profile.EndWrite();
    if (!ok && error != nullptr) {
        *error = profile.LastError();
    }
    return ok;
}
