#include <tarncore/arrange/Arrangement.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using tarncore::arrange::impl::ArrangementPtr;
using tarncore::arrange::impl::ArrangementSet;
using tarncore::arrange::impl::IArrangement;
using tarncore::geom::PointF;
using tarncore::geom::RectF;

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

boost::intrusive_ptr<Fake> Make(float inMinW, float inMinH) {
    return new Fake({inMinW, inMinH, inMinW, inMinH, 0, 0});
}

std::vector<IArrangement*> Entries(const ArrangementSet& inSet) {
    std::vector<IArrangement*> entries;
    for (const ArrangementPtr& entry : inSet) entries.push_back(entry.get());
    return entries;
}

}  // namespace

TEST(ArrangementSet, KeepsOnlyUndominatedMinimumSizesLaterEqualOnesReplacing) {
    ArrangementSet set;
    auto wide = Make(30, 10), square1 = Make(20, 20), square2 = Make(20, 20), tall = Make(10, 30);
    set.AddArrangement(ArrangementPtr());  // ignored
    // 25 x 25 changes nothing: 20 x 20 is no larger.
    for (auto& a : {wide, square1, square2, tall, Make(25, 25)}) set.AddArrangement(a);
    EXPECT_EQ(Entries(set), (std::vector<IArrangement*>{wide.get(), square2.get(), tall.get()}));

    auto smaller = Make(15, 15);
    set.AddArrangement(smaller);
    EXPECT_EQ(Entries(set), (std::vector<IArrangement*>{wide.get(), tall.get(), smaller.get()}));
    EXPECT_EQ(set.OfferedCount(), 6u);

    // One that beats several at once replaces all of them, wherever they stand.
    auto tiny = Make(5, 5);
    set.AddArrangement(tiny);
    EXPECT_EQ(Entries(set), (std::vector<IArrangement*>{tiny.get()}));

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

TEST(ArrangementSet, OfferMakesOnlyWhatTheSetKeeps) {
    ArrangementSet set;
    set.AddArrangement(Make(20, 20));
    int made = 0;
    for (PointF size : {PointF(25, 20), PointF(20, 20), PointF(10, 30)})
        set.Offer(size.x, size.y, [&made, size] { return ++made, ArrangementPtr(Make(size.x, size.y)); });
    EXPECT_EQ(made, 2);  // 25 x 20 is beaten; an equal size replaces
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(set.OfferedCount(), 4u);
}

TEST(ArrangementSet, SizesThatAreNotNumbersDoNotPileUp) {
    // They compare as infinitely large: such arrangements replace one another and lose
    // to any real size, instead of each one staying.
    const float nan = std::nanf("");
    ArrangementSet set;
    for (int i = 0; i < 100; ++i) set.AddArrangement(Make(nan, 10));
    EXPECT_EQ(set.size(), 1u);
    auto real = Make(1e30f, 10);
    set.AddArrangement(real);
    EXPECT_EQ(Entries(set), (std::vector<IArrangement*>{real.get()}));
    EXPECT_TRUE(set.Beats(nan, nan));
    set.AddArrangement(Make(nan, 5));
    EXPECT_EQ(set.size(), 2u);
}
