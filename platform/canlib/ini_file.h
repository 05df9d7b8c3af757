// A small INI reader for scenario files: sections, key = value lines, ';' and '#' comments.
#pragma once

#include <string>
#include <vector>

namespace vcan {

struct IniEntry {
    std::string key;  // lower case
    std::string value;
    int line = 0;
};

struct IniSection {
    std::string name;  // as written, trimmed
    int line = 0;
    std::vector<IniEntry> entries;
};

class IniFile {
public:
    // Lines outside any section and lines that are neither a section nor an entry are
    // reported in `errors` as "line N: ..." and skipped.
    void Parse(const std::string& text, std::vector<std::string>* errors);
    const std::vector<IniSection>& Sections() const { return sections_; }

private:
    std::vector<IniSection> sections_;
};

std::string Trim(const std::string& s);
std::string Lower(std::string s);

}  // namespace vcan
