// Tests of the arrangement tree, group rebuilding and the choice among alternatives.
#include "TestItems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

using namespace arrange_test;
using impl::IArrangement;

namespace {

// An arrangement whose answers are set by the test.
struct Answers {
    float minW, minH, prefW, prefH, waste, overflow;
};
struct Fake : IArrangement, Answers {
    explicit Fake(const Answers& inAnswers) : Answers(inAnswers) {}

    PointF Arrange(const RectF&) override { return PointF(minW, minH); }
    bool HorizontallyExpandable() override { return false; }
    bool VerticallyExpandable() override { return false; }
    float MinWidth() override { return minW; }
    float MinHeight() override { return minH; }
    float PreferredWidth() override { return prefW; }
    float PreferredHeight() override { return prefH; }
    float ExpandedWidth(float) override { return prefW; }
    float ExpandedHeight(float) override { return prefH; }
    float OverflowArea(const PointF&) override { return overflow; }
    float WastedArea(const PointF&) override { return waste; }
    void Prepare() override {}
    bool AppliesGroupFrame() override { return true; }
};

ArrangementPtr Make(float inMinW, float inMinH) { return new Fake({inMinW, inMinH, inMinW, inMinH, 0, 0}); }

using Entries = std::vector<ArrangementPtr>;

}  // namespace

TEST(ArrangementSet, KeepsOnlyUndominatedMinimumSizesLaterEqualOnesReplacing) {
    ArrangementSet set;
    const ArrangementPtr wide = Make(30, 10), square1 = Make(20, 20), square2 = Make(20, 20);
    const ArrangementPtr tall = Make(10, 30);
    set.AddArrangement(ArrangementPtr());  // ignored
    for (auto& a : {wide, square1, square2, tall}) set.AddArrangement(a);
    // An offer of 25 x 25 is not even made: 20 x 20 is no larger.
    set.Offer(25, 25, [] { return ADD_FAILURE(), Make(25, 25); });
    EXPECT_EQ(Entries(set.begin(), set.end()), (Entries{wide, square2, tall}));

    const ArrangementPtr smaller = Make(15, 15), tiny = Make(5, 5);
    set.Offer(15, 15, [&smaller] { return smaller; });
    EXPECT_EQ(Entries(set.begin(), set.end()), (Entries{wide, tall, smaller}));
    EXPECT_EQ(set.OfferedCount(), 6u);
    // One that beats several at once replaces all of them, wherever they stand.
    set.AddArrangement(tiny);
    EXPECT_EQ(Entries(set.begin(), set.end()), Entries{tiny});

    set.Clear();
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.OfferedCount(), 0u);
    EXPECT_EQ(tiny->GetRefCount(), 1);  // the set released its reference
}

TEST(ArrangementSet, ChoosesByFitThenWasteThenAreaThenGoldenRatioThenOrder) {
    ArrangementSet empty;
    EXPECT_FALSE(empty.ChooseArrangement(100, 100));
    EXPECT_EQ(empty.BestSize(), PointF(0, 0));

    struct Case {
        Answers first, second;  // min W x H, preferred W x H, waste, overflow
        float width, height;
        int chosen;
        PointF best;
    } cases[] = {
        // One that fits beats one that does not, however small the other's overflow...
        {{101, 10, 101, 10, 0, 0.001f}, {50, 90, 50, 90, 1e9f, 5}, 100, 100, 1, {50, 90}},
        // ...when neither fits, the smaller overflow, the first on ties.
        {{101, 10, 101, 10, 0, 0.001f}, {50, 90, 50, 90, 1e9f, 5}, 40, 100, 0, {50, 90}},
        {{101, 10, 101, 10, 0, 0.001f}, {50, 90, 50, 90, 1e9f, 0.0005f}, 40, 100, 1, {50, 90}},
        // Both fit: the smaller waste, then the smaller minimum area (300 < 400)...
        {{40, 10, 40, 10, 50, 0}, {10, 30, 10, 30, 40, 0}, 100, 100, 1, {10, 30}},
        {{40, 10, 40, 10, 40, 0}, {10, 30, 10, 30, 40, 0}, 100, 100, 1, {10, 30}},
        // ...then the preferred shape nearer 1.618, then the first. A preferred height
        // of 0 gives no usable ratio and never wins.
        {{20, 10, 100, 100, 0, 0}, {10, 20, 160, 100, 0, 0}, 100, 100, 1, {10, 20}},
        {{20, 10, 100, 100, 0, 0}, {10, 20, 100, 100, 0, 0}, 100, 100, 0, {20, 10}},
        {{20, 10, 100, 100, 0, 0}, {10, 20, 160, 0, 0, 0}, 100, 100, 0, {20, 10}},
    };
    for (const Case& c : cases) {
        ArrangementSet set;
        const ArrangementPtr made[] = {new Fake(c.first), new Fake(c.second)};
        for (const ArrangementPtr& a : made) set.AddArrangement(a);
        EXPECT_EQ(set.ChooseArrangement(c.width, c.height), made[c.chosen]) << &c - cases;
        EXPECT_EQ(set.BestSize(), c.best) << &c - cases;
    }
}

TEST(ArrangementSet, SizesThatAreNotNumbersDoNotPileUp) {
    // They compare as infinitely large: such arrangements replace one another and lose
    // to any real size, instead of each one staying.
    const float nan = std::nanf("");
    ArrangementSet set;
    for (int i = 0; i < 100; ++i) set.AddArrangement(Make(nan, 10));
    EXPECT_EQ(set.size(), 1u);
    const ArrangementPtr real = Make(1e30f, 10);
    set.AddArrangement(real);
    EXPECT_EQ(Entries(set.begin(), set.end()), Entries{real});
    EXPECT_TRUE(set.Beats(nan, nan));
    set.AddArrangement(Make(nan, 5));
    EXPECT_EQ(set.size(), 2u);
}

TEST(Arrangeable, ASingleGetsItsContentAndArrangingGoesThroughTheRoot) {
    EXPECT_EQ(Box(100, 20).BestSize(), PointF(100, 20));

    Box box(100, 20, kExpandsH);
    box.minWidth = 60;
    box.Margins(1, 2, 3, 4);
    const ArrangementPtr single = Only(box);
    EXPECT_EQ(MinSize(single), PointF(64, 26));
    EXPECT_EQ(PointF(single->PreferredWidth(), single->ExpandedWidth(500)), PointF(104, 500));
    EXPECT_EQ(single->OverflowArea(PointF(54, 20)), 26 * 10 + 64 * 6);
    EXPECT_EQ(box.Arrange(RectF(10, 10, 300, 50)), PointF(296, 44));
    EXPECT_EQ(box.placed, RectF(11, 12, 296, 44));

    // Arranging any item arranges the root; empty rectangles are ignored.
    Box a(40, 20), b(60, 20);
    TestGroup<Row> row{&a, &b};
    row.Arrangements();  // the rebuild makes the row their parent
    EXPECT_EQ(tarncore::arrange::Parent(a), &row);
    EXPECT_EQ(a.Arrange(RectF(0, 0, 200, 30)), PointF(200, 30));
    EXPECT_EQ(row.Bounds(), RectF(0, 0, 200, 30));
    EXPECT_EQ(b.placed, RectF(40, 0, 60, 20));
    for (RectF empty : {RectF(0, 0, 0, 30), RectF(0, 0, 200, -1), RectF(0, 0, std::nanf(""), 30)})
        EXPECT_EQ(row.Arrange(empty), PointF(0, 0));
    EXPECT_EQ(a.arranged, 1);

    // A parent that would close a loop is refused.
    EXPECT_THROW(row.SetParent(&a), std::invalid_argument);
    EXPECT_THROW(a.SetParent(&a), std::invalid_argument);
    // Children that lead back up are skipped by the rebuild and by every walk.
    TestGroup<Row> inner{&b};
    TestGroup<Column> outer{&inner};
    inner.children = {&b, &inner, &outer};
    outer.Arrange(RectF(0, 0, 100, 100));
    EXPECT_EQ(inner.Children(), (std::vector<IArrangeable*>{&b}));
    EXPECT_EQ(b.placed, RectF(0, 0, 60, 20));
    EXPECT_EQ(outer.Parent(), nullptr);
    outer.InvalidateAll();
    EXPECT_EQ(b.arranged, 3);
}

TEST(Arrangeable, InvalidateRearrangesOnceAndWaitsWhileDisabled) {
    Box a(40, 20), b(60, 20), c(30, 30);
    TestGroup<Row> inner{&a, &b};
    TestGroup<Column> root{&inner, &c};
    root.Arrange(RectF(0, 0, 200, 100));
    EXPECT_EQ(c.placed, RectF(0, 20, 30, 30));

    // A changed size takes effect after Invalidate, which rearranges at once.
    a.preferredHeight = 35;
    a.Invalidate();
    EXPECT_EQ(c.placed.y, 35);
    EXPECT_EQ(c.arranged, 2);

    // While disabled nothing is arranged and the bounds stay; Invalidate only marks the
    // item and its ancestors, InvalidateAll does nothing at all.
    a.EnableArrangement(false);
    EXPECT_EQ(root.Arrange(RectF(5, 5, 300, 30)), PointF(0, 0));
    a.preferredHeight = 10;
    a.Invalidate();
    EXPECT_FALSE(a.IsBuilt() || inner.IsBuilt() || root.IsBuilt());
    root.InvalidateAll();
    EXPECT_TRUE(b.IsBuilt());
    EXPECT_EQ(c.arranged, 2);
    // Enabling arranges once, into the bounds kept from before.
    root.EnableArrangement(true);
    root.EnableArrangement(true);
    EXPECT_EQ(c.arranged, 3);
    EXPECT_EQ(c.placed, RectF(0, 20, 30, 30));  // b is the taller one now

    // InvalidateAll picks up every change below and arranges the tree once.
    b.preferredHeight = 25;
    c.preferredWidth = c.minWidth = 50;
    root.InvalidateAll();
    EXPECT_EQ(c.arranged, 4);
    EXPECT_EQ(c.placed, RectF(0, 25, 50, 30));
}

TEST(Arrangeable, InvalidationWhileArrangingRunsAnotherPassAtMostFiveInAll) {
    // A control that learns its height from its width: it invalidates itself twice.
    Box text(80, 20), other(30, 20);
    TestGroup<Column> root{&text, &other};
    int changes = 2;
    text.onArrange = [&] {
        if (changes-- <= 0) return;
        text.preferredHeight += 10;
        text.Invalidate();
    };
    root.Arrange(RectF(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 3);
    EXPECT_EQ(other.placed.y, 40);

    // One that never settles is arranged five times, without nesting.
    int depth = 0, deepest = 0;
    text.onArrange = [&] {
        deepest = std::max(deepest, ++depth);
        text.Invalidate();
        --depth;
    };
    text.arranged = 0;
    root.Arrange(RectF(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 5);
    EXPECT_EQ(deepest, 1);

    // A new rectangle asked for while arranging is served by the next pass.
    text.onArrange = [&] {
        if (text.arranged == 1) other.Arrange(RectF(0, 0, 120, 200));
    };
    text.arranged = 0;
    root.Arrange(RectF(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 2);
    EXPECT_EQ(root.Bounds(), RectF(0, 0, 120, 200));
}

namespace {

// A row that records the combinations it is offered.
struct RecordingRow : TestGroup<Row> {
    using TestGroup<Row>::TestGroup;
    void AddArrangements(ArrangementSet& ioSet, const Combination& inCombination,
                         const Separators& inSeparators) override {
        combinations.push_back(inCombination);
        Row::AddArrangements(ioSet, inCombination, inSeparators);
    }
    std::vector<Combination> combinations;
};

}  // namespace

TEST(ArrangeableGroup, OffersTheProductOfTheChildrenInOrderWithSeparators) {
    Box a1(100, 20), a2(100, 20), b1(100, 20), b2(100, 20);
    TestGroup<Flipping> a{&a1, &a2}, b{&b1, &b2};  // each: a row, then a column
    RecordingRow group{&a, &b};
    group.Separated().Arrangements();
    EXPECT_EQ(MinSizes(a.Arrangements()), (Sizes{{200, 20}, {100, 40}}));
    const ArrangementPtr ar = a.Arrangements()[0], ac = a.Arrangements()[1];
    const ArrangementPtr br = b.Arrangements()[0], bc = b.Arrangements()[1];
    using Combination = RecordingRow::Combination;
    EXPECT_EQ(group.combinations, (std::vector<Combination>{{ar, br}, {ar, bc}, {ac, br}, {ac, bc}}));
    EXPECT_EQ(group.clears, 1);
    EXPECT_EQ(group.GroupSeparators(), (RecordingRow::Separators{group.separators[0].get()}));

    // Children without alternatives take no place; with none at all, one empty
    // combination is still offered.
    TestGroup<HorizontalWrapping> empty1, empty2;
    RecordingRow hollow{&empty1, &empty2};
    EXPECT_EQ(hollow.Arrangements().size(), 1u);
    EXPECT_TRUE(empty1.Arrangements().empty());
    EXPECT_EQ(hollow.combinations, (std::vector<Combination>{Combination()}));
}
