// The kvaDb C interface over our DBC reader. Handles are the reader's own
// records; each carries a magic number so that a wrong kind of handle is
// refused with a status instead of being read as something else.

#include "platform/kvadblib/kvadblib.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "platform/kvadblib/dbc_database.h"
#include "platform/kvadblib/dbc_parser.h"
#include "platform/kvadblib/text_encoding.h"

namespace {

using kvadb::DbcDatabase;
using kvadb::DbcEnumValue;
using kvadb::DbcMessage;
using kvadb::DbcSignal;

constexpr uint32_t kDatabaseMagic = 0x44424831;  // "DBH1"
// Real databases stay far below this; a larger file is refused rather than
// read into memory whole.
constexpr long long kMaxFileBytes = 256LL * 1024 * 1024;

struct DatabaseHandle {
    uint32_t magic = kDatabaseMagic;
    std::unique_ptr<DbcDatabase> db = std::make_unique<DbcDatabase>();
    size_t messageCursor = 0;
};

// Details of this thread's last failure, appended to the status text.
thread_local std::string lastParseError;
thread_local std::string lastOpenError;

DatabaseHandle* AsDatabase(KvaDbHnd dh) {
    auto* h = static_cast<DatabaseHandle*>(dh);
    return h != nullptr && h->magic == kDatabaseMagic ? h : nullptr;
}

DbcMessage* AsMessage(KvaDbMessageHnd mh) {
    auto* m = static_cast<DbcMessage*>(mh);
    return m != nullptr && m->magic == kvadb::kMessageMagic ? m : nullptr;
}

DbcSignal* AsSignal(KvaDbSignalHnd sh) {
    auto* s = static_cast<DbcSignal*>(sh);
    return s != nullptr && s->magic == kvadb::kSignalMagic ? s : nullptr;
}

const DbcEnumValue* AsEnumValue(KvaDbEnumValueHnd eh) {
    const auto* e = static_cast<const DbcEnumValue*>(eh);
    return e != nullptr && e->magic == kvadb::kEnumMagic ? e : nullptr;
}

// Copies text cut to the buffer at a character boundary; the caller's
// fixed-size buffers must never fail a long comment.
KvaDbStatus CopyText(const std::string& text, char* buf, size_t buflen) {
    if (buf == nullptr || buflen == 0) {
        return kvaDbErr_Param;
    }
    const size_t n = kvadb::Utf8PrefixLength(text, buflen - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return kvaDbOK;
}

const char* StatusText(KvaDbStatus status) {
    switch (status) {
        case kvaDbOK:
            return "No error";
        case kvaDbErr_Fail:
            return "General failure";
        case kvaDbErr_NoDatabase:
            return "No database handle or not a database handle";
        case kvaDbErr_Param:
            return "Invalid parameter";
        case kvaDbErr_NoMsg:
            return "No more messages";
        case kvaDbErr_NoSignal:
            return "No more signals";
        case kvaDbErr_Internal:
            return "Internal error";
        case kvaDbErr_DbFileOpen:
            return "Could not open the database file";
        case kvaDbErr_DatabaseInternal:
            return "Internal database error";
        case kvaDbErr_NoNode:
            return "No such node";
        case kvaDbErr_NoAttrib:
            return "No such attribute";
        case kvaDbErr_OnlyOneAllowed:
            return "Only one object of this kind is allowed";
        case kvaDbErr_WrongOwner:
            return "The object has another owner";
        case kvaDbErr_InUse:
            return "The object is in use";
        case kvaDbErr_BufferSize:
            return "The buffer is too small";
        case kvaDbErr_DbFileParse:
            return "Error in the database file";
        case kvaDbErr_NoEnumValue:
            return "No more value descriptions";
        default:
            return nullptr;
    }
}

KvaDbStatus ReadWholeFile(const char* filename, std::string& content) {
    FILE* file = std::fopen(filename, "rb");
    if (file == nullptr) {
        lastOpenError = std::string(filename) + ": " + std::strerror(errno);
        return kvaDbErr_DbFileOpen;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        lastOpenError = std::string(filename) + ": not a regular file";
        std::fclose(file);
        return kvaDbErr_DbFileOpen;
    }
    if (info.st_size > kMaxFileBytes) {
        lastOpenError = std::string(filename) + ": larger than 256 MB";
        std::fclose(file);
        return kvaDbErr_DbFileOpen;
    }
    // Read to the end rather than trusting the size: files of /proc report 0.
    content.clear();
    content.reserve(static_cast<size_t>(info.st_size));
    char chunk[65536];
    size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (content.size() + n > static_cast<size_t>(kMaxFileBytes)) {
            tooLarge = true;
            break;
        }
        content.append(chunk, n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || tooLarge) {
        lastOpenError = std::string(filename) + (failed ? ": read error" : ": larger than 256 MB");
        return kvaDbErr_DbFileOpen;
    }
    return kvaDbOK;
}

}  // namespace

extern "C" {

KvaDbStatus kvaDbGetVersion(int* major, int* minor, int* build) {
    if (major == nullptr || minor == nullptr || build == nullptr) {
        return kvaDbErr_Param;
    }
    *major = KVADBLIB_VERSION_MAJOR;
    *minor = KVADBLIB_VERSION_MINOR;
    *build = KVADBLIB_VERSION_BUILD;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetErrorText(KvaDbStatus error, char* buf, size_t buflen) {
    const char* base = StatusText(error);
    std::string text = base != nullptr ? base : "Unknown error (" + std::to_string(error) + ")";
    if (error == kvaDbErr_DbFileParse && !lastParseError.empty()) {
        text += ": " + lastParseError;
    } else if (error == kvaDbErr_DbFileOpen && !lastOpenError.empty()) {
        text += ": " + lastOpenError;
    }
    return CopyText(text, buf, buflen);
}

KvaDbStatus kvaDbGetLastParseError(char* buf, unsigned int* buflen) {
    if (buflen == nullptr) {
        return kvaDbErr_Param;
    }
    const size_t needed = lastParseError.size() + 1;
    if (buf == nullptr || *buflen < needed) {
        *buflen = static_cast<unsigned int>(needed);
        return kvaDbErr_BufferSize;
    }
    std::memcpy(buf, lastParseError.c_str(), needed);
    *buflen = static_cast<unsigned int>(needed);
    return kvaDbOK;
}

KvaDbStatus kvaDbOpen(KvaDbHnd* dh) {
    if (dh == nullptr) {
        return kvaDbErr_Param;
    }
    auto* handle = new (std::nothrow) DatabaseHandle;
    if (handle == nullptr) {
        return kvaDbErr_Internal;
    }
    *dh = handle;
    return kvaDbOK;
}

KvaDbStatus kvaDbClose(KvaDbHnd dh) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    h->magic = 0;
    delete h;
    return kvaDbOK;
}

KvaDbStatus kvaDbReadFile(KvaDbHnd dh, const char* filename) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (filename == nullptr || filename[0] == '\0') {
        return kvaDbErr_Param;
    }
    lastParseError.clear();
    lastOpenError.clear();
    try {
        std::string content;
        if (KvaDbStatus status = ReadWholeFile(filename, content); status != kvaDbOK) {
            return status;
        }
        const std::string text = kvadb::NormaliseFileText(content);
        auto db = std::make_unique<DbcDatabase>();
        std::string error;
        if (!kvadb::ParseDbc(text, *db, error)) {
            lastParseError = error;
            return kvaDbErr_DbFileParse;
        }
        // Only a file read completely replaces what the handle held.
        h->db = std::move(db);
        h->messageCursor = 0;
        return kvaDbOK;
    } catch (const std::bad_alloc&) {
        lastParseError = "out of memory";
        return kvaDbErr_Internal;
    } catch (...) {
        return kvaDbErr_Internal;
    }
}

KvaDbStatus kvaDbGetReadProblemCount(KvaDbHnd dh, unsigned int* count) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (count == nullptr) {
        return kvaDbErr_Param;
    }
    const size_t n = h->db->problemCount;
    *count = n > std::numeric_limits<unsigned int>::max() ? std::numeric_limits<unsigned int>::max()
                                                          : static_cast<unsigned int>(n);
    return kvaDbOK;
}

KvaDbStatus kvaDbGetReadProblem(KvaDbHnd dh, unsigned int index, int* line, char* buf,
                                size_t buflen) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (line == nullptr || index >= h->db->problems.size()) {
        return kvaDbErr_Param;
    }
    const kvadb::DbcProblem& problem = h->db->problems[index];
    *line = problem.line;
    return CopyText(problem.reason, buf, buflen);
}

KvaDbStatus kvaDbGetFlags(KvaDbHnd dh, unsigned int* flags) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (flags == nullptr) {
        return kvaDbErr_Param;
    }
    *flags = h->db->flags;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetFirstMsg(KvaDbHnd dh, KvaDbMessageHnd* mh) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (mh == nullptr) {
        return kvaDbErr_Param;
    }
    h->messageCursor = 0;
    if (h->db->messages.empty()) {
        return kvaDbErr_NoMsg;
    }
    *mh = h->db->messages[0].get();
    return kvaDbOK;
}

KvaDbStatus kvaDbGetNextMsg(KvaDbHnd dh, KvaDbMessageHnd* mh) {
    DatabaseHandle* h = AsDatabase(dh);
    if (h == nullptr) {
        return kvaDbErr_NoDatabase;
    }
    if (mh == nullptr) {
        return kvaDbErr_Param;
    }
    if (h->messageCursor + 1 >= h->db->messages.size()) {
        h->messageCursor = h->db->messages.size();
        return kvaDbErr_NoMsg;
    }
    ++h->messageCursor;
    *mh = h->db->messages[h->messageCursor].get();
    return kvaDbOK;
}

KvaDbStatus kvaDbGetMsgName(KvaDbMessageHnd mh, char* buf, size_t buflen) {
    const DbcMessage* m = AsMessage(mh);
    return m == nullptr ? kvaDbErr_NoMsg : CopyText(m->name, buf, buflen);
}

KvaDbStatus kvaDbGetMsgComment(KvaDbMessageHnd mh, char* buf, size_t buflen) {
    const DbcMessage* m = AsMessage(mh);
    return m == nullptr ? kvaDbErr_NoMsg : CopyText(m->comment, buf, buflen);
}

KvaDbStatus kvaDbGetMsgId(KvaDbMessageHnd mh, unsigned int* id, unsigned int* flags) {
    const DbcMessage* m = AsMessage(mh);
    if (m == nullptr) {
        return kvaDbErr_NoMsg;
    }
    if (id == nullptr || flags == nullptr) {
        return kvaDbErr_Param;
    }
    *id = m->id;
    *flags = m->flags;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetMsgFlags(KvaDbMessageHnd mh, unsigned int* flags) {
    const DbcMessage* m = AsMessage(mh);
    if (m == nullptr) {
        return kvaDbErr_NoMsg;
    }
    if (flags == nullptr) {
        return kvaDbErr_Param;
    }
    *flags = m->flags;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetMsgDlc(KvaDbMessageHnd mh, unsigned int* dlc) {
    const DbcMessage* m = AsMessage(mh);
    if (m == nullptr) {
        return kvaDbErr_NoMsg;
    }
    if (dlc == nullptr) {
        return kvaDbErr_Param;
    }
    *dlc = m->dlc;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetFirstSignal(KvaDbMessageHnd mh, KvaDbSignalHnd* sh) {
    DbcMessage* m = AsMessage(mh);
    if (m == nullptr) {
        return kvaDbErr_NoMsg;
    }
    if (sh == nullptr) {
        return kvaDbErr_Param;
    }
    m->signalCursor = 0;
    if (m->signals.empty()) {
        return kvaDbErr_NoSignal;
    }
    *sh = m->signals[0].get();
    return kvaDbOK;
}

KvaDbStatus kvaDbGetNextSignal(KvaDbMessageHnd mh, KvaDbSignalHnd* sh) {
    DbcMessage* m = AsMessage(mh);
    if (m == nullptr) {
        return kvaDbErr_NoMsg;
    }
    if (sh == nullptr) {
        return kvaDbErr_Param;
    }
    if (m->signalCursor + 1 >= m->signals.size()) {
        m->signalCursor = m->signals.size();
        return kvaDbErr_NoSignal;
    }
    ++m->signalCursor;
    *sh = m->signals[m->signalCursor].get();
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalName(KvaDbSignalHnd sh, char* buf, size_t buflen) {
    const DbcSignal* s = AsSignal(sh);
    return s == nullptr ? kvaDbErr_NoSignal : CopyText(s->name, buf, buflen);
}

KvaDbStatus kvaDbGetSignalComment(KvaDbSignalHnd sh, char* buf, size_t buflen) {
    const DbcSignal* s = AsSignal(sh);
    return s == nullptr ? kvaDbErr_NoSignal : CopyText(s->comment, buf, buflen);
}

KvaDbStatus kvaDbGetSignalUnit(KvaDbSignalHnd sh, char* buf, size_t buflen) {
    const DbcSignal* s = AsSignal(sh);
    return s == nullptr ? kvaDbErr_NoSignal : CopyText(s->unit, buf, buflen);
}

KvaDbStatus kvaDbGetSignalEncoding(KvaDbSignalHnd sh, int* encoding) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (encoding == nullptr) {
        return kvaDbErr_Param;
    }
    *encoding = s->encoding;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalRepresentationType(KvaDbSignalHnd sh, int* type) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (type == nullptr) {
        return kvaDbErr_Param;
    }
    *type = s->representationType;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalValueLimits(KvaDbSignalHnd sh, double* minval, double* maxval) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (minval == nullptr || maxval == nullptr) {
        return kvaDbErr_Param;
    }
    *minval = s->minimum;
    *maxval = s->maximum;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalValueScaling(KvaDbSignalHnd sh, double* factor, double* offset) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (factor == nullptr || offset == nullptr) {
        return kvaDbErr_Param;
    }
    *factor = s->factor;
    *offset = s->offset;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalValueSize(KvaDbSignalHnd sh, int* startbit, int* length) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (startbit == nullptr || length == nullptr) {
        return kvaDbErr_Param;
    }
    *startbit = s->startBit;
    *length = s->length;
    return kvaDbOK;
}

KvaDbStatus kvaDbGetSignalMode(KvaDbSignalHnd sh, int* mode) {
    const DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (mode == nullptr) {
        return kvaDbErr_Param;
    }
    switch (s->mux) {
        case kvadb::MuxKind::Plain:
            *mode = KVADB_MUX_INDEPENDENT;
            break;
        case kvadb::MuxKind::Multiplexor:
            *mode = KVADB_MUX_SIGNAL;
            break;
        case kvadb::MuxKind::Multiplexed:
            *mode = static_cast<int>(s->muxValue);
            break;
    }
    return kvaDbOK;
}

KvaDbStatus kvaDbGetFirstEnumValue(KvaDbSignalHnd sh, KvaDbEnumValueHnd* eh) {
    DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (eh == nullptr) {
        return kvaDbErr_Param;
    }
    s->enumCursor = 0;
    if (s->enumValues.empty()) {
        return kvaDbErr_NoEnumValue;
    }
    *eh = &s->enumValues[0];
    return kvaDbOK;
}

KvaDbStatus kvaDbGetNextEnumValue(KvaDbSignalHnd sh, KvaDbEnumValueHnd* eh) {
    DbcSignal* s = AsSignal(sh);
    if (s == nullptr) {
        return kvaDbErr_NoSignal;
    }
    if (eh == nullptr) {
        return kvaDbErr_Param;
    }
    if (s->enumCursor + 1 >= s->enumValues.size()) {
        s->enumCursor = s->enumValues.size();
        return kvaDbErr_NoEnumValue;
    }
    ++s->enumCursor;
    *eh = &s->enumValues[s->enumCursor];
    return kvaDbOK;
}

KvaDbStatus kvaDbGetEnumValue(KvaDbEnumValueHnd eh, int* val, char* buf, size_t buflen) {
    const DbcEnumValue* e = AsEnumValue(eh);
    if (e == nullptr) {
        return kvaDbErr_NoEnumValue;
    }
    if (val == nullptr) {
        return kvaDbErr_Param;
    }
    // The interface carries 32 bits; larger values keep their low 32 bits,
    // which is what a raw value of a 32-bit signal compares against.
    *val = static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(e->value)));
    return CopyText(e->name, buf, buflen);
}

}  // extern "C"
