// Boxes, separators and groups for the arrangement tests.
#pragma once

// Client items for the arrangement tests: boxes that record where they were placed,
// separators that record their strips, and groups of any kind over a list of children.

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/DynamicGroup.h>
#include <tarncore/arrange/Groups.h>
#include <tarncore/arrange/Single.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

namespace tarncore {
namespace geom {
// Readable failure messages for the geometry values.
template <class T>
void PrintTo(const PointT<T>& inP, std::ostream* ioOut) {
    *ioOut << "(" << inP.x << ", " << inP.y << ")";
}
template <class T>
void PrintTo(const RectT<T>& inR, std::ostream* ioOut) {
    *ioOut << "(" << inR.x << ", " << inR.y << ", " << inR.width << " x " << inR.height << ")";
}
}  // namespace geom
}  // namespace tarncore

namespace arrange_test {

using namespace tarncore::arrange;
using impl::ArrangementPtr;
using impl::ArrangementSet;
using tarncore::geom::PointF;
using tarncore::geom::RectF;
using Rects = std::vector<RectF>;
using Sizes = std::vector<PointF>;

struct Margined {
    float left = 0, right = 0, top = 0, bottom = 0;
    void Margins(float inLeft, float inTop, float inRight, float inBottom) {
        left = inLeft, top = inTop, right = inRight, bottom = inBottom;
    }
};

enum Expands { kFixed = 0, kExpandsH = 1, kExpandsV = 2, kExpandsHV = 3 };

// A control with a preferred size (and by default the same minimum width; the minimum
// height is the preferred one); an expandable one takes what it is offered up to maxWidth.
struct Box : Single, Margined {
    Box(float inWidth, float inHeight, int inExpands = kFixed)
        : preferredWidth(inWidth), preferredHeight(inHeight), minWidth(inWidth),
          expandH(inExpands & kExpandsH), expandV(inExpands & kExpandsV) {}

    float MinWidth() const override { return minWidth; }
    float PreferredWidth() const override { return preferredWidth; }
    float PreferredHeight() const override { return preferredHeight; }
    bool HorizontallyExpandable() const override { return expandH; }
    bool VerticallyExpandable() const override { return expandV; }
    float ExpandedWidth(float inAvailable) const override {
        return expandH ? std::min(inAvailable, maxWidth) : preferredWidth;
    }
    float ExpandedHeight(float inAvailable) const override { return expandV ? inAvailable : preferredHeight; }
    float LeftMargin() const override { return left; }
    float RightMargin() const override { return right; }
    float TopMargin() const override { return top; }
    float BottomMargin() const override { return bottom; }
    PointF ArrangeIn(const RectF& inContent) override {
        placed = inContent;
        ++arranged;
        if (onArrange) onArrange();
        return PointF(inContent.width, inContent.height);
    }

    float preferredWidth, preferredHeight, minWidth;
    bool expandH, expandV;
    float maxWidth = std::numeric_limits<float>::infinity();
    RectF placed{-1, -1, -1, -1};
    int arranged = 0;
    std::function<void()> onArrange;
};

// The only arrangement of an item or a row or column group.
inline ArrangementPtr Only(IArrangeable& inItem) {
    EXPECT_EQ(inItem.Arrangements().size(), 1u);
    return inItem.Arrangements()[0];
}

inline PointF MinSize(const ArrangementPtr& inOne) { return PointF(inOne->MinWidth(), inOne->MinHeight()); }

inline std::vector<PointF> MinSizes(const ArrangementSet& inSet) {
    std::vector<PointF> sizes;
    for (const ArrangementPtr& arrangement : inSet) sizes.push_back(MinSize(arrangement));
    return sizes;
}

inline std::vector<RectF> Placed(std::initializer_list<const Box*> inBoxes) {
    std::vector<RectF> placed;
    for (const Box* box : inBoxes) placed.push_back(box->placed);
    return placed;
}

struct RecordingSeparator : ISeparator {
    void SetBounds(SeparatorOrientation inOrientation, const RectF& inBounds) override {
        orientation = inOrientation;
        bounds = inBounds;
    }
    int orientation = -1;
    RectF bounds{-1, -1, -1, -1};
};

// A group of kind Kind (Row, Column, Flipping, ..., or DynamicGroup) over a list of
// children, recording its separators and what it is told about its frame.
template <class Kind>
struct TestGroup : Kind, Margined {
    using Kind::Kind;
    TestGroup(std::initializer_list<IArrangeable*> inChildren = {}) : children(inChildren) {}

    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return Visit(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override { return Visit(inVisitor); }
    float HorizontalSpacing() const override { return hSpacing; }
    float VerticalSpacing() const override { return vSpacing; }
    AlignmentHorizontal HorizontalAlignment() override { return AlignmentHorizontal(hAlign); }
    AlignmentVertical VerticalAlignment() override { return AlignmentVertical(vAlign); }
    ISeparator* BuildSeparator() override {
        return withSeparators ? separators.emplace_back(new RecordingSeparator).get() : nullptr;
    }
    void ClearSeparators() override { ++clears, separators.clear(); }
    float LeftMargin() const override { return left; }
    float RightMargin() const override { return right; }
    float TopMargin() const override { return top; }
    float BottomMargin() const override { return bottom; }
    void Position(const PointF& inOrigin) override { positions.push_back(inOrigin); }
    void SetDimensions(const PointF& inSize) override { dimensions.push_back(inSize); }

    TestGroup& Spacing(float inH, float inV) { return hSpacing = inH, vSpacing = inV, *this; }
    TestGroup& Align(int inH, int inV) { return hAlign = inH, vAlign = inV, *this; }
    TestGroup& Separated() { return withSeparators = true, *this; }

    template <class V>
    bool Visit(V& inVisit) const {
        auto visit = [&inVisit](IArrangeable* inChild) { return inVisit(*inChild); };
        return std::all_of(children.begin(), children.end(), visit);
    }

    std::vector<IArrangeable*> children;
    float hSpacing = 0, vSpacing = 0;
    int hAlign = 0, vAlign = 0;
    bool withSeparators = false;
    std::vector<std::unique_ptr<RecordingSeparator>> separators;
    int clears = 0;
    std::vector<PointF> positions, dimensions;
};

using TestDynamic = TestGroup<DynamicGroup>;

}  // namespace arrange_test
