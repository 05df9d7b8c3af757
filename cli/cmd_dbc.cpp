// sorvane-cli dbc: dump a database, decode one frame with it, or list what
// of a file the reader had to skip.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "can/write_log.h"
#include "candb/candb_manager.h"
#include "cli/commands.h"
#include "platform/os/format.h"

namespace {

const char* const kUsage =
    "sorvane-cli dbc dump FILE [--json]\n"
    "sorvane-cli dbc check FILE\n"
    "    every statement of FILE that is skipped or read in part, with its line;\n"
    "    exit status 1 when there is any\n"
    "sorvane-cli dbc decode FILE ID DATA [--dlc N] [--ext] [--fd] [--json]\n"
    "    ID in hex (0x optional), DATA hex bytes (\"11 22 33\" or 112233)";

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20) {
            out += os::Format("\\u%04x", c);
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string Number(double v) {
    if (v != v || v > 1.7e308 || v < -1.7e308) {
        return "null";
    }
    return os::Format("%.17g", v);
}

bool LoadDatabase(CCANdbManager& manager, const char* path) {
    int status = 0;
    std::string text;
    if (!manager.Load(path, status, text)) {
        std::fprintf(stderr, "sorvane-cli dbc: cannot load %s: %s (%d)\n", path, text.c_str(),
                     status);
        return false;
    }
    return true;
}

void DumpText(const CCANdbManager& manager) {
    for (const CandbMessage& m : manager.Messages()) {
        std::printf("%s (0x%08X) dlc=%u flags=0x%08X messageFlags=0x%08X comment=%s\n",
                    m.name.c_str(), m.id, m.dlc, m.flags, m.messageFlags, Json(m.comment).c_str());
        if (!m.signals) {
            continue;
        }
        for (const CandbSignal& s : *m.signals) {
            std::printf(
                "\t%s unit=%s min=%.15g max=%.15g factor=%.15g offset=%.15g encoding=%d type=%d "
                "startBit=%d length=%d mode=%d comment=%s\n",
                s.name.c_str(), Json(s.unit).c_str(), s.minimum, s.maximum, s.factor, s.offset,
                s.encoding, s.representationType, s.startBit, s.length, s.mode,
                Json(s.comment).c_str());
            if (s.enumValues) {
                for (const CandbEnumValue& e : *s.enumValues) {
                    std::printf("\t\t%d %s\n", e.value, Json(e.name).c_str());
                }
            }
        }
    }
}

void DumpJson(const CCANdbManager& manager) {
    std::string out = "[";
    bool firstMessage = true;
    for (const CandbMessage& m : manager.Messages()) {
        out += firstMessage ? "\n" : ",\n";
        firstMessage = false;
        out += os::Format(
            "{\"name\":%s,\"comment\":%s,\"id\":%u,\"dlc\":%u,\"flags\":%u,\"messageFlags\":%u,"
            "\"signals\":",
            Json(m.name).c_str(), Json(m.comment).c_str(), m.id, m.dlc, m.flags, m.messageFlags);
        if (!m.signals) {
            out += "null}";
            continue;
        }
        out += "[";
        bool firstSignal = true;
        for (const CandbSignal& s : *m.signals) {
            out += firstSignal ? "" : ",";
            firstSignal = false;
            out += os::Format(
                "{\"name\":%s,\"comment\":%s,\"unit\":%s,\"minimum\":%s,\"maximum\":%s,"
                "\"factor\":%s,\"offset\":%s,\"encoding\":%d,\"representationType\":%d,"
                "\"startBit\":%d,\"length\":%d,\"mode\":%d,\"enumValues\":",
                Json(s.name).c_str(), Json(s.comment).c_str(), Json(s.unit).c_str(),
                Number(s.minimum).c_str(), Number(s.maximum).c_str(), Number(s.factor).c_str(),
                Number(s.offset).c_str(), s.encoding, s.representationType, s.startBit, s.length,
                s.mode);
            if (!s.enumValues) {
                out += "null}";
                continue;
            }
            out += "[";
            for (size_t i = 0; i < s.enumValues->size(); ++i) {
                const CandbEnumValue& e = (*s.enumValues)[i];
                out += os::Format("%s{\"value\":%d,\"name\":%s}", i == 0 ? "" : ",", e.value,
                                  Json(e.name).c_str());
            }
            out += "]}";
        }
        out += "]}";
    }
    out += "\n]\n";
    std::fputs(out.c_str(), stdout);
}

bool ParseHexId(const char* text, uint32_t& id) {
    const char* p = text;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
    }
    if (*p == '\0' || std::strlen(p) > 8) {
        return false;
    }
    char* end = nullptr;
    const unsigned long v = std::strtoul(p, &end, 16);
    if (*end != '\0' || p[0] == '-' || p[0] == '+') {
        return false;
    }
    id = static_cast<uint32_t>(v);
    return true;
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

// Bytes as hex pairs, optionally separated by blanks, ':', '-', '.' or ','.
bool ParseData(const char* text, std::vector<uint8_t>& data) {
    // A group of odd length reads as if led by a zero: "1 22" is 01 22.
    std::vector<int> group;
    auto flush = [&]() {
        size_t i = 0;
        if (group.size() % 2 != 0) {
            data.push_back(static_cast<uint8_t>(group[0]));
            i = 1;
        }
        for (; i + 1 < group.size(); i += 2) {
            data.push_back(static_cast<uint8_t>(group[i] * 16 + group[i + 1]));
        }
        group.clear();
    };
    for (const char* p = text; *p != '\0'; ++p) {
        if (std::strchr(" \t:-.,", *p) != nullptr) {
            flush();
            continue;
        }
        const int digit = HexDigit(*p);
        if (digit < 0) {
            return false;
        }
        group.push_back(digit);
    }
    flush();
    return true;
}

bool ValidFdLength(unsigned n) {
    return n <= 8 || n == 12 || n == 16 || n == 20 || n == 24 || n == 32 || n == 48 || n == 64;
}

// Lists the file's problems; 0 for a clean file, 1 otherwise.
int Check(CCANdbManager& manager, const std::string& path) {
    if (!LoadDatabase(manager, path.c_str())) {
        return kExitFailure;
    }
    for (const CandbReadProblem& p : manager.readProblems) {
        std::printf("%s:%d: %s\n", path.c_str(), p.line, p.reason.c_str());
    }
    if (manager.readProblemCount > manager.readProblems.size()) {
        std::printf("%s: %zu more problems not listed\n", path.c_str(),
                    manager.readProblemCount - manager.readProblems.size());
    }
    if (manager.readProblemCount == 0) {
        std::printf("%s: no problems\n", path.c_str());
        return kExitOk;
    }
    return kExitFailure;
}

int Usage(const char* problem, const char* detail = "") {
    std::fprintf(stderr, "sorvane-cli dbc: %s%s\nusage:\n%s\n", problem, detail, kUsage);
    return kExitUsage;
}

int RunDbcCommand(int argc, char** argv) {
    std::vector<std::string> positional;
    bool json = false;
    bool ext = false;
    bool fd = false;
    long dlcOption = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf("usage:\n%s\n", kUsage);
            return kExitOk;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--ext") {
            ext = true;
        } else if (a == "--fd") {
            fd = true;
        } else if (a == "--dlc") {
            if (i + 1 >= argc) {
                return Usage("--dlc needs a byte count");
            }
            char* end = nullptr;
            dlcOption = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || argv[i][0] == '\0' || dlcOption < 0 || dlcOption > 64) {
                return Usage("--dlc takes a byte count of 0 to 64");
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return Usage("unknown option ", argv[i]);
        } else {
            positional.emplace_back(a);
        }
    }
    if (positional.empty()) {
        return Usage("dump, check or decode expected");
    }
    // Debug lines of the load would drown the output; errors stay on stderr,
    // and so does the warning about skipped statements, which check lists.
    const bool check = positional[0] == "check";
    SetLogSink([check](int level, const std::string& text) {
        if (level == kLogError || (level == kLogWarning && !check)) {
            std::fputs(text.c_str(), stderr);
        }
    });
    struct SinkReset {
        ~SinkReset() { SetLogSink(nullptr); }
    } sinkReset;
    CCANdbManager manager;
    if (positional[0] == "dump") {
        if (positional.size() != 2) {
            return Usage("dump takes one FILE");
        }
        if (!LoadDatabase(manager, positional[1].c_str())) {
            return kExitFailure;
        }
        json ? DumpJson(manager) : DumpText(manager);
        return kExitOk;
    }
    if (check) {
        if (positional.size() != 2) {
            return Usage("check takes one FILE");
        }
        return Check(manager, positional[1]);
    }
    if (positional[0] != "decode") {
        return Usage("unknown sub-command ", positional[0].c_str());
    }
    if (positional.size() != 4) {
        return Usage("decode takes FILE ID DATA");
    }
    CanFrameRecord record{};
    std::vector<uint8_t> data;
    if (!ParseHexId(positional[2].c_str(), record.id)) {
        return Usage("ID must be a hexadecimal identifier");
    }
    if (record.id > (ext ? 0x1FFFFFFFu : 0x7FFu)) {
        return Usage(ext ? "an extended identifier has at most 29 bits"
                         : "a standard identifier has at most 11 bits (use --ext)");
    }
    if (!ParseData(positional[3].c_str(), data)) {
        return Usage("DATA must be hexadecimal bytes");
    }
    const size_t maxBytes = fd ? 64 : 8;
    if (data.size() > maxBytes) {
        return Usage(fd ? "a CAN FD frame carries at most 64 bytes"
                        : "a classic frame carries at most 8 bytes (use --fd)");
    }
    const unsigned dlc =
        dlcOption >= 0 ? static_cast<unsigned>(dlcOption) : static_cast<unsigned>(data.size());
    if (dlc > maxBytes || (fd && !ValidFdLength(dlc))) {
        return Usage("the byte count does not fit the frame");
    }
    std::memcpy(record.data, data.data(), data.size());
    record.dlc = dlc;
    record.flags = (ext ? kMsgExt : kMsgStd) | (fd ? kFdMsgFdf : 0u);
    record.direction = kDirectionReceived;
    record.status = kStatusOk;
    if (!LoadDatabase(manager, positional[1].c_str())) {
        return kExitFailure;
    }
    if (!manager.Decode(record)) {
        std::fprintf(stderr, "sorvane-cli dbc: no signal of identifier 0x%X in %s\n", record.id,
                     positional[1].c_str());
        return kExitFailure;
    }
    const std::vector<std::string>& t = manager.decodedTexts;
    if (json) {
        std::string out = "[";
        for (size_t i = 0; i + 2 < t.size(); i += 3) {
            out += os::Format("%s\n{\"name\":%s,\"value\":%s,\"table\":%s}", i == 0 ? "" : ",",
                              Json(t[i]).c_str(), Json(t[i + 1]).c_str(), Json(t[i + 2]).c_str());
        }
        out += "\n]\n";
        std::fputs(out.c_str(), stdout);
    } else {
        for (size_t i = 0; i + 2 < t.size(); i += 3) {
            std::printf("%s\t%s\t%s\n", t[i].c_str(), t[i + 1].c_str(), t[i + 2].c_str());
        }
    }
    return kExitOk;
}

const bool registered = RegisterCliCommand({"dbc", kUsage, &RunDbcCommand});

}  // namespace
