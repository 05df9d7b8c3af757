// The CANdb pane with a large database: filling the tree as the main frame
// does after an open (node texts formatted from the resource format, then
// the pane's fill), and one wheel step of scrolling with the repaint it
// causes, at the top, in the middle and at the end of the list.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QStringList>
#include <string>
#include <vector>

#include "bench/qt_bench_main.h"
#include "controls/static_tree_ctrl.h"
#include "res/ids.h"
#include "res/resources.h"
#include "ui/frame/candb_pane.h"

namespace {

struct Message {
    std::string name;
    uint32_t id;
};

std::vector<Message> Database(size_t count) {
    std::vector<Message> messages;
    messages.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        messages.push_back(
            {"Message_" + std::to_string(i) + "_Powertrain",
             static_cast<uint32_t>(0x100 + i * 7) | (i % 3 == 0 ? 0x18000000u : 0u)});
    }
    return messages;
}

void Fill(CCANdbPane& pane, const std::vector<Message>& messages) {
    const res::Resources& r = res::Resources::Instance();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(messages.size()));
    for (const Message& m : messages) {
        texts.append(r.Format(IDS_FMT_CANDB_NODE, m.name.c_str(), m.id));
    }
    pane.Fill(r.String(IDS_CANDB_ROOT), texts);
}

struct Setup {
    CCANdbPane pane;
    explicit Setup(size_t count) {
        pane.resize(260, 700);
        pane.show();
        QApplication::processEvents();
        Fill(pane, Database(count));
    }
};

void FillTree(benchmark::State& state) {
    const std::vector<Message> messages = Database(static_cast<size_t>(state.range(0)));
    Setup s(0);
    for (auto _ : state) {
        Fill(s.pane, messages);
    }
    state.counters["rows"] = s.pane.Tree()->DisplayedRowCount();
}

// range(1): where the wheel step starts, in per mille of the range.
void WheelStepAndPaint(benchmark::State& state) {
    Setup s(static_cast<size_t>(state.range(0)));
    CStaticTreeCtrl* tree = s.pane.Tree();
    QImage target(tree->viewport()->size(), QImage::Format_RGB32);
    const int start =
        static_cast<int>(tree->verticalScrollBar()->maximum() * state.range(1) / 1000);
    bool down = true;
    tree->VScroll(CStaticTreeCtrl::Scroll::Track, start);
    for (auto _ : state) {
        tree->VScroll(down ? CStaticTreeCtrl::Scroll::LineDown : CStaticTreeCtrl::Scroll::LineUp);
        down = !down;
        tree->viewport()->render(&target);
    }
    state.counters["visible_rows"] = static_cast<double>(tree->VisibleItems().size());
    state.counters["position"] = tree->ScrollPosition();
}

}  // namespace

BENCHMARK(FillTree)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(WheelStepAndPaint)
    ->ArgNames({"messages", "at_permille"})
    ->Args({2000, 0})
    ->Args({2000, 500})
    ->Args({2000, 1000})
    ->Args({20000, 1000})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
