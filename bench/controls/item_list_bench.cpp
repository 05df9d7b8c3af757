// Painting cost of the virtual item list: a 60-row viewport over 100 and over
// 10 million records, the timer path UpdateItemCount at both sizes, and the
// heap allocations made while painting.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/qt_bench_main.h"
#include "controls/item_list.h"
#include "res/ids.h"

namespace {

// A compact record; the list reads it only for the rows on screen.
struct Record {
    uint32_t id;
    uint32_t timestampMs;
};

// A monitor-like list: eight text cells per row formatted into buffers
// that are reused for every row.
class BenchList : public CItemList {
public:
    bool drawText = true;
    explicit BenchList(const std::vector<Record>* records)
        : CItemList("CLASS_BENCH_LIST"), records_(records) {
        for (size_t i = 0; i < kColumns; ++i) {
            columns_[i] = {IDS_MON_COL_TIME + static_cast<uint32_t>(i), &widths_[i]};
            cells_[i].reserve(64);
        }
        columns_[kColumns] = {0, nullptr};
    }

protected:
    std::span<const ItemListColumn> GetColumns() const override { return columns_; }
    int GetItemCount() const override { return static_cast<int>(records_->size()); }
    void DrawItem(QPainter& painter, const QRect& rowRect, int index) override {
        const Record& r = (*records_)[static_cast<size_t>(index)];
        char buf[64];
        SetCell(0, buf,
                std::snprintf(buf, sizeof buf, "  %u.%03u", r.timestampMs / 1000,
                              r.timestampMs % 1000));
        SetCell(1, "0", 1);
        SetCell(2, "R", 1);
        SetCell(3, "OK", 2);
        SetCell(4, "", 0);
        SetCell(5, buf, std::snprintf(buf, sizeof buf, "%03X", r.id & 0x7FF));
        SetCell(6, "08", 2);
        SetCell(7, buf,
                std::snprintf(buf, sizeof buf, "  %02X  %02X  %02X  %02X  %02X  %02X", r.id & 0xFF,
                              (r.id >> 8) & 0xFF, index & 0xFF, (index >> 8) & 0xFF, 0x55, 0xAA));
        if (!drawText) {
            return;
        }
        painter.setPen(textPen_);
        for (size_t c = 0; c < kColumns; ++c) {
            DrawCellText(painter, CellRect(rowRect, static_cast<int>(c)), cells_[c],
                         c == 7 ? Qt::AlignLeft : Qt::AlignHCenter);
        }
    }

private:
    static constexpr size_t kColumns = 8;
    void SetCell(size_t c, const char* text, int n) {
        cells_[c].resize(0);
        for (int i = 0; i < n; ++i) {
            cells_[c].append(QLatin1Char(text[i]));
        }
    }
    const std::vector<Record>* records_;
    QPen textPen_{Qt::black};
    std::array<int32_t, kColumns> widths_{110, 40, 40, 50, 40, 40, 40, 320};
    std::array<ItemListColumn, kColumns + 1> columns_;
    std::array<QString, kColumns> cells_;
};

struct Setup {
    std::vector<Record> records;
    BenchList* list = nullptr;
    QWidget owner;
    QImage target;

    explicit Setup(size_t count) : records(count) {
        for (size_t i = 0; i < count; ++i) {
            records[i] = {static_cast<uint32_t>(i * 2654435761u), static_cast<uint32_t>(i * 3)};
        }
        list = new BenchList(&records);
        list->Create(&owner, 0xE900);
        list->SetAutoScroll(true);
        // Header plus 60 whole rows.
        const int h = list->HeaderHeight() + 60 * list->RowHeight();
        owner.resize(800, h + 40);
        list->setGeometry(0, 0, 800, h + 40);
        owner.show();
        QApplication::processEvents();
        const int viewportHeight = list->viewport()->height();
        list->setGeometry(0, 0, 800, h + 40 + (h - viewportHeight));
        QApplication::processEvents();
        list->UpdateItemCount();
        target = QImage(list->viewport()->size(), QImage::Format_RGB32);
    }
    void Paint() {
        // The viewport alone: its rows, strip and grid, not the headers.
        list->viewport()->render(&target, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    }
};

// range(1) 0 formats the cells but draws no text: what the list itself and
// the row formatting cost, without the text engine.
void PaintViewport(benchmark::State& state) {
    Setup s(static_cast<size_t>(state.range(0)));
    s.list->drawText = state.range(1) != 0;
    s.Paint();
    long long allocations = 0;
    for (auto _ : state) {
        const long long before = AllocationCount();
        s.Paint();
        allocations += AllocationCount() - before;
    }
    const double paints = static_cast<double>(state.iterations());
    state.counters["visible_rows"] = s.list->VisibleRows();
    state.counters["top_row"] = s.list->TopIndex();
    state.counters["allocs_per_paint"] = static_cast<double>(allocations) / paints;
    state.counters["allocs_per_row"] =
        static_cast<double>(allocations) / paints / qMax(1, s.list->VisibleRows());
}

void UpdateItemCount(benchmark::State& state) {
    Setup s(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        s.list->UpdateItemCount();
    }
    state.counters["top_row"] = s.list->TopIndex();
}

}  // namespace

BENCHMARK(PaintViewport)
    ->ArgNames({"records", "text"})
    ->Args({100, 1})
    ->Args({10'000'000, 1})
    ->Args({100, 0})
    ->Args({10'000'000, 0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(UpdateItemCount)->Arg(100)->Arg(10'000'000)->Unit(benchmark::kNanosecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
