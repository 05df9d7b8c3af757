#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace os {

// Writes "key=value" into a sectioned profile (INI) file the way the private-
// profile writer of the original platform does: the file is created when it
// is missing; the section and the key are found ignoring (ASCII) letter case;
// an existing key line is replaced where it stands, a new key is appended
// after the last line of its section, a new section is appended at the end of
// the file. Lines end in CR LF, text is UTF-8, no byte-order mark is added (an
// existing one is kept). The file is replaced atomically, so a failed write
// leaves the old file as it was; failures return false with a message.
//
// When a file repeats a section or a key, every copy of the key's line is
// updated, so that the value written is the one a reader ends up with.
class PrivateProfileFile {
public:
    // Reads the file (a missing file is an empty profile). False when it exists
    // but cannot be read; the object is then unusable for Commit.
    bool Open(const std::string& fileName);
    // Applies one write to the text in memory. False when the section, key or
    // value cannot be stored as one line (line breaks, NUL, "=" in the key,
    // "]" in the section, empty key).
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    // Writes the text back atomically. False when the file could not be written.
    bool Commit();

    const std::string& FileName() const { return fileName_; }
    const std::string& LastError() const { return error_; }
    // The file as it will be written (lines joined with CR LF).
    std::string Text() const;

    // The same operation on a text, for callers and tests that hold the file
    // in memory. Returns false (text unchanged) for the inputs Set refuses.
    static bool UpdateText(std::string& text, std::string_view section, std::string_view key,
                           std::string_view value, std::string* error = nullptr);

private:
    void Parse(std::string_view text);

    std::string fileName_;
    std::string error_;
    bool open_ = false;
    bool bom_ = false;
    std::vector<std::string> lines_;
};

// One write as a whole file update: open, set, commit.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& fileName,
                               std::string* error = nullptr);

}  // namespace os
