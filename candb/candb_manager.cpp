#include "candb/candb_manager.h"

#include <algorithm>
#include <cstring>

#include "can/write_log.h"
#include "candb/kvadb_binding.h"

namespace {

constexpr size_t kTextBuffer = 256;
constexpr size_t kErrorBuffer = 512;
// The library's status for a message without signals.
constexpr int kNoSignalStatus = -5;

std::string ErrorText(int status) {
    char buffer[kErrorBuffer] = {};
    candb::KvaDb().getErrorText(status, buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

void LogFailure(const char* entry, int status) {
    WriteLog(kLogError, "CANdb:[%s] %s\n", entry, ErrorText(status).c_str());
}

// Reads one text of the library; logs and returns false on failure.
template <typename Fn>
bool ReadText(Fn fn, void* handle, const char* entry, std::string& out) {
    char buffer[kTextBuffer] = {};
    const int status = fn(handle, buffer, sizeof buffer);
    if (status != 0) {
        LogFailure(entry, status);
        return false;
    }
    buffer[sizeof buffer - 1] = '\0';
    out = buffer;
    return true;
}

// Four-byte UTF-8 sequences are the only ones whose byte order differs from
// the order of their UTF-16 code units (surrogates sort below U+E000).
std::u16string ToUtf16(const std::string& s) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        uint32_t cp = c;
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra > 0) {
            cp = c & (0x3F >> extra);
        }
        for (size_t k = 1; k <= extra && i + k < s.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

bool HasFourByteSequence(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

void ReadSignals(const candb::KvaDbApi& api, void* mh, void* firstSignal,
                 std::vector<CandbSignal>& signals) {
    void* sh = firstSignal;
    int status = 0;
    do {
        signals.emplace_back();
        CandbSignal& s = signals.back();
        if (!ReadText(api.getSignalName, sh, "kvaDbGetSignalName", s.name) ||
            !ReadText(api.getSignalComment, sh, "kvaDbGetSignalComment", s.comment) ||
            !ReadText(api.getSignalUnit, sh, "kvaDbGetSignalUnit", s.unit)) {
            return;
        }
        if (api.getSignalEncoding(sh, &s.encoding) != 0) {
            return;
        }
        if ((status = api.getSignalRepresentationType(sh, &s.representationType)) != 0) {
            LogFailure("kvaDbGetSignalRepresentationType", status);
            return;
        }
        if ((status = api.getSignalValueLimits(sh, &s.minimum, &s.maximum)) != 0) {
            LogFailure("kvaDbGetSignalValueLimits", status);
            return;
        }
        if ((status = api.getSignalValueScaling(sh, &s.factor, &s.offset)) != 0) {
            LogFailure("kvaDbGetSignalValueScaling", status);
            return;
        }
        if ((status = api.getSignalValueSize(sh, &s.startBit, &s.length)) != 0) {
            LogFailure("kvaDbGetSignalValueSize", status);
            return;
        }
        // Multiplexing is ours to know for decoding; a library without the
        // entry point makes every signal a plain one.
        int mode = kCandbPlainSignal;
        if (api.getSignalMode(sh, &mode) == 0) {
            s.mode = mode;
        }
        void* eh = nullptr;
        if (api.getFirstEnumValue(sh, &eh) == 0) {
            s.enumValues.emplace();
            do {
                CandbEnumValue entry;
                char buffer[kTextBuffer] = {};
                if ((status = api.getEnumValue(eh, &entry.value, buffer, sizeof buffer)) != 0) {
                    LogFailure("kvaDbGetEnumValue", status);
                    break;
                }
                buffer[sizeof buffer - 1] = '\0';
                entry.name = buffer;
                s.enumValues->push_back(std::move(entry));
            } while (api.getNextEnumValue(sh, &eh) == 0);
        }
        WriteLog(kLogDebug,
                 "\t\"%s\" Unit=\"%s\", Value=(%f, %f), Factor=[%f], Offset=[%f], "
                 "ByteOrder=[%d], ValueType=[%d], StartBit=[%d], Length=[%d]\n",
                 s.name.c_str(), s.unit.c_str(), s.minimum, s.maximum, s.factor, s.offset,
                 s.encoding, s.representationType, s.startBit, s.length);
    } while (api.getNextSignal(mh, &sh) == 0);
}

// The problems of the file just read; a library that does not list them
// gives none.
void ReadProblems(const candb::KvaDbApi& api, void* dh, size_t& count,
                  std::vector<CandbReadProblem>& problems) {
    count = 0;
    problems.clear();
    unsigned int n = 0;
    if (api.getReadProblemCount(dh, &n) != 0) {
        return;
    }
    count = n;
    for (unsigned int i = 0; i < n; ++i) {
        CandbReadProblem problem;
        char buffer[kErrorBuffer] = {};
        if (api.getReadProblem(dh, i, &problem.line, buffer, sizeof buffer) != 0) {
            break;  // the rest is counted, not listed
        }
        buffer[sizeof buffer - 1] = '\0';
        problem.reason = buffer;
        problems.push_back(std::move(problem));
    }
}

}  // namespace

bool CandbNameLess(const std::string& a, const std::string& b) {
    if (HasFourByteSequence(a) || HasFourByteSequence(b)) {
        return ToUtf16(a) < ToUtf16(b);
    }
    return a < b;  // compares as unsigned bytes
}

CCANdbManager::CCANdbManager() {
    candb::AcquireKvaDb();
}

CCANdbManager::~CCANdbManager() {
    Clear();
    candb::ReleaseKvaDb();
}

CCANdbManager& TheCandbManager() {
    static CCANdbManager manager;
    return manager;
}

void CCANdbManager::Clear() {
    messages.clear();
    messages.shrink_to_fit();
    readProblemCount = 0;
    readProblems.clear();
}

bool CCANdbManager::Load(const std::string& path, int& status, std::string& text) {
    const candb::KvaDbApi& api = candb::KvaDb();
    void* dh = nullptr;
    auto fail = [&](const char* entry, int failed) {
        status = failed;
        text = ErrorText(failed);
        WriteLog(kLogError, "CANdb:[%s] %s\n", entry, text.c_str());
        return false;
    };
    if (int s = api.open(&dh); s != 0) {
        return fail("kvaDbOpen", s);
    }
    // The whole path goes to the library: a path cut to a fixed size would
    // name another file.
    if (int s = api.readFile(dh, path.c_str()); s != 0) {
        fail("kvaDbReadFile", s);
        api.close(dh);
        return false;
    }
    Clear();
    ReadProblems(api, dh, readProblemCount, readProblems);
    if (readProblemCount != 0) {
        const CandbReadProblem first =
            readProblems.empty() ? CandbReadProblem{} : readProblems.front();
        WriteLog(kLogWarning,
                 "CANdb:[%s] %s: %zu statement(s) skipped or read in part; the first at line %d: "
                 "%s\n",
                 "kvaDbReadFile", path.c_str(), readProblemCount, first.line, first.reason.c_str());
    }
    unsigned int dbFlags = 0;
    if (int s = api.getFlags(dh, &dbFlags); s != 0) {
        fail("kvaDbGetFlags", s);
        api.close(dh);
        return false;
    }
    void* mh = nullptr;
    if (int s = api.getFirstMsg(dh, &mh); s != 0) {
        fail("kvaDbGetFirstMsg", s);
        api.close(dh);
        return false;
    }
    int s = 0;
    do {
        messages.emplace_back();
        CandbMessage& m = messages.back();
        m.flags = dbFlags;
        if (!ReadText(api.getMsgName, mh, "kvaDbGetMsgName", m.name) ||
            !ReadText(api.getMsgComment, mh, "kvaDbGetMsgComment", m.comment)) {
            break;
        }
        if ((s = api.getMsgId(mh, &m.id, &m.messageFlags)) != 0) {
            LogFailure("kvaDbGetMsgId", s);
            break;
        }
        if ((dbFlags & 1u) != 0) {
            m.id &= 0x7FFFFFFFu;
        }
        if ((s = api.getMsgDlc(mh, &m.dlc)) != 0) {
            LogFailure("kvaDbGetMsgDlc", s);
            break;
        }
        WriteLog(kLogDebug, "\xE2\x96\xA0\"%s\" ID=%08X, DLC=%u, Flags=0x%08X\n", m.name.c_str(),
                 m.id, m.dlc, m.flags);
        void* sh = nullptr;
        if ((s = api.getFirstSignal(mh, &sh)) != 0) {
            // A message without signals is taken as it is and the reading
            // goes on: real databases have such messages.
            if (s != kNoSignalStatus) {
                LogFailure("kvaDbGetFirstSignal", s);
            }
            continue;
        }
        m.signals.emplace();
        ReadSignals(api, mh, sh, *m.signals);
        std::stable_sort(m.signals->begin(), m.signals->end(),
                         [](const CandbSignal& a, const CandbSignal& b) {
                             return CandbNameLess(a.name, b.name);
                         });
    } while (api.getNextMsg(dh, &mh) == 0);
    std::stable_sort(
        messages.begin(), messages.end(),
        [](const CandbMessage& a, const CandbMessage& b) { return CandbNameLess(a.name, b.name); });
    status = api.close(dh);
    text = ErrorText(status);
    if (status != 0) {
        WriteLog(kLogError, "CANdb:[%s] %s\n", "kvaDbClose", text.c_str());
        return false;
    }
    return true;
}
