// sorvane-cli convert run as a user would, and our logs against the tools
// that read and write them: can-utils (log2asc, asc2log) and python-can.
// The peers' tests skip, saying so, where a peer is not installed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "can/log_reader.h"
#include "log_test_support.h"
#include "test_files.h"
#include "tests/command_output.h"

namespace {

using test_support::CommandResult;
using test_support::RunCommand;

// A folder of this test process, removed when it ends.
struct Folder {
    std::string path = TempPath("convert_cli");
    Folder() { EXPECT_EQ(std::system(("mkdir -p '" + path + "'").c_str()), 0); }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
};

std::string Dir() {
    static const Folder folder;
    return folder.path;
}

std::string Put(const std::string& name, const std::string& text) {
    std::ofstream(Dir() + "/" + name, std::ios::binary) << text;
    return Dir() + "/" + name;
}

CommandResult Convert(const std::string& args) {
    return RunCommand("cd '" + Dir() + "' && '" SORVANE_TEST_CLI "' convert " + args + " 2>&1");
}

// Every kind of frame on three channels, as our candump writer writes it.
const char kFrames[] =
    "(1700000000.000001) can0 123#010203 R\n"
    "(1700000000.100000) can1 18DAF110#1122334455667788 T\n"
    "(1700000000.200000) can0 00000012# R\n"
    "(1700000000.300000) can0 123#R R\n"
    "(1700000000.300100) can2 1AB#R4 T\n"
    "(1700000000.400000) can2 456##1000102030405060708090A0B R\n"
    "(1700000000.500000) can0 456##31122334455667788990011223344556677889900 T\n"
    "(1700000000.550000) can1 7FF##0 R\n"
    "(1700000000.600000) can1 20000080#0000000000000000\n"
    "(1700000001.700000) can1 1FFFFFFF##1404142434445464748494A4B4C4D4E4F505152535455565758595A"
    "5B5C5D5E5F606162636465666768696A6B6C6D6E6F707172737475767778797A7B7C7D7E7F R\n";

// One line a frame, times from the first frame on (the peers count from
// different dates), error frames by their time only (the formats and peers
// give them different contents and channels).
std::string Canonical(const std::vector<LogFrame>& frames, bool remoteLengths = true) {
    std::string text;
    for (LogFrame f : frames) {
        f.time -= frames.front().time;
        if (f.record.flags & kMsgErrorFrame) {
            text += std::to_string(f.time) + " X\n";
            continue;
        }
        if (!remoteLengths && (f.record.flags & kMsgRtr)) {
            f.record.dlc = 0;
        }
        text += log_test::Show(f) + "\n";
    }
    return text;
}

std::string CanonicalOf(LogFormat format, const std::string& path, bool remoteLengths = true) {
    const log_test::ReadResult r = log_test::Read(format, ReadFile(path));
    EXPECT_TRUE(r.ok) << path << ": " << r.error;
    return r.ok && !r.frames.empty() ? Canonical(r.frames, remoteLengths) : "<nothing read>";
}

// python-can reads a log and prints its frames the way Canonical does, or
// writes them again with its own writer (chosen by the extension).
const char kPythonPeer[] = R"(import sys, can
mode, source = sys.argv[1], sys.argv[2]
frames = list(can.LogReader(source))
if mode == "write":
    with can.Logger(sys.argv[3]) as logger:
        for m in frames:
            logger.on_message_received(m)
    sys.exit(0)
first = frames[0].timestamp
for m in frames:
    t = round((m.timestamp - first) * 1e6)
    if m.is_error_frame:
        print(f"{t} X")
        continue
    ch = m.channel if isinstance(m.channel, int) else int("".join(c for c in m.channel if c.isdigit()))
    flags = [n for n, on in (("E", m.is_extended_id), ("R", m.is_remote_frame and not m.is_fd),
                             ("F", m.is_fd), ("B", m.bitrate_switch),
                             ("S", m.error_state_indicator)) if on]
    data = "" if m.is_remote_frame and not m.is_fd else m.data.hex().upper()
    print(f"{t} ch{ch} {'R' if m.is_rx else 'T'} {m.arbitration_id:X} [{' '.join(flags)}] {m.dlc} {data}")
)";

std::string WithoutLine(std::string text, const std::string& line) {
    const size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    return at == std::string::npos ? text : text.erase(at, line.size());
}

bool HaveCanUtils() {
    return ::access("/usr/bin/log2asc", X_OK) == 0 && ::access("/usr/bin/asc2log", X_OK) == 0;
}

bool HavePythonCan() {
    return RunCommand("/usr/bin/python3 -I -c 'import can' 2>&1").status == 0;
}

std::string Python(const std::string& args) {
    static const std::string script = Put("peer.py", kPythonPeer);
    const CommandResult run = RunCommand("/usr/bin/python3 -I '" + script + "' " + args + " 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
}

std::string Reference() {
    static const std::string canonical = CanonicalOf(LogFormat::Candump, Put("ref.log", kFrames));
    return canonical;
}

}  // namespace

TEST(CliConvert, ArgumentsAndMessages) {
    struct Case {
        std::string args;
        int status;
        const char* out;
    } cases[] = {
        {"", 2, "give the file to read and the file to write"},
        {"a.log", 2, "usage: sorvane-cli convert IN OUT"},
        {"a.log b.asc c.txt", 2, "more than two files"},
        {"a.log b.asc --to blf", 2, "'blf' is not a format: monitor, candump or asc"},
        {"a.log b.asc --from", 2, "--from needs a format"},
        {"a.log b.asc --bogus", 2, "unknown option '--bogus'"},
        {"--help", 0, "candump  the candump -L log of can-utils (.log)"},
        {"missing.log out.asc", 1, "missing.log: cannot be opened"},
        {"bad.log out.asc", 1,
         "bad.log: line 2: the identifier is not three or eight hex digits "
         "in '12345#00'; out.asc was not written"},
        {"ref.log ref.asc", 0, "10 frames from ref.log (candump) to ref.asc (asc)\n"},
        {"ref.asc ref.txt", 0,
         "sorvane-cli convert: 1 error frame left out: the monitor log has "
         "no form for error frames\n"},
        {"ref.txt ref-back.log --from monitor --to candump", 0,
         "9 frames from ref.txt (monitor) to ref-back.log (candump)\n"},
    };
    Put("ref.log", kFrames);
    Put("bad.log", "(1.0) can0 123#00\n(1.0) can0 12345#00\n");
    for (const Case& c : cases) {
        const CommandResult run = Convert(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << c.args << "\n" << run.out;
    }
    EXPECT_NE(access((Dir() + "/out.asc").c_str(), F_OK), 0);
}

// Files we write, read by can-utils and python-can, give the same frames.
TEST(LogPeers, PeersReadWhatWeWrite) {
    Put("ref.log", kFrames);
    ASSERT_EQ(Convert("ref.log ours.asc").status, 0);
    ASSERT_EQ(Convert("ref.log ours.log --from candump").status, 0);
    if (HaveCanUtils()) {
        // asc2log turns our ASC into candump lines, log2asc our candump
        // lines into ASC, also with classic frames the CAN FD way (-f).
        ASSERT_EQ(
            RunCommand("cd '" + Dir() + "' && asc2log -I ours.asc -O asc2log.log 2>&1").status, 0);
        EXPECT_EQ(CanonicalOf(LogFormat::Candump, Dir() + "/asc2log.log"), Reference());
        ASSERT_EQ(RunCommand("cd '" + Dir() +
                             "' && log2asc -I ours.log -O log2asc.asc can0 can1 can2 2>&1")
                      .status,
                  0);
        EXPECT_EQ(CanonicalOf(LogFormat::Asc, Dir() + "/log2asc.asc"), Reference());
        // log2asc -f writes an error frame as a frame of identifier 80: the
        // other frames must match.
        ASSERT_EQ(RunCommand("cd '" + Dir() +
                             "' && log2asc -f -I ours.log -O log2asc-f.asc can0 can1 can2 2>&1")
                      .status,
                  0);
        EXPECT_EQ(WithoutLine(CanonicalOf(LogFormat::Asc, Dir() + "/log2asc-f.asc"),
                              "599999 ch1 R 80 [] 8 0000000000000000\n"),
                  WithoutLine(Reference(), "599999 X\n"));
    } else {
        std::printf("[ SKIPPED  ] can-utils (log2asc, asc2log) is not installed\n");
    }
    if (HavePythonCan()) {
        EXPECT_EQ(Python("read '" + Dir() + "/ours.asc'"), Reference());
        EXPECT_EQ(Python("read '" + Dir() + "/ours.log'"), Reference());
    } else {
        std::printf("[ SKIPPED  ] python3-can is not installed\n");
    }
    if (!HaveCanUtils() && !HavePythonCan()) {
        GTEST_SKIP() << "neither can-utils nor python3-can is installed";
    }
}

// Files the peers write give the same frames when we read them.
TEST(LogPeers, WeReadWhatPeersWrite) {
    if (!HavePythonCan()) {
        GTEST_SKIP() << "python3-can is not installed";
    }
    Put("ref.log", kFrames);
    Python("write '" + Dir() + "/ref.log' '" + Dir() + "/python.asc'");
    Python("write '" + Dir() + "/ref.log' '" + Dir() + "/python.log'");
    EXPECT_EQ(CanonicalOf(LogFormat::Asc, Dir() + "/python.asc"), Reference());
    // python-can's candump writer leaves out the length of remote frames.
    EXPECT_EQ(CanonicalOf(LogFormat::Candump, Dir() + "/python.log", false),
              CanonicalOf(LogFormat::Candump, Dir() + "/ref.log", false));

    // And on through our converter and the other peer: python's ASC to our
    // candump, read by log2asc, back through our reader.
    ASSERT_EQ(Convert("python.asc python-ours.log").status, 0);
    if (HaveCanUtils()) {
        ASSERT_EQ(RunCommand("cd '" + Dir() +
                             "' && log2asc -I python-ours.log -O chain.asc can0 can1 can2 2>&1")
                      .status,
                  0);
        EXPECT_EQ(CanonicalOf(LogFormat::Asc, Dir() + "/chain.asc"), Reference());
    }
    EXPECT_EQ(Python("read '" + Dir() + "/python-ours.log'"), Reference());
}
