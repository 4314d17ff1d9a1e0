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
struct Fake : IArrangement {
    Fake(float inMinW, float inMinH) : minW(inMinW), minH(inMinH), prefW(inMinW), prefH(inMinH) {}

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

    float minW, minH, prefW, prefH;
    float overflow = 0, waste = 0;
};

boost::intrusive_ptr<Fake> Make(float inMinW, float inMinH) {
    return boost::intrusive_ptr<Fake>(new Fake(inMinW, inMinH));
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
    for (auto& a : {wide, square1, square2, tall}) set.AddArrangement(a);
    EXPECT_EQ(Entries(set), (std::vector<IArrangement*>{wide.get(), square2.get(), tall.get()}));

    set.AddArrangement(Make(25, 25));  // 20 x 20 is no larger
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

    {  // a candidate that fits beats one that does not, however small its overflow
        ArrangementSet set;
        auto over = Make(101, 10), fits = Make(50, 90);
        over->overflow = 0.001f;
        fits->waste = 1e9f;
        fits->overflow = 5;
        set.AddArrangement(over);
        set.AddArrangement(fits);
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), fits.get());
        EXPECT_EQ(set.ChooseArrangement(40, 100).get(), over.get());  // neither fits: first...
        fits->overflow = 0.0005f;
        EXPECT_EQ(set.ChooseArrangement(40, 100).get(), fits.get());  // ...unless the later overflows less
    }
    {  // both fit: smaller waste, then smaller minimum area
        ArrangementSet set;
        auto a = Make(40, 10), b = Make(10, 30);
        a->waste = 50;
        b->waste = 40;
        set.AddArrangement(a);
        set.AddArrangement(b);
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), b.get());
        a->waste = 40;
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), b.get());  // 300 < 400
    }
    {  // equal waste and area: the preferred shape nearer 1.618 wins, else the first
        ArrangementSet set;
        auto square = Make(20, 10), golden = Make(10, 20);
        square->prefW = 100, square->prefH = 100;
        golden->prefW = 160, golden->prefH = 100;
        set.AddArrangement(square);
        set.AddArrangement(golden);
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), golden.get());
        EXPECT_EQ(set.BestSize(), PointF(10, 20));
        golden->prefW = 100;
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), square.get());
        EXPECT_EQ(set.BestSize(), PointF(20, 10));
        // A preferred height of 0 gives no usable ratio and never wins.
        golden->prefW = 160, golden->prefH = 0;
        EXPECT_EQ(set.ChooseArrangement(100, 100).get(), square.get());
    }
}

TEST(ArrangementSet, OfferMakesOnlyWhatTheSetKeeps) {
    ArrangementSet set;
    set.AddArrangement(Make(20, 20));
    int made = 0;
    auto maker = [&made](float inW, float inH) {
        return [&made, inW, inH]() {
            ++made;
            return ArrangementPtr(Make(inW, inH));
        };
    };
    EXPECT_TRUE(set.Beats(25, 20));
    EXPECT_FALSE(set.Beats(20, 20));  // equal sizes replace
    EXPECT_FALSE(set.Beats(10, 30));
    set.Offer(25, 20, maker(25, 20));
    EXPECT_EQ(made, 0);
    set.Offer(20, 20, maker(20, 20));
    set.Offer(10, 30, maker(10, 30));
    EXPECT_EQ(made, 2);
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
