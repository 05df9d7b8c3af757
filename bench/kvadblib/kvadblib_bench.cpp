// Load time of each test database and decode time per frame.
// Run: build/bin/kvadblib_bench (SORVANE_TESTDATA overrides the folder).

// GCC 12 reports a false -Wrestrict inside std::string concatenation.
#pragma GCC diagnostic ignored "-Wrestrict"

#include <benchmark/benchmark.h>
#include <dirent.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "candb/candb_manager.h"
#include "platform/kvadblib/kvadblib.h"

namespace {

void LoadFile(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        KvaDbHnd dh = nullptr;
        kvaDbOpen(&dh);
        if (kvaDbReadFile(dh, path.c_str()) != kvaDbOK) {
            state.SkipWithError("cannot read the file");
        }
        kvaDbClose(dh);
    }
}

// A message whose signals are decoded with the model; signals of 8 bits
// side by side (the last ones of the 8-byte frame share bytes).
void Decode(benchmark::State& state, int bytes, int signals) {
    CCANdbManager manager;
    CandbMessage m;
    m.name = "Bench";
    m.id = 0x123;
    m.dlc = static_cast<uint32_t>(bytes);
    m.signals.emplace();
    for (int i = 0; i < signals; ++i) {
        CandbSignal s;
        s.name = "Signal" + std::to_string(100 + i);
        s.unit = "u";
        s.factor = 0.5;
        s.offset = -1;
        s.representationType = i % 3 == 0 ? 1 : 2;
        s.encoding = i % 2;
        s.length = bytes == 8 ? 6 : 8;
        s.startBit = bytes == 8 ? i * 6 : 8 + i * 8;
        m.signals->push_back(s);
    }
    manager.messages.push_back(m);
    CanFrameRecord record{};
    record.id = 0x123;
    record.dlc = static_cast<uint32_t>(bytes);
    for (int i = 0; i < bytes; ++i) {
        record.data[i] = static_cast<uint8_t>(i * 37);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(manager.Decode(record));
    }
    state.counters["signals"] = static_cast<double>(manager.decodedTexts.size() / 3);
}

}  // namespace

int main(int argc, char** argv) {
    const char* env = std::getenv("SORVANE_TESTDATA");
    const std::string dir = env != nullptr ? std::string(env) + "/dbc" : SORVANE_TESTDATA_DIR;
    if (DIR* d = opendir(dir.c_str())) {
        std::vector<std::string> names;
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() > 4 && n.substr(n.size() - 4) == ".dbc") {
                names.push_back(n);
            }
        }
        closedir(d);
        for (const std::string& n : names) {
            benchmark::RegisterBenchmark(("Load/" + n).c_str(), LoadFile, dir + "/" + n)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("Decode/8bytes_10signals", Decode, 8, 10);
    benchmark::RegisterBenchmark("Decode/64bytes_60signals", Decode, 64, 60);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
