#include "private_profile.h"

#include <cstddef>
#include <utility>

#include "atomic_file.h"

namespace os {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
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

// The section name of a header line "[name]", or false for other lines.
bool SectionOf(std::string_view line, std::string_view* name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return false;
    }
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return false;
    }
    *name = Trim(line.substr(1, close - 1));
    return true;
}

bool KeyOf(std::string_view line, std::string_view* key) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') {
        return false;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    *key = Trim(line.substr(0, equals));
    return true;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool Check(std::string_view section, std::string_view key, std::string_view value,
           std::string* error) {
    const char* problem = nullptr;
    if (HasLineBreakOrNul(section) || section.find(']') != std::string_view::npos) {
        problem = "section name cannot be written as a header line";
    } else if (Trim(key).empty() || HasLineBreakOrNul(key) ||
               key.find('=') != std::string_view::npos) {
        problem = "key cannot be written as the start of a line";
    } else if (HasLineBreakOrNul(value)) {
        problem = "value cannot be written on one line";
    }
    if (problem != nullptr && error != nullptr) {
        *error = problem;
    }
    return problem == nullptr;
}

bool ApplyToLines(std::vector<std::string>& lines, std::string_view section, std::string_view key,
                  std::string_view value) {
    std::string newLine(key);
    newLine.push_back('=');
    newLine.append(value);
    const std::string_view wantedSection = Trim(section);
    const std::string_view wantedKey = Trim(key);
    bool inSection = false;
    bool replaced = false;
    size_t firstSectionEnd = std::string::npos;  // insertion point in the first match
    bool firstSectionOpen = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionOf(lines[i], &name)) {
            inSection = EqualNoCase(name, wantedSection);
            if (inSection && firstSectionEnd == std::string::npos) {
                firstSectionEnd = i + 1;
                firstSectionOpen = true;
            } else {
                firstSectionOpen = false;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (firstSectionOpen && !Trim(lines[i]).empty()) {
            firstSectionEnd = i + 1;
        }
        std::string_view lineKey;
        if (KeyOf(lines[i], &lineKey) && EqualNoCase(lineKey, wantedKey)) {
            lines[i] = newLine;
            replaced = true;
        }
    }
    if (replaced) {
        return true;
    }
    if (firstSectionEnd != std::string::npos) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(firstSectionEnd), newLine);
        return true;
    }
    std::string header(1, '[');
    header.append(section);
    header.push_back(']');
    lines.push_back(std::move(header));
    lines.push_back(newLine);
    return true;
}

}  // namespace

void PrivateProfileFile::Parse(std::string_view text) {
    lines_.clear();
    bom_ = text.substr(0, kBom.size()) == kBom;
    if (bom_) {
        text.remove_prefix(kBom.size());
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines_.emplace_back(line);
        start = last ? end : end + 1;
    }
}

bool PrivateProfileFile::Open(const std::string& fileName) {
    fileName_ = fileName;
    open_ = false;
    error_.clear();
    std::string text;
    bool missing = false;
    if (!ReadWholeFile(fileName, &text, &error_, 64u << 20, &missing)) {
        if (!missing) {
            return false;
        }
        text.clear();
        error_.clear();
    }
    Parse(text);
    open_ = true;
    return true;
}

bool PrivateProfileFile::Set(std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!Check(section, key, value, &error_)) {
        return false;
    }
    return ApplyToLines(lines_, section, key, value);
}

std::string PrivateProfileFile::Text() const {
    std::string text = bom_ ? std::string(kBom) : std::string();
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool PrivateProfileFile::Commit() {
    if (!open_) {
        if (error_.empty()) {
            error_ = "profile file not open";
        }
        return false;
    }
    return WriteFileAtomically(fileName_, Text(), &error_);
}

bool PrivateProfileFile::UpdateText(std::string& text, std::string_view section,
                                    std::string_view key, std::string_view value,
                                    std::string* error) {
    if (!Check(section, key, value, error)) {
        return false;
    }
    PrivateProfileFile file;
    file.Parse(text);
    ApplyToLines(file.lines_, section, key, value);
    text = file.Text();
    return true;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName,
                               std::string* error) {
    PrivateProfileFile file;
    bool ok = file.Open(fileName) && file.Set(section, key, value) && file.Commit();
    if (!ok && error != nullptr) {
        *error = file.LastError();
    }
    return ok;
}

}  // namespace os
