#include "ini_file.h"

#include <cctype>

namespace vcan {

std::string Trim(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

namespace {

// A comment starts at ';' or '#' at the line start or after white space, so that values
// such as "#1" inside a word stay intact.
std::string StripComment(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if ((line[i] == ';' || line[i] == '#') &&
            (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
            return line.substr(0, i);
        }
    }
    return line;
}

}  // namespace

void IniFile::Parse(const std::string& text, std::vector<std::string>* errors) {
    sections_.clear();
    size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (lineNo == 1 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0)
            raw.erase(0, 3);
        const std::string line = Trim(StripComment(raw));
        if (line.empty()) {
            if (end == text.size())
                break;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                errors->push_back("line " + std::to_string(lineNo) + ": bad section header");
                sections_.push_back({"", lineNo, {}});  // entries up to the next header are lost
                continue;
            }
            sections_.push_back({Trim(line.substr(1, line.size() - 2)), lineNo, {}});
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            errors->push_back("line " + std::to_string(lineNo) + ": expected key = value");
            continue;
        }
        if (sections_.empty() || sections_.back().name.empty()) {
            if (sections_.empty()) {
                errors->push_back("line " + std::to_string(lineNo) + ": entry outside a section");
            }
            continue;
        }
        sections_.back().entries.push_back(
            {Lower(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1)), lineNo});
        if (end == text.size())
            break;
    }
}

}  // namespace vcan
