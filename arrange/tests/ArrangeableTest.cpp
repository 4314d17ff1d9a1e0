#include "TestItems.h"

#include <tarncore/arrange/GroupArrangement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

using namespace arrange_test;
using tarncore::arrange::Column;
using tarncore::arrange::Flipping;
using tarncore::arrange::HorizontalWrapping;
using tarncore::arrange::Row;
using tarncore::arrange::impl::ArrangementPtr;
using tarncore::arrange::impl::ArrangementSet;

TEST(Single, SizesIncludeMarginsAndArrangeInGetsTheContent) {
    EXPECT_EQ(Box(100, 20).BestSize(), PointF(100, 20));

    Box box(100, 20, kExpandsH);
    box.minWidth = 60;
    box.Margins(1, 2, 3, 4);
    ASSERT_EQ(box.Arrangements().size(), 1u);
    const ArrangementPtr single = box.Arrangements()[0];
    EXPECT_EQ(PointF(single->MinWidth(), single->MinHeight()), PointF(64, 26));
    EXPECT_EQ(PointF(single->PreferredWidth(), single->ExpandedWidth(500)), PointF(104, 500));
    EXPECT_EQ(single->OverflowArea(PointF(54, 20)), 26 * 10 + 64 * 6);
    EXPECT_EQ(box.Arrange(Rect(10, 10, 300, 50)), PointF(296, 44));
    EXPECT_EQ(box.placed, Rect(11, 12, 296, 44));
}

TEST(Arrangeable, ArrangeGoesThroughTheRootAndIgnoresEmptyRects) {
    Box a(40, 20), b(60, 20);
    TestGroup<Row> row{&a, &b};
    row.Arrangements();  // the rebuild makes the row their parent
    EXPECT_EQ(tarncore::arrange::Parent(a), &row);
    EXPECT_EQ(a.Arrange(Rect(0, 0, 200, 30)), PointF(200, 30));
    EXPECT_EQ(row.Bounds(), Rect(0, 0, 200, 30));
    EXPECT_EQ(b.placed, Rect(40, 0, 60, 20));
    for (RectF empty : {Rect(0, 0, 0, 30), Rect(0, 0, 200, -1), Rect(0, 0, std::nanf(""), 30)})
        EXPECT_EQ(row.Arrange(empty), PointF(0, 0));
    EXPECT_EQ(a.arranged, 1);

    // A parent that would close a loop is refused.
    EXPECT_THROW(row.SetParent(&a), std::invalid_argument);
    EXPECT_THROW(a.SetParent(&a), std::invalid_argument);
}

TEST(Arrangeable, InvalidateRearrangesOnceAndWaitsWhileDisabled) {
    Box a(40, 20), b(60, 20), c(30, 30);
    TestGroup<Row> inner{&a, &b};
    TestGroup<Column> root{&inner, &c};
    root.Arrange(Rect(0, 0, 200, 100));
    EXPECT_EQ(c.placed, Rect(0, 20, 30, 30));

    // A changed size takes effect only after Invalidate, which rearranges at once.
    a.preferredHeight = a.minHeight = 35;
    root.Rearrange();
    EXPECT_EQ(c.placed.y, 20);
    a.Invalidate();
    EXPECT_EQ(c.placed.y, 35);
    EXPECT_EQ(c.arranged, 3);

    // While disabled nothing is arranged and the bounds stay; Invalidate only marks the
    // item and its ancestors, InvalidateAll does nothing at all.
    a.EnableArrangement(false);
    EXPECT_FALSE(root.ArrangementEnabled());
    EXPECT_EQ(root.Arrange(Rect(5, 5, 300, 30)), PointF(0, 0));
    a.preferredHeight = a.minHeight = 10;
    a.Invalidate();
    EXPECT_FALSE(a.IsBuilt() || inner.IsBuilt() || root.IsBuilt());
    root.InvalidateAll();
    EXPECT_TRUE(b.IsBuilt());
    EXPECT_EQ(c.arranged, 3);
    // Enabling arranges once, into the bounds kept from before.
    root.EnableArrangement(true);
    root.EnableArrangement(true);
    EXPECT_EQ(c.arranged, 4);
    EXPECT_EQ(c.placed, Rect(0, 20, 30, 30));  // b is the taller one now

    // InvalidateAll picks up every change below and arranges the tree once.
    b.preferredHeight = b.minHeight = 25;
    c.preferredWidth = c.minWidth = 50;
    root.InvalidateAll();
    EXPECT_EQ(c.arranged, 5);
    EXPECT_EQ(c.placed, Rect(0, 25, 50, 30));
}

TEST(Arrangeable, InvalidationWhileArrangingRunsAnotherPassAtMostFiveInAll) {
    // A control that learns its height from its width: it invalidates itself twice.
    Box text(80, 20), other(30, 20);
    TestGroup<Column> root{&text, &other};
    int changes = 2;
    text.onArrange = [&] {
        if (changes-- <= 0) return;
        text.preferredHeight = text.minHeight += 10;
        text.Invalidate();
    };
    root.Arrange(Rect(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 3);
    EXPECT_EQ(other.placed.y, 40);
    EXPECT_TRUE(root.IsBuilt());

    // One that never settles is arranged five times, without nesting.
    int depth = 0, deepest = 0;
    text.onArrange = [&] {
        deepest = std::max(deepest, ++depth);
        text.Invalidate();
        --depth;
    };
    text.arranged = 0;
    root.Arrange(Rect(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 5);
    EXPECT_EQ(deepest, 1);

    // A new rectangle asked for while arranging is served by the next pass.
    bool asked = false;
    text.onArrange = [&] {
        if (!asked) asked = true, other.Arrange(Rect(0, 0, 120, 200));
    };
    text.arranged = 0;
    root.Arrange(Rect(0, 0, 100, 200));
    EXPECT_EQ(text.arranged, 2);
    EXPECT_EQ(root.Bounds(), Rect(0, 0, 120, 200));
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
    group.withSeparators = true;
    group.Arrangements();
    const ArrangementPtr ar = a.Arrangements()[0], ac = a.Arrangements()[1];
    const ArrangementPtr br = b.Arrangements()[0], bc = b.Arrangements()[1];
    using Combination = RecordingRow::Combination;
    EXPECT_EQ(group.combinations, (std::vector<Combination>{{ar, br}, {ar, bc}, {ac, br}, {ac, bc}}));
    EXPECT_EQ(group.clears, 1);
    ASSERT_EQ(group.GroupSeparators().size(), 1u);
    EXPECT_EQ(group.GroupSeparators()[0], group.separators[0].get());

    // Children without alternatives take no place; with none at all, one empty
    // combination is still offered.
    TestGroup<HorizontalWrapping> empty1, empty2;
    RecordingRow hollow{&empty1, &empty2};
    EXPECT_EQ(hollow.Arrangements().size(), 1u);
    EXPECT_TRUE(empty1.Arrangements().empty());
    EXPECT_EQ(hollow.combinations, (std::vector<Combination>{Combination()}));
}

TEST(ArrangeableGroup, ChildrenThatLoopBackAreSkipped) {
    Box box(10, 10);
    TestGroup<Row> inner{&box};
    TestGroup<Column> outer{&inner};
    inner.children.push_back(&inner);
    inner.children.push_back(&outer);
    outer.Arrange(Rect(0, 0, 100, 100));
    EXPECT_EQ(inner.Children(), (std::vector<IArrangeable*>{&box}));
    EXPECT_EQ(box.placed, Rect(0, 0, 10, 10));
    EXPECT_EQ(outer.Parent(), nullptr);
    outer.InvalidateAll();  // the walk does not go round the loop either
    EXPECT_EQ(box.arranged, 2);
}
