#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace os {

// Value types of the registry, with the numbers of the original platform.
enum class RegType : uint32_t { None = 0, Sz = 1, Binary = 3, Dword = 4 };

struct RegValue {
    std::string name;
    RegType type = RegType::None;
    std::vector<uint8_t> data;
};

// The user's registry: a tree of keys holding typed values, kept in one file.
// Key paths are '\'-separated ("SOFTWARE\Maker\Sorvane\COMMON"); key and value
// names are matched ignoring ASCII letter case and keep the case they were
// created with. Subkeys enumerate in name order ignoring case, values in the
// order they were first set. Every change is written to the file at once
// (atomically), or at the end of a batch. All operations are thread-safe.
//
// A damaged file loads as far as it can be read; the first write afterwards
// keeps the damaged original beside it as "<file>.damaged", so nothing is lost.
class Registry {
public:
    explicit Registry(std::string filePath);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // ConfigDir()/<vendorKey>/registry.dat.
    static std::string DefaultFilePath(const std::string& vendorKey);

    const std::string& FilePath() const { return filePath_; }
    // Reads the file again, dropping the tree in memory. A missing file is an
    // empty registry (true); false when it cannot be read or is damaged.
    bool Reload();

    bool KeyExists(const std::string& path) const;
    // Creates the key and its parents; true when it exists afterwards.
    bool CreateKey(const std::string& path);
    // Sets a value, creating the key. False when the file could not be written
    // (the value stays set in memory) or the path is empty.
    bool SetValue(const std::string& path, const std::string& name, RegType type, const void* data,
                  size_t size);
    bool SetString(const std::string& path, const std::string& name, const std::string& text);
    bool SetDword(const std::string& path, const std::string& name, uint32_t value);
    bool SetBinary(const std::string& path, const std::string& name,
                   const std::vector<uint8_t>& bytes);

    bool QueryValue(const std::string& path, const std::string& name, RegValue* value) const;
    // The index-th value / subkey of the key; false past the end or when the
    // key does not exist.
    bool EnumValue(const std::string& path, size_t index, RegValue* value) const;
    bool EnumKey(const std::string& path, size_t index, std::string* name) const;

    bool DeleteValue(const std::string& path, const std::string& name);
    // Deletes the key with all its subkeys and values; true when it is gone
    // afterwards and the file was written.
    bool DeleteTree(const std::string& path);

    // Between BeginBatch and EndBatch changes are kept in memory and written
    // once by EndBatch, which returns whether that write succeeded.
    void BeginBatch();
    bool EndBatch();

    std::string LastError() const;

    // The file's text for a tree (exposed for the tests of the file form).
    std::string Serialize() const;

    struct Node;  // defined where the tree is kept

private:
    Node* Find(const std::string& path) const;
    Node* FindOrCreate(const std::string& path);
    bool Changed();
    bool WriteLocked();
    bool ParseLocked(const std::string& text);

    const std::string filePath_;
    mutable std::mutex mutex_;
    std::unique_ptr<Node> root_;
    std::string error_;
    int batchDepth_ = 0;
    bool batchDirty_ = false;
    bool damaged_ = false;  // the file on disk did not parse; keep a copy before replacing it
};

}  // namespace os
