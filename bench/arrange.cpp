// The arrangement engine on its own (there is no peer in this binary).
// Rebuilding and arranging the demo's sample dialog, arranging it without a rebuild, and
// automatic layouts of 4 to 14 fixed items. Counters: the arrangements offered to and kept
// by the sets of the whole tree in one rebuild.

#include "SampleDialog.h"

#include <tarncore/arrange/Arrangement.h>
#include <tarncore/arrange/Groups.h>

#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

namespace {

using tarncore::arrange::IArrangeable;
using tarncore::geom::RectF;

const RectF kWindows[] = {RectF(0, 0, 1000, 560), RectF(0, 0, 350, 900), RectF(0, 0, 560, 640),
                          RectF(0, 0, 260, 300)};
const char* const kWindowNames[] = {"wide", "tall", "small", "too-small"};

struct Totals {
    std::size_t kept = 0;
    std::size_t offered = 0;
    std::size_t items = 0;
};

void Count(IArrangeable& inItem, Totals& ioTotals) {
    ++ioTotals.items;
    ioTotals.kept += inItem.Arrangements().size();
    ioTotals.offered += inItem.Arrangements().OfferedCount();
    inItem.VisitChildren(IArrangeable::Visitor([&ioTotals](IArrangeable& inChild) {
        Count(inChild, ioTotals);
        return true;
    }));
}

void Report(benchmark::State& ioState, IArrangeable& inRoot) {
    Totals totals;
    Count(inRoot, totals);
    ioState.counters["items"] = static_cast<double>(totals.items);
    ioState.counters["kept_root"] = static_cast<double>(inRoot.Arrangements().size());
    ioState.counters["kept_tree"] = static_cast<double>(totals.kept);
    ioState.counters["offered_tree"] = static_cast<double>(totals.offered);
}

// Every item rebuilt and the whole dialog arranged once (InvalidateAll does both).
void BM_SampleDialogRebuildAndArrange(benchmark::State& ioState) {
    sample::SampleDialog dialog;
    IArrangeable& root = dialog.Root();
    root.Arrange(kWindows[ioState.range(0)]);
    for (auto _ : ioState) root.InvalidateAll();
    ioState.SetLabel(kWindowNames[ioState.range(0)]);
    Report(ioState, root);
}
BENCHMARK(BM_SampleDialogRebuildAndArrange)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// A window resized through the four sizes: choosing and placing only.
void BM_SampleDialogArrange(benchmark::State& ioState) {
    sample::SampleDialog dialog;
    IArrangeable& root = dialog.Root();
    std::size_t window = 0;
    for (auto _ : ioState) benchmark::DoNotOptimize(root.Arrange(kWindows[window++ % 4]));
    Report(ioState, root);
}
BENCHMARK(BM_SampleDialogArrange)->Unit(benchmark::kMicrosecond);

struct Chip : tarncore::arrange::Single {
    Chip(float inWidth, float inHeight) : width(inWidth), height(inHeight) {}
    float PreferredWidth() const override { return width; }
    float PreferredHeight() const override { return height; }
    tarncore::geom::PointF ArrangeIn(const RectF& inContent) override {
        return tarncore::geom::PointF(inContent.width, inContent.height);
    }
    float width, height;
};

struct Chips : tarncore::arrange::AutoLayout {
    bool VisitChildren(IArrangeable::Visitor inVisitor) override {
        for (Chip& chip : chips)
            if (!inVisitor(chip)) return false;
        return true;
    }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override {
        for (const Chip& chip : chips)
            if (!inVisitor(chip)) return false;
        return true;
    }
    float HorizontalSpacing() const override { return 4; }
    float VerticalSpacing() const override { return 4; }
    std::deque<Chip> chips;
};

// An automatic layout of n fixed items of assorted sizes, rebuilt and arranged.
void BM_AutoLayoutRebuildAndArrange(benchmark::State& ioState) {
    Chips group;
    const int n = static_cast<int>(ioState.range(0));
    for (int i = 0; i < n; ++i) group.chips.emplace_back(40.0f + (i * 37) % 50, 20.0f + (i * 11) % 9);
    group.Arrange(RectF(0, 0, 300, 200));
    for (auto _ : ioState) group.InvalidateAll();
    ioState.counters["offered"] = static_cast<double>(group.Arrangements().OfferedCount());
    ioState.counters["kept"] = static_cast<double>(group.Arrangements().size());
}
BENCHMARK(BM_AutoLayoutRebuildAndArrange)->DenseRange(4, 14)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
