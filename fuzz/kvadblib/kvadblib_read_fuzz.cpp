// Feeds arbitrary bytes to kvaDbReadFile through an in-memory file and walks
// everything a successful read hands out.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/kvadblib/kvadblib.h"

namespace {

int MemoryFile() {
    static const int fd = memfd_create("kvadb_fuzz", 0);
    return fd;
}

// A read that succeeded lists what it skipped; every listed entry is there,
// with a line inside the file.
void WalkProblems(KvaDbHnd dh, size_t size) {
    unsigned count = 0;
    if (kvaDbGetReadProblemCount(dh, &count) != kvaDbOK) {
        __builtin_trap();
    }
    char reason[40];
    for (unsigned i = 0; i < count && i < 1000; ++i) {
        int line = 0;
        const int status = kvaDbGetReadProblem(dh, i, &line, reason, sizeof reason);
        if (status != kvaDbOK || line < 1 || static_cast<size_t>(line) > size + 1) {
            __builtin_trap();
        }
    }
}

void Walk(KvaDbHnd dh) {
    char text[256];
    unsigned flags = 0;
    kvaDbGetFlags(dh, &flags);
    KvaDbMessageHnd mh = nullptr;
    for (int r = kvaDbGetFirstMsg(dh, &mh); r == kvaDbOK; r = kvaDbGetNextMsg(dh, &mh)) {
        unsigned id = 0, mflags = 0, dlc = 0;
        kvaDbGetMsgName(mh, text, sizeof text);
        kvaDbGetMsgComment(mh, text, 7);  // cut inside characters too
        kvaDbGetMsgId(mh, &id, &mflags);
        kvaDbGetMsgDlc(mh, &dlc);
        KvaDbSignalHnd sh = nullptr;
        for (int q = kvaDbGetFirstSignal(mh, &sh); q == kvaDbOK; q = kvaDbGetNextSignal(mh, &sh)) {
            int a = 0, b = 0;
            double x = 0, y = 0;
            kvaDbGetSignalName(sh, text, sizeof text);
            kvaDbGetSignalComment(sh, text, 3);
            kvaDbGetSignalUnit(sh, text, sizeof text);
            kvaDbGetSignalEncoding(sh, &a);
            kvaDbGetSignalRepresentationType(sh, &a);
            kvaDbGetSignalValueLimits(sh, &x, &y);
            kvaDbGetSignalValueScaling(sh, &x, &y);
            kvaDbGetSignalValueSize(sh, &a, &b);
            kvaDbGetSignalMode(sh, &a);
            KvaDbEnumValueHnd eh = nullptr;
            for (int e = kvaDbGetFirstEnumValue(sh, &eh); e == kvaDbOK;
                 e = kvaDbGetNextEnumValue(sh, &eh)) {
                kvaDbGetEnumValue(eh, &a, text, sizeof text);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = MemoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        return 0;
    }
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    KvaDbHnd dh = nullptr;
    if (kvaDbOpen(&dh) != kvaDbOK) {
        return 0;
    }
    char error[512];
    const int status = kvaDbReadFile(dh, path);
    kvaDbGetErrorText(status, error, sizeof error);
    unsigned len = sizeof error;
    kvaDbGetLastParseError(error, &len);
    if (status == kvaDbOK) {
        WalkProblems(dh, size);
        Walk(dh);
    }
    kvaDbClose(dh);
    return 0;
}
