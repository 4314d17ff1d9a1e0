// Tests of the row, column, wrapping, flipping and dynamic groups and their arrangements.
#include "TestItems.h"

#include "arrange/src/Wrapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <random>
#include <stdexcept>
#include <vector>

using namespace arrange_test;
using impl::GroupArrangement;
using Combination = GroupArrangement::Combination;
using impl::Split;
using impl::WrappingSplits;

namespace {

GroupArrangement& AsGroup(const ArrangementPtr& inArrangement) {
    return dynamic_cast<GroupArrangement&>(*inArrangement);
}

}  // namespace

TEST(RowArrangement, PlacesFixedChildrenWithSpacingAlignmentOverflowAndWaste) {
    Box a(40, 20), b(60, 30);
    TestGroup<Row> row{&a, &b};
    row.Spacing(5, 0).Align(1, 0);
    EXPECT_EQ(MinSize(Only(row)), PointF(105, 30));
    row.Arrange(RectF(0, 0, 200, 30));
    EXPECT_EQ(Placed({&a, &b}), (Rects{{47.5f, 0, 40, 20}, {92.5f, 0, 60, 30}}));

    // The second child sticks out by 20 × its height and is 5 too tall; the spacing in
    // front of it is not part of its own test.
    EXPECT_EQ(Only(row)->OverflowArea(PointF(80, 25)), 900);
    EXPECT_EQ(Only(row)->OverflowArea(PointF(105, 30)), 0);
    // Free strip (200 − 105) × 40, the children's own waste 800 + 600, the gap 5 × 40.
    EXPECT_EQ(Only(row)->WastedArea(PointF(200, 40)), 5400);
    row.Margins(5, 2, 5, 2);
    row.Invalidate();
    // Inside 190 × 36: 85 × 36 + (640 + 360 + 180), and the margins 4 × 200 + 10 × 40.
    EXPECT_EQ(Only(row)->WastedArea(PointF(200, 40)), 5440);

    // Without children: the margins alone, no spacing, and no overflow.
    TestGroup<Row> empty;
    empty.Spacing(5, 0).Margins(3, 1, 4, 2);
    EXPECT_EQ(MinSize(Only(empty)), PointF(7, 3));
    EXPECT_EQ(Only(empty)->OverflowArea(PointF(0, 0)), 0);
}

TEST(RowArrangement, SharesExtraSpaceInProportionAndPassesOnWhatIsRefused) {
    Box a(100, 20, kExpandsH), b(50, 20, kExpandsH);
    TestGroup<Row> row{&a, &b};
    row.Arrange(RectF(0, 0, 300, 20));
    EXPECT_EQ(Placed({&a, &b}), (Rects{{0, 0, 200, 20}, {200, 0, 100, 20}}));

    // Too little room: the expandable ones give back down to their minimum.
    a.minWidth = 60;
    b.minWidth = 40;
    row.InvalidateAll();
    row.Arrange(RectF(0, 0, 120, 20));
    EXPECT_FLOAT_EQ(a.placed.width, 80);
    EXPECT_FLOAT_EQ(b.placed.width, 40);

    a.maxWidth = 120;  // takes less than proposed: stops sharing
    row.Arrange(RectF(0, 0, 300, 20));
    EXPECT_EQ(a.placed, RectF(0, 0, 120, 20));
    EXPECT_FLOAT_EQ(b.placed.x, 120);
    EXPECT_FLOAT_EQ(b.placed.width, 180);
}

// Two faults of the distribution as first described, decided on real rows: the room
// to share was measured from the minimum width with the group's margins in it, and from
// the minimum widths although the children start at their preferred widths.
TEST(RowArrangement, SharesTheRoomInsideTheMarginsFromThePreferredWidths) {
    // With margins, an expandable child reaches the inner edge (the first measure left
    // it one margin pair short), and fixed content is aligned inside the margins: the
    // group is told the aligned content origin and the content size, without margins.
    Box field(50, 20, kExpandsH);
    TestGroup<Row> framed{&field};
    framed.Margins(10, 0, 10, 0);
    framed.Arrange(RectF(0, 0, 200, 40));
    EXPECT_EQ(field.placed, RectF(10, 0, 180, 20));
    EXPECT_EQ(framed.dimensions, (Sizes{{180, 40}}));

    Box label(40, 20);
    TestGroup<Row> centred{&label};
    centred.Align(1, 1).Margins(10, 5, 20, 15);
    EXPECT_EQ(centred.Arrange(RectF(0, 0, 200, 100)), PointF(170, 80));
    EXPECT_EQ(centred.positions, (Sizes{{75, 35}}));
    EXPECT_EQ(centred.dimensions, (Sizes{{170, 80}}));
    EXPECT_EQ(label.placed, RectF(75, 35, 40, 20));

    // Preferred above minimum: the children start at their preferred widths and share
    // what is left of the row (the second measure made this row 270 wide in 200).
    Box fixed(80, 20), stretch(60, 20, kExpandsH);
    fixed.minWidth = 40;
    stretch.minWidth = 30;
    TestGroup<Row> mixed{&fixed, &stretch};
    mixed.Arrange(RectF(0, 0, 200, 20));
    EXPECT_EQ(Placed({&fixed, &stretch}), (Rects{{0, 0, 80, 20}, {80, 0, 120, 20}}));
    mixed.Arrange(RectF(0, 0, 120, 20));
    EXPECT_EQ(stretch.placed, RectF(80, 0, 40, 20));
}

TEST(RowArrangement, SeparatorStripsChildMarginsAndShrinking) {
    // The strip between two children spans the shorter one.
    Box low(30, 20), high(30, 30);
    TestGroup<Row> strip{&low, &high};
    strip.Spacing(6, 0).Align(0, 1).Separated().Arrange(RectF(0, 0, 100, 40));
    ASSERT_EQ(strip.separators.size(), 1u);
    EXPECT_EQ(strip.separators[0]->orientation, SeparatorInRow);
    EXPECT_EQ(strip.separators[0]->bounds, RectF(30, 10, 6, 20));

    // A child's right margin keeps the next child away (children report their content
    // size, without margins, so the next one follows the child's share of the row).
    Box first(40, 20), second(40, 20);
    first.Margins(5, 0, 5, 0);
    second.Margins(5, 0, 5, 0);
    TestGroup<Row> spaced{&first, &second};
    spaced.Arrange(RectF(0, 0, 200, 20));
    EXPECT_EQ(Placed({&first, &second}), (Rects{{5, 0, 40, 20}, {55, 0, 40, 20}}));

    // The content origin follows the current size, not the tallest ever distributed.
    Box tall(40, 10, kExpandsV);
    TestGroup<Row> shrinking{&tall};
    shrinking.Align(0, 1).Arrange(RectF(0, 0, 100, 80));
    shrinking.Arrange(RectF(0, 0, 100, 30));
    EXPECT_EQ(shrinking.positions.back(), PointF(0, 0));
    EXPECT_EQ(tall.placed, RectF(0, 0, 40, 30));
}

TEST(RowArrangement, DistributionEndsWhenRoundingLeavesAnUnplaceableRemainder) {
    // At these lengths every proposal rounds back to the same floats while the remainder
    // stays far above the threshold; the passes must end anyway.
    Box a(96956392.0f, 10, kExpandsH), b(59905076.0f, 10, kExpandsH);
    TestGroup<Row> row{&a, &b};
    row.Arrange(RectF(0, 0, 228052064.0f, 10));
    EXPECT_NEAR(a.placed.width + b.placed.width, 228052064.0f, 64.0f);
    EXPECT_EQ(b.placed.x, a.placed.width);
}

TEST(ColumnArrangement, IsTheRowWithTheAxesExchanged) {
    Box a(40, 20), b(60, 30);
    TestGroup<Column> column{&a, &b};
    column.Spacing(100, 4).Align(2, 2).Separated().Margins(1, 2, 3, 4);  // a column has no use for 100
    EXPECT_EQ(MinSize(Only(column)), PointF(64, 60));
    EXPECT_EQ(column.Arrange(RectF(0, 0, 104, 106)), PointF(100, 100));
    EXPECT_EQ(Placed({&a, &b}), (Rects{{61, 48, 40, 20}, {41, 72, 60, 30}}));
    EXPECT_EQ(column.separators[0]->orientation, SeparatorInColumn);
    EXPECT_EQ(column.separators[0]->bounds, RectF(61, 68, 40, 4));

    // Expansion runs down the column.
    Box top(30, 10, kExpandsV), rest(30, 10, kExpandsHV);
    TestGroup<Column> stack{&top, &rest};
    stack.Arrange(RectF(0, 0, 50, 100));
    EXPECT_EQ(Placed({&top, &rest}), (Rects{{0, 0, 30, 50}, {0, 50, 50, 50}}));
    EXPECT_EQ(PointF(Only(stack)->ExpandedWidth(80), Only(stack)->ExpandedHeight(80)), PointF(80, 80));
}

TEST(Flipping, ChoosesTheRowOrTheColumnThatFits) {
    Box a(100, 20), b(100, 20);
    TestGroup<Flipping> flip{&a, &b};
    flip.Arrange(RectF(0, 0, 250, 30));
    EXPECT_EQ(b.placed, RectF(100, 0, 100, 20));
    flip.Arrange(RectF(0, 0, 120, 50));
    EXPECT_EQ(b.placed, RectF(0, 20, 100, 20));
    // Neither fits: the smaller overflow wins (row 1200 against column 2500).
    flip.Arrange(RectF(0, 0, 190, 15));
    EXPECT_EQ(b.placed, RectF(100, 0, 100, 20));
}

TEST(Wrapping, OffersEveryBreakInOrderAndKeepsTheUndominated) {
    EXPECT_EQ(
        WrappingSplits(4, true, {}, 0),
        (std::vector<Split>{{4}, {3, 1}, {2, 2}, {1, 3}, {2, 1, 1}, {1, 2, 1}, {1, 1, 2}, {1, 1, 1, 1}}));

    Box a(10, 10), b(10, 10), c(10, 10);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    EXPECT_EQ(wrap.Arrangements().OfferedCount(), 4u);
    EXPECT_EQ(MinSizes(wrap.Arrangements()), (Sizes{{30, 10}, {20, 20}, {10, 30}}));
    // The 2 + 1 and 1 + 2 breaks are the same size: the later, 1 + 2, stays.
    EXPECT_EQ(AsGroup(wrap.Arrangements()[1]).Children()[0], a.Arrangements()[0]);
    wrap.Arrange(RectF(0, 0, 25, 25));
    EXPECT_EQ(Placed({&a, &b, &c}), (Rects{{0, 0, 10, 10}, {0, 10, 10, 10}, {10, 10, 10, 10}}));

    // With margins the group's frame is applied once, around all the lines.
    wrap.Margins(5, 5, 5, 5);
    wrap.Invalidate();
    wrap.Arrange(RectF(0, 0, 40, 20));
    EXPECT_EQ(MinSizes(wrap.Arrangements()), (Sizes{{40, 20}, {30, 30}, {20, 40}}));
    EXPECT_EQ(wrap.positions.back(), PointF(5, 5));
    EXPECT_EQ(wrap.dimensions.back(), PointF(30, 10));
    EXPECT_EQ(c.placed, RectF(25, 5, 10, 10));

    // One item: one column holding the item's own arrangement.
    TestGroup<VerticalWrapping> single{&a};
    ASSERT_EQ(single.Arrangements().size(), 1u);
    EXPECT_EQ(AsGroup(single.Arrangements()[0]).Children(), Combination{a.Arrangements()[0]});

    // 2^(n-1) per combination up to the exact limit; an automatic layout twice that.
    std::deque<Box> boxes;
    TestGroup<HorizontalWrapping> twelve;
    for (int i = 0; i < 12; ++i) twelve.children.push_back(&boxes.emplace_back(10 + i, 10 + (i * 7) % 5));
    TestGroup<AutoLayout> automatic;
    automatic.children = twelve.children;
    EXPECT_EQ(twelve.Arrangements().OfferedCount(), 2048u);
    EXPECT_EQ(automatic.Arrangements().OfferedCount(), 4096u);
}

// The group sizes each break before making it; the set must come out as if every break
// had been made and added.
TEST(Wrapping, SizingBeforeMakingKeepsTheSameSet) {
    std::mt19937 random(7);
    auto next = [&random](int inChoices, float inStep) { return float(random() % inChoices) * inStep; };
    for (int round = 0; round < 40; ++round) {
        const std::size_t n = 1 + random() % 9;
        std::deque<Box> boxes;
        TestGroup<HorizontalWrapping> wrap;
        wrap.Spacing(next(7, 0.7f), next(5, 1.3f));
        wrap.Margins(next(4, 0.9f), next(3, 1.1f), next(4, 0.3f), next(3, 2.1f));
        Combination items;
        for (std::size_t i = 0; i < n; ++i) {
            wrap.children.push_back(&boxes.emplace_back(5 + next(40, 1.7f), 5 + next(20, 2.3f)));
            items.push_back(boxes.back().Arrangements()[0]);
        }

        // Every break made and added, lines as rows, stacked in a column.
        ArrangementSet all;
        for (const Split& split : WrappingSplits(n, true, {}, 0)) {
            const bool lineFrame = split.size() == 1 && split[0] > 1;
            Combination lines;
            auto start = items.begin();
            for (std::size_t count : split) {
                const Combination line(start, start + count);
                start += count;
                lines.push_back(count == 1 ? line[0] : new impl::RowArrangement(wrap, line, {}, lineFrame));
            }
            all.AddArrangement(new impl::ColumnArrangement(wrap, lines, {}, !lineFrame));
        }
        EXPECT_EQ(MinSizes(wrap.Arrangements()), MinSizes(all)) << round;
    }
}

TEST(Wrapping, SeparatorsGoToTheGapsInsideLinesAndAtBreaks) {
    Box a(5, 10), b(5, 20), c(30, 30);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    const ArrangementSet& set = wrap.Separated().Arrangements();
    ASSERT_EQ(wrap.separators.size(), 2u);
    ISeparator *s0 = wrap.separators[0].get(), *s1 = wrap.separators[1].get();
    ASSERT_EQ(MinSizes(set), (Sizes{{40, 30}, {30, 50}, {35, 40}}));  // one line, 2 + 1, 1 + 2

    using Separators = GroupArrangement::Separators;
    EXPECT_EQ(AsGroup(set[1]).ChildSeparators(), (Separators{s1}));
    EXPECT_EQ(AsGroup(AsGroup(set[1]).Children()[0]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(set[2]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(AsGroup(set[2]).Children()[1]).ChildSeparators(), (Separators{s1}));

    wrap.Arrange(RectF(0, 0, 35, 40));  // only the 1 + 2 break fits
    EXPECT_EQ(wrap.separators[0]->orientation, SeparatorInColumn);
    EXPECT_EQ(wrap.separators[0]->bounds, RectF(0, 10, 5, 0));
    EXPECT_EQ(wrap.separators[1]->orientation, SeparatorInRow);
    EXPECT_EQ(c.placed, RectF(5, 10, 30, 30));
}

TEST(Wrapping, ManyItemsGetABoundedSetOfBreaks) {
    // Beyond the exact limit: for each number of lines, the narrowest greedy break.
    const std::vector<Split> splits = WrappingSplits(20, false, std::vector<float>(20, 10.0f), 0);
    EXPECT_LE(splits.size(), 20u);
    EXPECT_EQ(splits.front(), Split{20});
    EXPECT_EQ(splits.back(), Split(20, 1));
    EXPECT_NE(std::find(splits.begin(), splits.end(), (Split{7, 7, 6})), splits.end());
    for (std::size_t i = 1; i < splits.size(); ++i) EXPECT_LT(splits[i - 1].size(), splits[i].size());

    std::deque<Box> boxes;
    TestGroup<AutoLayout> automatic;
    automatic.Spacing(2, 2);
    for (int i = 0; i < 40; ++i)
        automatic.children.push_back(&boxes.emplace_back(20 + (i * 13) % 30, 10 + (i * 7) % 12));
    automatic.Arrange(RectF(0, 0, 400, 300));
    EXPECT_LE(automatic.Arrangements().OfferedCount(), 80u);
    // Every item inside the rectangle, none over another.
    auto overlap = [](const RectF& p, const RectF& q) {
        return p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height;
    };
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const RectF& p = boxes[i].placed;
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.width <= 400 && p.y + p.height <= 300) << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(overlap(p, boxes[j].placed)) << i << " " << j;
    }
}

TEST(ArrangeableGroup, ManyCombinationsAreBoundedToTheExtremesPerLimit) {
    std::deque<Box> boxes;
    std::deque<TestGroup<Flipping>> flips;
    TestGroup<Row> row;
    for (int i = 0; i < 16; ++i)
        row.children.push_back(&flips.emplace_back(
            std::initializer_list<IArrangeable*>{&boxes.emplace_back(20, 10), &boxes.emplace_back(20, 10)}));
    row.Arrange(RectF(0, 0, 640, 10));  // 2^16 combinations: only the limited ones
    EXPECT_LE(row.Arrangements().OfferedCount(), 64u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(boxes[2 * i + 1].placed, RectF(40.0f * i + 20, 0, 20, 10));
    row.Arrange(RectF(0, 0, 320, 20));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(boxes[2 * i + 1].placed, RectF(20.0f * i, 10, 20, 10));

    // Sizes that are not numbers take no part in the limits.
    boxes[0].minWidth = std::nanf("");
    row.InvalidateAll();
    EXPECT_EQ(boxes[3].placed, RectF(20, 10, 20, 10));

    row.children.resize(12);  // 4096 combinations: all of them
    row.InvalidateAll();
    EXPECT_EQ(row.Arrangements().OfferedCount(), 4096u);
}

namespace {

// A column whose first child is a dynamic group, asked for live, as clients do.
struct HostColumn : TestGroup<Column> {
    using TestGroup<Column>::VisitChildren;
    bool VisitChildren(IArrangeable::Visitor inVisitor) override {
        return (dynamic == nullptr || inVisitor(dynamic->Group())) && Visit(inVisitor);
    }
    TestDynamic* dynamic = nullptr;
};

}  // namespace

TEST(DynamicGroup, HostsTheKindAndSwitchesItInPlace) {
    TestDynamic lone;
    EXPECT_EQ(lone.ArrangementType(), GroupAutoLayout);
    EXPECT_NE(dynamic_cast<AutoLayout*>(&lone.Group()), nullptr);
    lone.SetArrangementType(GroupFlipping, nullptr);
    EXPECT_NE(dynamic_cast<Flipping*>(&lone.Group()), nullptr);

    Box x(30, 10), y(30, 10), below(50, 10);
    HostColumn root;
    TestDynamic dynamic(&root, GroupColumn);
    dynamic.children = {&x, &y};
    root.dynamic = &dynamic;
    root.children = {&below};
    root.Arrange(RectF(0, 0, 100, 100));
    EXPECT_EQ(Placed({&y, &below}), (Rects{{0, 10, 30, 10}, {0, 20, 50, 10}}));

    // Same type: nothing happens.
    IArrangeable* hosted = &dynamic.Group();
    dynamic.SetArrangementType(GroupColumn, nullptr);
    EXPECT_EQ(&dynamic.Group(), hosted);
    EXPECT_EQ(x.arranged, 1);

    // A row with the same parent, its children moved over, the tree rearranged at once.
    dynamic.SetArrangementType(GroupRow, nullptr);
    EXPECT_NE(dynamic_cast<Row*>(&dynamic.Group()), nullptr);
    EXPECT_EQ(dynamic.Group().Parent(), &root);
    EXPECT_EQ(x.Parent(), &dynamic.Group());
    EXPECT_EQ(Placed({&y, &below}), (Rects{{30, 0, 30, 10}, {0, 10, 50, 10}}));
    x.Invalidate();  // reaches the new group and the root
    EXPECT_EQ(x.arranged, 3);
    // A value outside the kinds hosts nothing new.
    hosted = &dynamic.Group();
    dynamic.SetArrangementType(static_cast<GroupArrangementType>(9), nullptr);
    EXPECT_EQ(&dynamic.Group(), hosted);

    // Switching from inside the arrangement that is running: the group being arranged
    // stays alive until the arrangement is over.
    x.onArrange = [&] {
        if (dynamic.ArrangementType() != GroupColumn) dynamic.SetArrangementType(GroupColumn, nullptr);
    };
    root.Arrange(RectF(0, 0, 100, 101));
    EXPECT_NE(dynamic_cast<Column*>(&dynamic.Group()), nullptr);
    EXPECT_EQ(Placed({&y, &below}), (Rects{{0, 10, 30, 10}, {0, 20, 50, 10}}));
}

TEST(DynamicGroup, ARootKeepsItsPlaceAcrossSwitches) {
    Box a(40, 10), b(40, 10);
    TestDynamic dynamic(nullptr, GroupRow);
    dynamic.children = {&a, &b};
    dynamic.Spacing(4, 0);
    dynamic.Group().Arrange(RectF(10, 10, 200, 100));
    EXPECT_EQ(b.placed, RectF(54, 10, 40, 10));
    EXPECT_EQ(dynamic.BestSize(), PointF(84, 10));

    dynamic.EnableArrangement(false);
    dynamic.SetArrangementType(GroupColumn, nullptr);
    EXPECT_FALSE(dynamic.ArrangementEnabled());
    EXPECT_EQ(b.arranged, 1);
    dynamic.EnableArrangement(true);
    EXPECT_EQ(b.placed, RectF(10, 20, 40, 10));
    EXPECT_EQ(dynamic.Group().Bounds(), RectF(10, 10, 200, 100));

    // A value outside the kinds from the start: no group, and no crash.
    TestDynamic none(nullptr, static_cast<GroupArrangementType>(-1));
    EXPECT_FALSE(none.HasGroup());
    EXPECT_THROW(none.Group(), std::logic_error);
    EXPECT_EQ(none.BestSize(), PointF(0, 0));
    none.Invalidate();
    none.SetArrangementType(GroupRow, nullptr);
    EXPECT_TRUE(none.HasGroup());
}
