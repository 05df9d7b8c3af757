#pragma once

// What the DBC reader keeps of a file: the parts the kvaDb interface hands
// out. Texts are UTF-8.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvadb {

// Guards against a stale or foreign pointer handed back through the C API.
inline constexpr uint32_t kMessageMagic = 0x4D534731;  // "MSG1"
inline constexpr uint32_t kSignalMagic = 0x53494731;   // "SIG1"
inline constexpr uint32_t kEnumMagic = 0x454E5531;     // "ENU1"

struct DbcEnumValue {
    uint32_t magic = kEnumMagic;
    int64_t value = 0;
    std::string name;
};

enum class MuxKind : uint8_t { Plain, Multiplexor, Multiplexed };

struct DbcSignal {
    uint32_t magic = kSignalMagic;
    std::string name;
    std::string comment;
    std::string unit;
    double minimum = 0;
    double maximum = 0;
    double factor = 1;
    double offset = 0;
    int encoding = 0;            // 0 Intel, 1 Motorola
    int representationType = 0;  // 1 signed, 2 unsigned, 3 float, 4 double
    int fileStartBit = 0;        // as written: the LSB (Intel) or the MSB (Motorola)
    int startBit = 0;            // the LSB, 8 * byte + bit
    int length = 0;
    MuxKind mux = MuxKind::Plain;
    bool alsoMultiplexor = false;  // "mNM": multiplexed and a multiplexor itself
    int64_t muxValue = 0;
    std::vector<std::string> receivers;
    std::vector<DbcEnumValue> enumValues;
    size_t enumCursor = 0;
};

struct DbcMessage {
    uint32_t magic = kMessageMagic;
    uint32_t fileId = 0;  // as written, bit 31 the extended marker
    uint32_t id = 0;      // without the marker
    uint32_t flags = 0;   // KVADB_MESSAGE_*
    uint32_t dlc = 0;
    std::string name;
    std::string comment;
    std::string sender;
    std::vector<std::string> transmitters;  // BO_TX_BU_
    // Signals are held by pointer so that handles stay put while the list grows.
    std::vector<std::unique_ptr<DbcSignal>> signals;
    size_t signalCursor = 0;
    bool hasFrameFormat = false;  // VFrameFormat given for this message
};

struct DbcNode {
    std::string name;
    std::string comment;
};

enum class AttributeOwner : uint8_t { Network, Node, Message, Signal, EnvVar, Relation };
enum class AttributeKind : uint8_t { Int, Hex, Float, String, Enum };

struct DbcAttributeDefinition {
    std::string name;
    AttributeOwner owner = AttributeOwner::Network;
    AttributeKind kind = AttributeKind::Int;
    double minimum = 0;
    double maximum = 0;
    std::vector<std::string> enumNames;
    bool hasDefault = false;
    std::string defaultText;  // a string or enum default as written
    double defaultNumber = 0;
};

struct DbcValueTable {
    std::string name;
    std::vector<DbcEnumValue> values;
};

struct DbcEnvironmentVariable {
    std::string name;
    std::string unit;
    std::string comment;
    int type = 0;
    double minimum = 0;
    double maximum = 0;
    double initial = 0;
};

struct DbcSignalGroup {
    uint32_t messageId = 0;
    std::string name;
    std::vector<std::string> signalNames;
};

// A statement the reader skipped, or read in part, and why.
struct DbcProblem {
    int line = 0;
    std::string reason;
};

// A file of nothing but problems lists at most this many; the count goes on.
inline constexpr size_t kMaxListedProblems = 1000;

struct DbcDatabase {
    std::string version;
    std::string comment;
    std::string protocolType;
    uint32_t flags = 0;  // KVADB_DATABASE_*
    std::vector<DbcNode> nodes;
    std::vector<std::unique_ptr<DbcMessage>> messages;
    std::vector<DbcAttributeDefinition> attributeDefinitions;
    std::vector<DbcValueTable> valueTables;
    std::vector<DbcEnvironmentVariable> environmentVariables;
    std::vector<DbcSignalGroup> signalGroups;
    std::vector<DbcProblem> problems;  // in file order, the first kMaxListedProblems
    size_t problemCount = 0;           // all of them
};

}  // namespace kvadb
