#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/os/private_profile.h"
#include "settings/section_data.h"

// Reads a whole environment profile file into memory and writes single values
// back into a file through the private-profile writer. Text is UTF-8.
class CProfile {
public:
    explicit CProfile(std::string fileName = {}) : fileName_(std::move(fileName)) {}
    virtual ~CProfile();
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    // Parses the file. False when it cannot be opened or read (or is larger
    // than the reader accepts); sections read so far stay.
    virtual bool Load(const std::string& path);
    // The parser itself, on text already in memory.
    void LoadText(std::string_view text);

    virtual bool GetSectionName(int index, std::string* name) const;
    // Starts the enumeration of the section of exactly this name.
    virtual bool FindFirstValue(const std::string& section, std::string* key, uint8_t* data,
                                uint32_t* length, uint8_t* type);
    // Decodes the next entry of the current section into data (capacity
    // *length bytes). Text: the bytes with a terminating NUL, cut to the
    // buffer at a character boundary, *length the bytes stored without the
    // NUL; bytes: each comma-separated piece as one byte; number: 4 bytes
    // little-endian; no data: nothing stored and *length unchanged.
    virtual bool FindNextValue(std::string* key, uint8_t* data, uint32_t* length, uint8_t* type);

    virtual bool WriteBinary(const std::string& section, const std::string& key,
                             const uint8_t* bytes, size_t count);
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& text);
    virtual bool WriteDword(const std::string& section, const std::string& key, uint32_t value);
    // Writes "key"=value (the key in double quotes, the value as given).
    virtual bool WriteValue(const std::string& section, const std::string& key,
                            const std::string& value);
    virtual void Clear();

    // Collects the writes of one save in memory and replaces the file once, so
    // a save is all or nothing. EndWrite returns whether the file was written
    // and every value accepted.
    bool BeginWrite();
    bool EndWrite();
    const std::string& LastError() const { return error_; }

    size_t SectionCount() const { return sections_.size(); }
    SectionData* Section(size_t index) const { return sections_[index].get(); }
    SectionData* FindSection(const std::string& name) const;
    void SetCurrent(SectionData* section) { current_ = section; }

    static constexpr size_t kMaxFileSize = 16u << 20;

private:
    std::vector<std::unique_ptr<SectionData>> sections_;
    std::unordered_map<std::string, SectionData*> index_;
    std::string fileName_;
    SectionData* current_ = nullptr;
    std::unique_ptr<os::PrivateProfileFile> batch_;
    bool batchFailed_ = false;
    std::string error_;
};

// The text forms of the writer: "hex:" bytes, "dword:%08x".
std::string FormatProfileBytes(const uint8_t* bytes, size_t count);
std::string FormatProfileDword(uint32_t value);
