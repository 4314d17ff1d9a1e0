#include "TestItems.h"

#include "arrange/src/Wrapping.h"

#include <tarncore/arrange/GroupArrangement.h>

#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

using namespace arrange_test;
using namespace tarncore::arrange;
using tarncore::arrange::impl::ArrangementPtr;
using tarncore::arrange::impl::GroupArrangement;
using tarncore::arrange::impl::Split;
using tarncore::arrange::impl::WrappingSplits;

namespace {

GroupArrangement& AsGroup(const ArrangementPtr& inArrangement) {
    auto* group = dynamic_cast<GroupArrangement*>(inArrangement.get());
    if (group == nullptr) throw std::logic_error("not a group arrangement");
    return *group;
}

using Sizes = std::vector<PointF>;

}  // namespace

TEST(Flipping, ChoosesTheRowOrTheColumnThatFits) {
    Box a(100, 20), b(100, 20);
    TestGroup<Flipping> flip{&a, &b};
    flip.Arrange(Rect(0, 0, 250, 30));
    EXPECT_EQ(b.placed, Rect(100, 0, 100, 20));
    flip.Arrange(Rect(0, 0, 120, 50));
    EXPECT_EQ(b.placed, Rect(0, 20, 100, 20));
    // Neither fits: the smaller overflow wins (row 1200 against column 2500).
    flip.Arrange(Rect(0, 0, 190, 15));
    EXPECT_EQ(b.placed, Rect(100, 0, 100, 20));
}

TEST(Wrapping, OffersEveryBreakInOrderAndKeepsTheUndominated) {
    EXPECT_EQ(WrappingSplits(4, true, {}, 0), (std::vector<Split>{{4}, {3, 1}, {2, 2}, {1, 3}, {2, 1, 1},
                                                                    {1, 2, 1}, {1, 1, 2}, {1, 1, 1, 1}}));

    Box a(10, 10), b(10, 10), c(10, 10);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    EXPECT_EQ(wrap.Arrangements().OfferedCount(), 4u);
    EXPECT_EQ(MinSizes(wrap.Arrangements()), (Sizes{{30, 10}, {20, 20}, {10, 30}}));
    // The 2 + 1 and 1 + 2 breaks are the same size: the later, 1 + 2, stays.
    EXPECT_EQ(AsGroup(wrap.Arrangements()[1]).Children()[0], a.Arrangements()[0]);
    wrap.Arrange(Rect(0, 0, 25, 25));
    EXPECT_EQ(Placed({&a, &b, &c}), (std::vector<RectF>{Rect(0, 0, 10, 10), Rect(0, 10, 10, 10),
                                                        Rect(10, 10, 10, 10)}));

    // With margins the group's frame is applied once, around all the lines.
    wrap.Margins(5, 5, 5, 5);
    wrap.Invalidate();
    wrap.Arrange(Rect(0, 0, 40, 20));
    EXPECT_EQ(MinSizes(wrap.Arrangements()), (Sizes{{40, 20}, {30, 30}, {20, 40}}));
    EXPECT_EQ(wrap.positions.back(), PointF(5, 5));
    EXPECT_EQ(wrap.dimensions.back(), PointF(30, 10));
    EXPECT_EQ(c.placed, Rect(25, 5, 10, 10));
    wrap.Arrange(Rect(0, 0, 20, 40));
    EXPECT_EQ(c.placed, Rect(5, 25, 10, 10));

    // One item: one column holding the item's own arrangement.
    TestGroup<VerticalWrapping> single{&a};
    ASSERT_EQ(single.Arrangements().size(), 1u);
    EXPECT_NE(dynamic_cast<impl::RowArrangement*>(single.Arrangements()[0].get()), nullptr);
    EXPECT_EQ(AsGroup(single.Arrangements()[0]).Children(), (std::vector<ArrangementPtr>{a.Arrangements()[0]}));

    // 2^(n-1) per combination up to the exact limit; an automatic layout twice that.
    std::deque<Box> boxes;
    TestGroup<HorizontalWrapping> twelve;
    TestGroup<AutoLayout> automatic;
    for (int i = 0; i < 12; ++i) {
        boxes.emplace_back(10 + i, 10 + (i * 7) % 5);
        twelve.children.push_back(&boxes.back()), automatic.children.push_back(&boxes.back());
    }
    EXPECT_EQ(twelve.Arrangements().OfferedCount(), 2048u);
    EXPECT_EQ(automatic.Arrangements().OfferedCount(), 4096u);
}

// The group sizes each break before making it; the set must come out as if every break
// had been made and added.
TEST(Wrapping, SizingBeforeMakingKeepsTheSameSet) {
    std::mt19937 random(7);
    auto next = [&random](int inChoices, float inStep) { return static_cast<float>(random() % inChoices) * inStep; };
    for (int round = 0; round < 40; ++round) {
        const std::size_t n = 1 + random() % 9;
        std::deque<Box> boxes;
        TestGroup<HorizontalWrapping> wrap;
        wrap.hSpacing = next(7, 0.7f);
        wrap.vSpacing = next(5, 1.3f);
        wrap.Margins(next(4, 0.9f), next(3, 1.1f), next(4, 0.3f), next(3, 2.1f));
        impl::ArrangementSet all;
        GroupArrangement::Combination items;
        for (std::size_t i = 0; i < n; ++i) {
            boxes.emplace_back(5 + next(40, 1.7f), 5 + next(20, 2.3f));
            wrap.children.push_back(&boxes.back());
            items.push_back(boxes.back().Arrangements()[0]);
        }

        // Every break made and added, lines as rows, stacked in a column.
        for (const Split& split : WrappingSplits(n, true, {}, 0)) {
            const bool lineFrame = split.size() == 1 && split[0] > 1;
            GroupArrangement::Combination lines;
            auto start = items.begin();
            for (std::size_t count : split) {
                lines.push_back(count == 1 ? *start
                                           : ArrangementPtr(new impl::RowArrangement(
                                                 wrap, GroupArrangement::Combination(start, start + count), {},
                                                 lineFrame)));
                start += count;
            }
            all.AddArrangement(ArrangementPtr(new impl::ColumnArrangement(wrap, lines, {}, !lineFrame)));
        }
        EXPECT_EQ(MinSizes(wrap.Arrangements()), MinSizes(all)) << round;
    }
}

TEST(Wrapping, SeparatorsGoToTheGapsInsideLinesAndAtBreaks) {
    Box a(5, 10), b(5, 20), c(30, 30);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    wrap.withSeparators = true;
    const auto& set = wrap.Arrangements();
    ASSERT_EQ(wrap.separators.size(), 2u);
    auto* s0 = wrap.separators[0].get();
    auto* s1 = wrap.separators[1].get();
    // One line, 2 + 1, 1 + 2.
    ASSERT_EQ(MinSizes(set), (Sizes{{40, 30}, {30, 50}, {35, 40}}));

    using Separators = GroupArrangement::Separators;
    EXPECT_EQ(AsGroup(set[1]).ChildSeparators(), (Separators{s1}));
    EXPECT_EQ(AsGroup(AsGroup(set[1]).Children()[0]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(set[2]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(AsGroup(set[2]).Children()[1]).ChildSeparators(), (Separators{s1}));

    wrap.Arrange(Rect(0, 0, 35, 40));  // only the 1 + 2 break fits
    EXPECT_EQ(s0->orientation, SeparatorInColumn);
    EXPECT_EQ(s0->bounds, Rect(0, 10, 5, 0));
    EXPECT_EQ(s1->orientation, SeparatorInRow);
    EXPECT_EQ(c.placed, Rect(5, 10, 30, 30));
}

TEST(Wrapping, ManyItemsGetABoundedSetOfBreaks) {
    // Beyond the exact limit: for each number of lines, the narrowest greedy break.
    const std::vector<Split> splits = WrappingSplits(20, false, std::vector<float>(20, 10.0f), 0);
    EXPECT_LE(splits.size(), 20u);
    EXPECT_EQ(splits.front(), Split{20});
    EXPECT_EQ(splits.back(), Split(20, 1));
    EXPECT_NE(std::find(splits.begin(), splits.end(), (Split{7, 7, 6})), splits.end());
    for (std::size_t i = 1; i < splits.size(); ++i) {
        EXPECT_EQ(std::accumulate(splits[i].begin(), splits[i].end(), std::size_t(0)), 20u);
        EXPECT_LT(splits[i - 1].size(), splits[i].size());
    }

    std::deque<Box> boxes;
    TestGroup<AutoLayout> automatic;
    automatic.hSpacing = automatic.vSpacing = 2;
    for (int i = 0; i < 40; ++i) automatic.children.push_back(&boxes.emplace_back(20 + (i * 13) % 30, 10 + (i * 7) % 12));
    automatic.Arrange(Rect(0, 0, 400, 300));
    EXPECT_LE(automatic.Arrangements().OfferedCount(), 80u);
    // Every item inside the rectangle, none over another.
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const RectF& p = boxes[i].placed;
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + p.width <= 400 && p.y + p.height <= 300) << i;
        for (std::size_t j = 0; j < i; ++j) {
            const RectF& q = boxes[j].placed;
            EXPECT_FALSE(p.x < q.x + q.width && q.x < p.x + p.width && p.y < q.y + q.height && q.y < p.y + p.height)
                << i << " " << j;
        }
    }
}

TEST(ArrangeableGroup, ManyCombinationsAreBoundedToTheExtremesPerLimit) {
    std::deque<Box> boxes;
    std::deque<TestGroup<Flipping>> flips;
    TestGroup<Row> row;
    for (int i = 0; i < 16; ++i) {
        flips.emplace_back(std::initializer_list<IArrangeable*>{&boxes.emplace_back(20, 10), &boxes.emplace_back(20, 10)});
        row.children.push_back(&flips.back());
    }
    row.Arrange(Rect(0, 0, 640, 10));  // 2^16 combinations: only the limited ones
    EXPECT_LE(row.Arrangements().OfferedCount(), 64u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(boxes[2 * i + 1].placed, Rect(40.0f * i + 20, 0, 20, 10));
    row.Arrange(Rect(0, 0, 320, 20));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(boxes[2 * i + 1].placed, Rect(20.0f * i, 10, 20, 10));

    // Sizes that are not numbers take no part in the limits.
    boxes[0].minWidth = std::nanf("");
    row.InvalidateAll();
    EXPECT_EQ(boxes[3].placed, Rect(20, 10, 20, 10));

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
    root.Arrange(Rect(0, 0, 100, 100));
    EXPECT_EQ(Placed({&y, &below}), (std::vector<RectF>{Rect(0, 10, 30, 10), Rect(0, 20, 50, 10)}));

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
    EXPECT_EQ(Placed({&y, &below}), (std::vector<RectF>{Rect(30, 0, 30, 10), Rect(0, 10, 50, 10)}));
    x.Invalidate();  // reaches the new group and the root
    EXPECT_EQ(x.arranged, 3);
    // A value outside the kinds hosts nothing new.
    hosted = &dynamic.Group();
    dynamic.SetArrangementType(static_cast<GroupArrangementType>(9), nullptr);
    EXPECT_EQ(&dynamic.Group(), hosted);

    // Switching from inside the arrangement that is running: the group being arranged
    // stays alive until the arrangement is over.
    bool switched = false;
    x.onArrange = [&] {
        if (!switched) switched = true, dynamic.SetArrangementType(GroupColumn, nullptr);
    };
    root.Arrange(Rect(0, 0, 100, 101));
    EXPECT_TRUE(switched);
    EXPECT_EQ(Placed({&y, &below}), (std::vector<RectF>{Rect(0, 10, 30, 10), Rect(0, 20, 50, 10)}));
}

TEST(DynamicGroup, ARootKeepsItsPlaceAcrossSwitches) {
    Box a(40, 10), b(40, 10);
    TestDynamic dynamic(nullptr, GroupRow);
    dynamic.children = {&a, &b};
    dynamic.hSpacing = 4;
    dynamic.Group().Arrange(Rect(10, 10, 200, 100));
    EXPECT_EQ(b.placed, Rect(54, 10, 40, 10));
    EXPECT_EQ(dynamic.BestSize(), PointF(84, 10));

    dynamic.EnableArrangement(false);
    dynamic.SetArrangementType(GroupColumn, nullptr);
    EXPECT_FALSE(dynamic.ArrangementEnabled());
    EXPECT_EQ(b.arranged, 1);
    dynamic.EnableArrangement(true);
    EXPECT_EQ(b.placed, Rect(10, 20, 40, 10));
    EXPECT_EQ(dynamic.Group().Bounds(), Rect(10, 10, 200, 100));

    TestDynamic none(nullptr, static_cast<GroupArrangementType>(-1));
    EXPECT_FALSE(none.HasGroup());
    EXPECT_THROW(none.Group(), std::logic_error);
    EXPECT_EQ(none.BestSize(), PointF(0, 0));
    none.Invalidate();
    none.SetArrangementType(GroupRow, nullptr);
    EXPECT_TRUE(none.HasGroup());
}
