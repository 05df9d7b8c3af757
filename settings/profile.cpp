#include "settings/profile.h"

#include <cstring>

#include <cstdio>
#include "platform/os/atomic_file.h"

namespace {

// The writer's form of a text value: key, "=", the text in double quotes
// with the closing quote last on the line. Such a line is taken whole, so a
// "#" in a stored text (a path such as /work/car#2/body.dbc) reads back as
// written; a comment still ends any other line.
bool IsWrittenTextValue(std::string_view line) {
    const size_t keyStart = line.find_first_not_of('=');
    if (keyStart == std::string_view::npos) {
        return false;
    }
    const size_t equals = line.find('=', keyStart);
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string_view value = line.substr(equals + 1);
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A hexadecimal number read the way the C library's strtoul reads one with a
// 32-bit unsigned long: blanks, a sign and "0x" are accepted, reading stops at
// the first other character, and a value too large saturates.
uint32_t ParseHex32(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        i += 2;
    }
    uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow) {
        return 0xFFFFFFFFu;
    }
    const auto result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

// The longest prefix of at most limit bytes that does not split a UTF-8 character.
size_t Utf8Prefix(std::string_view text, size_t limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    size_t n = limit;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
        --n;
    }
    return n;
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string FormatProfileBytes(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text = "hex:";
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
        text += ',';
    }
    while (!text.empty() && text.back() == ',') {
        text.pop_back();
    }
    return text;
}

std::string FormatProfileDword(uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "dword:%08x", value);
    return text;
}

CProfile::~CProfile() {
    Clear();
}

void CProfile::Clear() {
    while (!sections_.empty()) {
        sections_.pop_back();
    }
    index_.clear();
    current_ = nullptr;
}

bool CProfile::Load(const std::string& path) {
    std::string text;
    if (!os::ReadWholeFile(path, &text, &error_, kMaxFileSize)) {
        return false;
    }
    LoadText(text);
    return true;
}

void CProfile::LoadText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);  // a byte-order mark left by an editor
    }
    SectionData* section = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        // The line end is CR LF or LF; what stays is the line as text mode reads it.
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (const size_t hash = line.find('#');
            hash != std::string_view::npos && !IsWrittenTextValue(line)) {
            line = TrimRight(line.substr(0, hash));
            if (line.empty()) {
                continue;
            }
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string name(line.substr(1, line.size() - 2));
            if (auto found = index_.find(name); found != index_.end()) {
                section = found->second;
            } else {
                sections_.push_back(std::make_unique<SectionData>(name));
                section = sections_.back().get();
                index_.emplace(std::move(name), section);
            }
            continue;
        }
        if (section == nullptr) {
            continue;
        }
        size_t keyStart = 0;
        while (keyStart < line.size() && line[keyStart] == '=') {
            ++keyStart;
        }
        line.remove_prefix(keyStart);
        std::string_view key = line;
        std::string_view value;
        if (const size_t equals = line.find('='); equals != std::string_view::npos) {
            key = line.substr(0, equals);
            value = line.substr(equals + 1);
        }
        while (!key.empty() && key.front() == '"') {
            key.remove_prefix(1);
        }
        while (!key.empty() && key.back() == '"') {
            key.remove_suffix(1);
        }
        ProfileEntry entry;
        entry.key = std::string(key);
        if (value.empty()) {
            entry.type = kProfileTypeNone;
        } else if (value.front() == '"') {
            entry.type = kProfileTypeText;
            value.remove_prefix(1);
            if (!value.empty() && value.back() == '"') {
                value.remove_suffix(1);
            }
        } else if (value.substr(0, 6) == "dword:") {
            entry.type = kProfileTypeNumber;
            value.remove_prefix(6);
        } else if (value.substr(0, 4) == "hex:") {
            entry.type = kProfileTypeBytes;
            value.remove_prefix(4);
        } else {
            entry.type = kProfileTypeNone;
        }
        entry.value = std::string(value);
        section->entries.push_back(std::move(entry));
    }
}

bool CProfile::GetSectionName(int index, std::string* name) const {
    if (index < 0 || static_cast<size_t>(index) >= sections_.size()) {
        return false;
    }
    *name = sections_[static_cast<size_t>(index)]->name;
    return true;
}

SectionData* CProfile::FindSection(const std::string& name) const {
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : found->second;
}

bool CProfile::FindFirstValue(const std::string& section, std::string* key, uint8_t* data,
                              uint32_t* length, uint8_t* type) {
    SectionData* found = FindSection(section);
    if (found == nullptr) {
        return false;
    }
    current_ = found;
    current_->cursor = -1;
    return FindNextValue(key, data, length, type);
}

bool CProfile::FindNextValue(std::string* key, uint8_t* data, uint32_t* length, uint8_t* type) {
    if (current_ == nullptr) {
        return false;
    }
    const size_t next = static_cast<size_t>(current_->cursor + 1);
    if (next >= current_->entries.size()) {
        return false;
    }
    current_->cursor = static_cast<int32_t>(next);
    const ProfileEntry& entry = current_->entries[next];
    if (key != nullptr) {
        *key = entry.key;
    }
    if (type != nullptr) {
        *type = entry.type;
    }
    const uint32_t capacity = *length;
    switch (entry.type) {
        case kProfileTypeText: {
            if (capacity == 0) {
                *length = 0;
                break;
            }
            const size_t n = Utf8Prefix(entry.value, capacity - 1);
            std::memcpy(data, entry.value.data(), n);
            data[n] = 0;
            *length = static_cast<uint32_t>(n);
            break;
        }
        case kProfileTypeBytes: {
            uint32_t stored = 0;
            std::string_view rest = entry.value;
            while (!rest.empty() && stored < capacity) {
                const size_t comma = rest.find(',');
                const std::string_view piece = rest.substr(0, comma);
                rest =
                    comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
                if (piece.empty()) {
                    continue;
                }
                data[stored++] = static_cast<uint8_t>(ParseHex32(piece) & 0xFF);
            }
            *length = stored;
            break;
        }
        case kProfileTypeNumber: {
            if (capacity < 4) {
                *length = 0;
                break;
            }
            const uint32_t value = ParseHex32(entry.value);
            for (int i = 0; i < 4; ++i) {
                data[i] = static_cast<uint8_t>(value >> (8 * i));
            }
            *length = 4;
            break;
        }
        default:
            break;
    }
    return true;
}

bool CProfile::WriteBinary(const std::string& section, const std::string& key, const uint8_t* bytes,
                           size_t count) {
    return WriteValue(section, key, FormatProfileBytes(bytes, count));
}

bool CProfile::WriteString(const std::string& section, const std::string& key,
                           const std::string& text) {
    std::string value(1, '"');
    value.append(text);
    value.push_back('"');
    return WriteValue(section, key, value);
}

bool CProfile::WriteDword(const std::string& section, const std::string& key, uint32_t value) {
    return WriteValue(section, key, FormatProfileDword(value));
}

bool CProfile::WriteValue(const std::string& section, const std::string& key,
                          const std::string& value) {
    std::string quotedKey(1, '"');
    quotedKey.append(key);
    quotedKey.push_back('"');
    if (batch_ != nullptr) {
        if (!batch_->Set(section, quotedKey, value)) {
            if (!batchFailed_) {
                error_ = key + ": " + batch_->LastError();
            }
            batchFailed_ = true;
            return false;
        }
        return true;
    }
    return os::WritePrivateProfileString(section, quotedKey, value, fileName_, &error_);
}

bool CProfile::BeginWrite() {
    batch_ = std::make_unique<os::PrivateProfileFile>();
    batchFailed_ = false;
    if (!batch_->Open(fileName_)) {
        error_ = batch_->LastError();
        batch_.reset();
        return false;
    }
    return true;
}

bool CProfile::EndWrite() {
    if (batch_ == nullptr) {
        return false;
    }
    const bool written = batch_->Commit();
    if (!written) {
        error_ = batch_->LastError();
    }
    batch_.reset();
    return written && !batchFailed_;
}
