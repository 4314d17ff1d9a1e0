#include "TestItems.h"

#include "arrange/src/Wrapping.h"

#include <tarncore/arrange/GroupArrangement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <random>
#include <stdexcept>
#include <vector>

using namespace arrange_test;
using tarncore::arrange::AutoLayout;
using tarncore::arrange::Column;
using tarncore::arrange::Flipping;
using tarncore::arrange::GroupArrangementType;
using tarncore::arrange::HorizontalWrapping;
using tarncore::arrange::Row;
using tarncore::arrange::VerticalWrapping;
using tarncore::arrange::impl::ArrangementPtr;
using tarncore::arrange::impl::ColumnArrangement;
using tarncore::arrange::impl::GroupArrangement;
using tarncore::arrange::impl::RowArrangement;
using tarncore::arrange::impl::Split;

namespace {

GroupArrangement& AsGroup(const ArrangementPtr& inArrangement) {
    auto* group = dynamic_cast<GroupArrangement*>(inArrangement.get());
    if (group == nullptr) throw std::logic_error("not a group arrangement");
    return *group;
}

PointF MinSize(const ArrangementPtr& inArrangement) {
    return PointF(inArrangement->MinWidth(), inArrangement->MinHeight());
}

bool Overlap(const RectF& inA, const RectF& inB) {
    return inA.x < inB.x + inB.width && inB.x < inA.x + inA.width && inA.y < inB.y + inB.height &&
           inB.y < inA.y + inA.height;
}

}  // namespace

TEST(Flipping, ChoosesTheRowOrTheColumnThatFits) {
    Box a(100, 20), b(100, 20);
    TestGroup<Flipping> flip{&a, &b};
    ASSERT_EQ(flip.Arrangements().size(), 2u);
    EXPECT_NE(dynamic_cast<RowArrangement*>(flip.Arrangements()[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<ColumnArrangement*>(flip.Arrangements()[1].get()), nullptr);

    flip.Arrange(Rect(0, 0, 250, 30));
    EXPECT_EQ(b.placed, Rect(100, 0, 100, 20));
    flip.Arrange(Rect(0, 0, 120, 50));
    EXPECT_EQ(b.placed, Rect(0, 20, 100, 20));
    // Neither fits: the smaller overflow wins (row 1200 against column 2500).
    flip.Arrange(Rect(0, 0, 190, 15));
    EXPECT_EQ(b.placed, Rect(100, 0, 100, 20));
}

TEST(Wrapping, OffersEveryBreakInOrderAndKeepsTheUndominated) {
    EXPECT_EQ(tarncore::arrange::impl::WrappingSplits(4, true, {}, 0),
              (std::vector<Split>{{4}, {3, 1}, {2, 2}, {1, 3}, {2, 1, 1}, {1, 2, 1}, {1, 1, 2},
                                  {1, 1, 1, 1}}));

    Box a(10, 10), b(10, 10), c(10, 10);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    const auto& set = wrap.Arrangements();
    EXPECT_EQ(set.OfferedCount(), 4u);
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(MinSize(set[0]), PointF(30, 10));
    EXPECT_EQ(MinSize(set[1]), PointF(20, 20));
    EXPECT_EQ(MinSize(set[2]), PointF(10, 30));
    // The 2 + 1 and 1 + 2 breaks are the same size: the later, 1 + 2, stays.
    ASSERT_EQ(AsGroup(set[1]).Children().size(), 2u);
    EXPECT_EQ(AsGroup(set[1]).Children()[0], a.Arrangements()[0]);
    EXPECT_EQ(AsGroup(AsGroup(set[1]).Children()[1]).Children().size(), 2u);

    wrap.Arrange(Rect(0, 0, 25, 25));
    EXPECT_EQ(a.placed, Rect(0, 0, 10, 10));
    EXPECT_EQ(b.placed, Rect(0, 10, 10, 10));
    EXPECT_EQ(c.placed, Rect(10, 10, 10, 10));

    // One item: one column holding the item's own arrangement.
    TestGroup<VerticalWrapping> single{&a};
    ASSERT_EQ(single.Arrangements().size(), 1u);
    EXPECT_NE(dynamic_cast<RowArrangement*>(single.Arrangements()[0].get()), nullptr);
    EXPECT_EQ(AsGroup(single.Arrangements()[0]).Children(),
              (std::vector<ArrangementPtr>{a.Arrangements()[0]}));

    // 2^(n-1) per combination up to the exact limit; an automatic layout twice that.
    std::deque<Box> boxes;
    for (int i = 0; i < 12; ++i) boxes.emplace_back(10 + i, 10 + (i * 7) % 5);
    TestGroup<HorizontalWrapping> twelve;
    TestGroup<AutoLayout> automatic;
    for (Box& box : boxes) twelve.children.push_back(&box), automatic.children.push_back(&box);
    EXPECT_EQ(twelve.Arrangements().OfferedCount(), 2048u);
    EXPECT_EQ(automatic.Arrangements().OfferedCount(), 4096u);
}

// The group sizes each break before making it; the set must come out as if every break
// had been made and added.
TEST(Wrapping, SizingBeforeMakingKeepsTheSameSet) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const std::size_t n = 1 + random() % 9;
        std::deque<Box> boxes;
        TestGroup<HorizontalWrapping> wrap;
        wrap.hSpacing = static_cast<float>(random() % 7) * 0.7f;
        wrap.vSpacing = static_cast<float>(random() % 5) * 1.3f;
        wrap.Margins(static_cast<float>(random() % 4) * 0.9f, static_cast<float>(random() % 3) * 1.1f,
                     static_cast<float>(random() % 4) * 0.3f, static_cast<float>(random() % 3) * 2.1f);
        for (std::size_t i = 0; i < n; ++i) {
            boxes.emplace_back(5.0f + static_cast<float>(random() % 40) * 1.7f,
                               5.0f + static_cast<float>(random() % 20) * 2.3f);
            wrap.children.push_back(&boxes.back());
        }
        const auto& kept = wrap.Arrangements();

        // Every break made and added, lines as rows, stacked in a column.
        tarncore::arrange::impl::ArrangementSet all;
        GroupArrangement::Combination items;
        for (Box& box : boxes) items.push_back(box.Arrangements()[0]);
        for (const Split& split : tarncore::arrange::impl::WrappingSplits(n, true, {}, 0)) {
            const bool lineFrame = split.size() == 1 && split[0] > 1;
            GroupArrangement::Combination lines;
            std::size_t start = 0;
            for (std::size_t count : split) {
                if (count == 1)
                    lines.push_back(items[start]);
                else
                    lines.push_back(ArrangementPtr(new RowArrangement(
                        wrap, GroupArrangement::Combination(items.begin() + start, items.begin() + start + count),
                        {}, lineFrame)));
                start += count;
            }
            all.AddArrangement(ArrangementPtr(new ColumnArrangement(wrap, lines, {}, !lineFrame)));
        }
        ASSERT_EQ(kept.size(), all.size()) << round;
        for (std::size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(MinSize(kept[i]), MinSize(all[i])) << round;
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
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(MinSize(set[0]), PointF(40, 30));  // one line
    EXPECT_EQ(MinSize(set[1]), PointF(30, 50));  // 2 + 1
    EXPECT_EQ(MinSize(set[2]), PointF(35, 40));  // 1 + 2

    using Separators = GroupArrangement::Separators;
    EXPECT_EQ(AsGroup(set[1]).ChildSeparators(), (Separators{s1}));
    EXPECT_EQ(AsGroup(AsGroup(set[1]).Children()[0]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(set[2]).ChildSeparators(), (Separators{s0}));
    EXPECT_EQ(AsGroup(AsGroup(set[2]).Children()[1]).ChildSeparators(), (Separators{s1}));

    wrap.Arrange(Rect(0, 0, 35, 40));  // only the 1 + 2 break fits
    EXPECT_EQ(s0->orientation, tarncore::arrange::SeparatorInColumn);
    EXPECT_EQ(s0->bounds, Rect(0, 10, 5, 0));
    EXPECT_EQ(s1->orientation, tarncore::arrange::SeparatorInRow);
    EXPECT_EQ(c.placed, Rect(5, 10, 30, 30));
}

TEST(Wrapping, AppliesTheGroupFrameOnce) {
    Box a(10, 10), b(10, 10), c(10, 10);
    TestGroup<HorizontalWrapping> wrap{&a, &b, &c};
    wrap.Margins(5, 5, 5, 5);
    const auto& set = wrap.Arrangements();
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(MinSize(set[0]), PointF(40, 20));
    EXPECT_EQ(MinSize(set[1]), PointF(30, 30));
    EXPECT_EQ(MinSize(set[2]), PointF(20, 40));

    wrap.Arrange(Rect(0, 0, 40, 20));
    EXPECT_EQ(wrap.positions, (std::vector<PointF>{PointF(5, 5)}));
    EXPECT_EQ(wrap.dimensions, (std::vector<PointF>{PointF(30, 10)}));
    EXPECT_EQ(c.placed, Rect(25, 5, 10, 10));
    wrap.Arrange(Rect(0, 0, 20, 40));
    EXPECT_EQ(wrap.positions.size(), 2u);
    EXPECT_EQ(c.placed, Rect(5, 25, 10, 10));
}

TEST(Wrapping, ManyItemsGetABoundedSetOfBreaks) {
    const std::vector<Split> splits =
        tarncore::arrange::impl::WrappingSplits(20, false, std::vector<float>(20, 10.0f), 0);
    ASSERT_FALSE(splits.empty());
    EXPECT_LE(splits.size(), 20u);
    EXPECT_EQ(splits.front(), Split{20});
    EXPECT_EQ(splits.back(), Split(20, 1));
    EXPECT_NE(std::find(splits.begin(), splits.end(), (Split{7, 7, 6})), splits.end());
    for (std::size_t i = 0; i < splits.size(); ++i) {
        std::size_t items = 0;
        for (std::size_t count : splits[i]) items += count;
        EXPECT_EQ(items, 20u);
        if (i > 0) {
            EXPECT_LT(splits[i - 1].size(), splits[i].size());
        }
    }

    std::deque<Box> boxes;
    for (int i = 0; i < 40; ++i) boxes.emplace_back(20 + (i * 13) % 30, 10 + (i * 7) % 12);
    TestGroup<AutoLayout> automatic;
    automatic.hSpacing = automatic.vSpacing = 2;
    for (Box& box : boxes) automatic.children.push_back(&box);
    automatic.Arrange(Rect(0, 0, 400, 300));
    EXPECT_LE(automatic.Arrangements().OfferedCount(), 80u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const RectF& placed = boxes[i].placed;
        EXPECT_TRUE(placed.x >= 0 && placed.y >= 0 && placed.x + placed.width <= 400 &&
                    placed.y + placed.height <= 300)
            << i;
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Overlap(placed, boxes[j].placed)) << i << j;
    }
}

TEST(ArrangeableGroup, ManyCombinationsAreBoundedToTheExtremesPerLimit) {
    std::deque<Box> boxes;
    std::vector<std::unique_ptr<TestGroup<Flipping>>> flips;
    for (int i = 0; i < 32; ++i) boxes.emplace_back(20, 10);
    TestGroup<Row> row;
    for (int i = 0; i < 16; ++i) {
        flips.push_back(std::make_unique<TestGroup<Flipping>>(
            std::initializer_list<IArrangeable*>{&boxes[2 * i], &boxes[2 * i + 1]}));
        row.children.push_back(flips.back().get());
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
        if (dynamic != nullptr && !inVisitor(dynamic->Group())) return false;
        return Visit(inVisitor);
    }
    TestDynamic* dynamic = nullptr;
};

}  // namespace

TEST(DynamicGroup, HostsTheKindAndSwitchesItInPlace) {
    TestDynamic lone;
    EXPECT_EQ(lone.ArrangementType(), tarncore::arrange::GroupAutoLayout);
    EXPECT_NE(dynamic_cast<AutoLayout*>(&lone.Group()), nullptr);
    EXPECT_EQ(lone.Group().Parent(), nullptr);

    Box x(30, 10), y(30, 10), below(50, 10);
    HostColumn root;
    TestDynamic dynamic(&root, tarncore::arrange::GroupColumn);
    dynamic.children = {&x, &y};
    root.dynamic = &dynamic;
    root.children = {&below};
    root.Arrange(Rect(0, 0, 100, 100));
    EXPECT_EQ(y.placed, Rect(0, 10, 30, 10));
    EXPECT_EQ(below.placed, Rect(0, 20, 50, 10));

    // Same type: nothing happens.
    IArrangeable* hosted = &dynamic.Group();
    dynamic.SetArrangementType(tarncore::arrange::GroupColumn, nullptr);
    EXPECT_EQ(&dynamic.Group(), hosted);
    EXPECT_EQ(x.arranged, 1);

    // A row with the same parent, its children moved over, the tree rearranged at once.
    dynamic.SetArrangementType(tarncore::arrange::GroupRow, nullptr);
    EXPECT_NE(dynamic_cast<Row*>(&dynamic.Group()), nullptr);
    EXPECT_EQ(dynamic.Group().Parent(), &root);
    EXPECT_EQ(x.Parent(), &dynamic.Group());
    EXPECT_EQ(y.placed, Rect(30, 0, 30, 10));
    EXPECT_EQ(below.placed, Rect(0, 10, 50, 10));
    x.Invalidate();  // reaches the new group and the root
    EXPECT_EQ(x.arranged, 3);

    // A value outside the kinds hosts nothing new.
    hosted = &dynamic.Group();
    dynamic.SetArrangementType(static_cast<GroupArrangementType>(9), nullptr);
    EXPECT_EQ(&dynamic.Group(), hosted);
    dynamic.SetArrangementType(tarncore::arrange::GroupFlipping, nullptr);
    EXPECT_NE(dynamic_cast<Flipping*>(&dynamic.Group()), nullptr);

    // Switching from inside the arrangement that is running.
    bool switched = false;
    x.onArrange = [&] {
        if (!switched) switched = true, dynamic.SetArrangementType(tarncore::arrange::GroupColumn, nullptr);
    };
    root.Arrange(Rect(0, 0, 100, 101));
    EXPECT_TRUE(switched);
    EXPECT_EQ(y.placed, Rect(0, 10, 30, 10));
    EXPECT_EQ(below.placed, Rect(0, 20, 50, 10));
}

TEST(DynamicGroup, ARootKeepsItsPlaceAcrossSwitches) {
    Box a(40, 10), b(40, 10);
    TestDynamic dynamic(nullptr, tarncore::arrange::GroupRow);
    dynamic.children = {&a, &b};
    dynamic.hSpacing = 4;
    dynamic.Group().Arrange(Rect(10, 10, 200, 100));
    EXPECT_EQ(b.placed, Rect(54, 10, 40, 10));
    EXPECT_EQ(dynamic.BestSize(), PointF(84, 10));

    dynamic.EnableArrangement(false);
    dynamic.SetArrangementType(tarncore::arrange::GroupColumn, nullptr);
    EXPECT_FALSE(dynamic.ArrangementEnabled());
    EXPECT_EQ(b.arranged, 1);
    dynamic.EnableArrangement(true);
    EXPECT_EQ(b.placed, Rect(10, 20, 40, 10));
    EXPECT_EQ(dynamic.Group().Bounds(), Rect(10, 10, 200, 100));

    TestDynamic none(nullptr, static_cast<GroupArrangementType>(-1));
    EXPECT_FALSE(none.HasGroup());
    EXPECT_THROW(none.Group(), std::logic_error);
    EXPECT_EQ(none.BestSize(), PointF(0, 0));
    EXPECT_FALSE(none.ArrangementEnabled());
    none.Invalidate();
    none.SetArrangementType(tarncore::arrange::GroupRow, nullptr);
    EXPECT_TRUE(none.HasGroup());
}
