#include "registry.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "atomic_file.h"
#include "paths.h"

namespace os {

struct Registry::Node {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<Node>> children;  // sorted by name ignoring case
};

namespace {

constexpr const char* kHeader = "SorvaneRegistry 1";
constexpr const char* kHexDigits = "0123456789abcdef";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int CompareNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
        const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

bool NeedsEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7F || c == '%' || c == '=' || c == '[' || c == ']' || c == '\\';
}

std::string Escape(const std::string& text) {
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool Unescape(std::string_view text, std::string* out) {
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out->push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out->push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return true;
}

bool ParseHexBytes(std::string_view text, std::vector<uint8_t>* bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    bytes->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = HexDigit(text[i]);
        const int lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return true;
}

void SerializeNode(const Registry::Node& node, const std::string& path, std::string& out) {
    out += '[';
    out += path;
    out += "]\n";
    for (const RegValue& value : node.values) {
        out += Escape(value.name);
        out += "=";
        out += std::to_string(static_cast<uint32_t>(value.type));
        out += ":";
        for (const uint8_t b : value.data) {
            out += kHexDigits[b >> 4];
            out += kHexDigits[b & 15];
        }
        out += "\n";
    }
    for (const auto& child : node.children) {
        std::string childPath = path;
        childPath += '\\';
        childPath += Escape(child->name);
        SerializeNode(*child, childPath, out);
    }
}

}  // namespace

Registry::Registry(std::string filePath)
    : filePath_(std::move(filePath)), root_(std::make_unique<Node>()) {
    Reload();
}

Registry::~Registry() = default;

std::string Registry::DefaultFilePath(const std::string& vendorKey) {
    return JoinPath(JoinPath(ConfigDir(), vendorKey), "registry.dat");
}

bool Registry::Reload() {
    std::lock_guard lock(mutex_);
    root_ = std::make_unique<Node>();
    damaged_ = false;
    error_.clear();
    std::string text;
    bool missing = false;
    if (!ReadWholeFile(filePath_, &text, &error_, 64u << 20, &missing)) {
        if (missing) {
            error_.clear();
            return true;
        }
        // Unreadable: treat like a damaged file so that a later write keeps it.
        damaged_ = true;
        return false;
    }
    return ParseLocked(text);
}

bool Registry::ParseLocked(const std::string& text) {
    size_t start = 0;
    size_t lineNumber = 0;
    Node* current = nullptr;
    bool sawHeader = false;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!sawHeader) {
            sawHeader = true;
            if (line != kHeader) {
                damaged_ = true;
                error_ = filePath_ + ": not a registry file";
                return false;
            }
            continue;
        }
        if (line.empty()) {
            continue;
        }
        bool good = true;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            std::string path;
            for (const std::string& part :
                 SplitPath(std::string(line.substr(1, line.size() - 2)))) {
                std::string name;
                good = good && Unescape(part, &name) && !name.empty();
                path += (path.empty() ? "" : "\\") + name;
            }
            current = good && !path.empty() ? FindOrCreate(path) : nullptr;
            good = good && current != nullptr;
        } else {
            const size_t equals = line.find('=');
            const size_t colon = line.find(':', equals == std::string_view::npos ? 0 : equals);
            RegValue value;
            good = current != nullptr && equals != std::string_view::npos &&
                   colon != std::string_view::npos &&
                   Unescape(line.substr(0, equals), &value.name) &&
                   ParseHexBytes(line.substr(colon + 1), &value.data);
            if (good) {
                const std::string type(line.substr(equals + 1, colon - equals - 1));
                good = type == "0" || type == "1" || type == "3" || type == "4";
                if (good) {
                    value.type = static_cast<RegType>(std::stoul(type));
                    auto found = std::find_if(
                        current->values.begin(), current->values.end(),
                        [&](const RegValue& v) { return CompareNoCase(v.name, value.name) == 0; });
                    if (found != current->values.end()) {
                        *found = std::move(value);
                    } else {
                        current->values.push_back(std::move(value));
                    }
                }
            }
        }
        if (!good) {
            if (!damaged_) {
                error_ = filePath_ + ": damaged at line " + std::to_string(lineNumber);
            }
            damaged_ = true;
        }
    }
    return !damaged_;
}

Registry::Node* Registry::Find(const std::string& path) const {
    Node* node = root_.get();
    for (const std::string& part : SplitPath(path)) {
        auto it = std::find_if(node->children.begin(), node->children.end(),
                               [&](const auto& c) { return CompareNoCase(c->name, part) == 0; });
        if (it == node->children.end()) {
            return nullptr;
        }
        node = it->get();
    }
    return node == root_.get() ? nullptr : node;
}

Registry::Node* Registry::FindOrCreate(const std::string& path) {
    Node* node = root_.get();
    for (const std::string& part : SplitPath(path)) {
        auto it = std::lower_bound(node->children.begin(), node->children.end(), part,
                                   [](const auto& c, const std::string& name) {
                                       return CompareNoCase(c->name, name) < 0;
                                   });
        if (it == node->children.end() || CompareNoCase((*it)->name, part) != 0) {
            auto child = std::make_unique<Node>();
            child->name = part;
            it = node->children.insert(it, std::move(child));
        }
        node = it->get();
    }
    return node == root_.get() ? nullptr : node;
}

std::string Registry::Serialize() const {
    std::lock_guard lock(mutex_);
    std::string out = std::string(kHeader) + "\n";
    for (const auto& child : root_->children) {
        SerializeNode(*child, Escape(child->name), out);
    }
    return out;
}

bool Registry::WriteLocked() {
    if (damaged_) {
        // Keep what could not be read before it is replaced.
        const std::string copy = filePath_ + ".damaged";
        unlink(copy.c_str());
        if (link(filePath_.c_str(), copy.c_str()) != 0 && errno != ENOENT) {
            error_ =
                "cannot keep the damaged registry file as " + copy + ": " + std::strerror(errno);
            return false;
        }
        damaged_ = false;
    }
    if (root_->children.empty()) {
        // Nothing left: no file at all, as an empty registry leaves nothing behind.
        if (unlink(filePath_.c_str()) != 0 && errno != ENOENT) {
            error_ = "cannot remove " + filePath_ + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }
    std::string out = std::string(kHeader) + "\n";
    for (const auto& child : root_->children) {
        SerializeNode(*child, Escape(child->name), out);
    }
    if (!MakeDirectories(DirName(filePath_))) {
        error_ = "cannot create the folder of " + filePath_;
        return false;
    }
    return WriteFileAtomically(filePath_, out, &error_);
}

bool Registry::Changed() {
    if (batchDepth_ > 0) {
        batchDirty_ = true;
        return true;
    }
    return WriteLocked();
}

bool Registry::KeyExists(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return Find(path) != nullptr;
}

bool Registry::CreateKey(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (Find(path) != nullptr) {
        return true;
    }
    if (FindOrCreate(path) == nullptr) {
        error_ = "empty key path";
        return false;
    }
    return Changed();
}

bool Registry::SetValue(const std::string& path, const std::string& name, RegType type,
                        const void* data, size_t size) {
    std::lock_guard lock(mutex_);
    Node* node = FindOrCreate(path);
    if (node == nullptr) {
        error_ = "empty key path";
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    RegValue value{name, type, std::vector<uint8_t>(bytes, bytes + size)};
    auto found = std::find_if(node->values.begin(), node->values.end(),
                              [&](const RegValue& v) { return CompareNoCase(v.name, name) == 0; });
    if (found != node->values.end()) {
        found->type = type;
        found->data = std::move(value.data);
    } else {
        node->values.push_back(std::move(value));
    }
    return Changed();
}

bool Registry::SetString(const std::string& path, const std::string& name,
                         const std::string& text) {
    // Stored with its terminating null, as the platform's text values are.
    return SetValue(path, name, RegType::Sz, text.c_str(), text.size() + 1);
}

bool Registry::SetDword(const std::string& path, const std::string& name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return SetValue(path, name, RegType::Dword, bytes, sizeof bytes);
}

bool Registry::SetBinary(const std::string& path, const std::string& name,
                         const std::vector<uint8_t>& bytes) {
    return SetValue(path, name, RegType::Binary, bytes.data(), bytes.size());
}

bool Registry::QueryValue(const std::string& path, const std::string& name, RegValue* value) const {
    std::lock_guard lock(mutex_);
    const Node* node = Find(path);
    if (node == nullptr) {
        return false;
    }
    for (const RegValue& v : node->values) {
        if (CompareNoCase(v.name, name) == 0) {
            *value = v;
            return true;
        }
    }
    return false;
}

bool Registry::EnumValue(const std::string& path, size_t index, RegValue* value) const {
    std::lock_guard lock(mutex_);
    const Node* node = Find(path);
    if (node == nullptr || index >= node->values.size()) {
        return false;
    }
    *value = node->values[index];
    return true;
}

bool Registry::EnumKey(const std::string& path, size_t index, std::string* name) const {
    std::lock_guard lock(mutex_);
    const Node* node = Find(path);
    if (node == nullptr || index >= node->children.size()) {
        return false;
    }
    *name = node->children[index]->name;
    return true;
}

bool Registry::DeleteValue(const std::string& path, const std::string& name) {
    std::lock_guard lock(mutex_);
    Node* node = Find(path);
    if (node == nullptr) {
        return false;
    }
    auto found = std::find_if(node->values.begin(), node->values.end(),
                              [&](const RegValue& v) { return CompareNoCase(v.name, name) == 0; });
    if (found == node->values.end()) {
        return false;
    }
    node->values.erase(found);
    return Changed();
}

bool Registry::DeleteTree(const std::string& path) {
    std::lock_guard lock(mutex_);
    const std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) {
        error_ = "empty key path";
        return false;
    }
    Node* parent = root_.get();
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it =
            std::find_if(parent->children.begin(), parent->children.end(),
                         [&](const auto& c) { return CompareNoCase(c->name, parts[i]) == 0; });
        if (it == parent->children.end()) {
            return true;
        }
        parent = it->get();
    }
    auto it = std::find_if(parent->children.begin(), parent->children.end(), [&](const auto& c) {
        return CompareNoCase(c->name, parts.back()) == 0;
    });
    if (it == parent->children.end()) {
        return true;
    }
    parent->children.erase(it);
    return Changed();
}

void Registry::BeginBatch() {
    std::lock_guard lock(mutex_);
    ++batchDepth_;
}

bool Registry::EndBatch() {
    std::lock_guard lock(mutex_);
    if (batchDepth_ == 0) {
        return true;
    }
    if (--batchDepth_ > 0 || !batchDirty_) {
        return true;
    }
    batchDirty_ = false;
    return WriteLocked();
}

std::string Registry::LastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

}  // namespace os
