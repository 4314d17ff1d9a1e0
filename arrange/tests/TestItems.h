#pragma once

// Client items for the arrangement tests: boxes that record where they were placed,
// separators that record their strips, and groups of any kind over a list of children.

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/DynamicGroup.h>
#include <tarncore/arrange/Groups.h>
#include <tarncore/arrange/Single.h>

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
void PrintTo(const PointT<T>& inPoint, std::ostream* ioStream) {
    *ioStream << "(" << inPoint.x << ", " << inPoint.y << ")";
}
template <class T>
void PrintTo(const RectT<T>& inRect, std::ostream* ioStream) {
    *ioStream << "(" << inRect.x << ", " << inRect.y << ", " << inRect.width << " x " << inRect.height << ")";
}
}  // namespace geom
}  // namespace tarncore

namespace arrange_test {

using tarncore::arrange::IArrangeable;
using tarncore::geom::PointF;
using tarncore::geom::RectF;

// A control with a preferred size (and by default the same minimum size).
struct Box : tarncore::arrange::Single {
    Box(float inWidth, float inHeight)
        : preferredWidth(inWidth), preferredHeight(inHeight), minWidth(inWidth), minHeight(inHeight) {}

    float MinWidth() const override { return minWidth; }
    float MinHeight() const override { return minHeight; }
    float PreferredWidth() const override { return preferredWidth; }
    float PreferredHeight() const override { return preferredHeight; }
    bool HorizontallyExpandable() const override { return expandH; }
    bool VerticallyExpandable() const override { return expandV; }
    // Expandable boxes take what they are offered up to a cap.
    float ExpandedWidth(float inAvailable) const override {
        return expandH ? std::min(inAvailable, maxWidth) : preferredWidth;
    }
    float ExpandedHeight(float inAvailable) const override {
        return expandV ? std::min(inAvailable, maxHeight) : preferredHeight;
    }
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

    Box& Expandable(bool inH, bool inV) {
        expandH = inH;
        expandV = inV;
        return *this;
    }
    Box& Margins(float inLeft, float inTop, float inRight, float inBottom) {
        left = inLeft, top = inTop, right = inRight, bottom = inBottom;
        return *this;
    }

    float preferredWidth, preferredHeight, minWidth, minHeight;
    bool expandH = false, expandV = false;
    float maxWidth = std::numeric_limits<float>::infinity();
    float maxHeight = std::numeric_limits<float>::infinity();
    float left = 0, right = 0, top = 0, bottom = 0;
    RectF placed{-1, -1, -1, -1};
    int arranged = 0;
    std::function<void()> onArrange;
};

struct RecordingSeparator : tarncore::arrange::ISeparator {
    void SetBounds(tarncore::arrange::SeparatorOrientation inOrientation,
                   const RectF& inBounds) override {
        orientation = inOrientation;
        bounds = inBounds;
        ++calls;
    }
    int orientation = -1;
    RectF bounds{-1, -1, -1, -1};
    int calls = 0;
};

// What every test group records and answers; shared by TestGroup and TestDynamic.
struct GroupSettings {
    std::vector<IArrangeable*> children;
    float hSpacing = 0, vSpacing = 0;
    int hAlign = 0, vAlign = 0;
    float left = 0, right = 0, top = 0, bottom = 0;
    bool withSeparators = false;
    std::vector<std::unique_ptr<RecordingSeparator>> separators;
    int clears = 0;
    std::vector<PointF> positions, dimensions;

    void Margins(float inLeft, float inTop, float inRight, float inBottom) {
        left = inLeft, top = inTop, right = inRight, bottom = inBottom;
    }
    RecordingSeparator* NewSeparator() {
        if (!withSeparators) return nullptr;
        separators.push_back(std::make_unique<RecordingSeparator>());
        return separators.back().get();
    }
    bool Visit(IArrangeable::Visitor& inVisitor) const {
        for (IArrangeable* child : children)
            if (!inVisitor(*child)) return false;
        return true;
    }
    bool Visit(IArrangeable::ConstVisitor& inVisitor) const {
        for (IArrangeable* child : children)
            if (!inVisitor(*child)) return false;
        return true;
    }
};

// A group of kind Kind (Row, Column, Flipping, ...) over a list of children.
template <class Kind>
struct TestGroup : Kind, GroupSettings {
    TestGroup(std::initializer_list<IArrangeable*> inChildren = {}) { children = inChildren; }

    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return Visit(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override { return Visit(inVisitor); }
    float HorizontalSpacing() const override { return hSpacing; }
    float VerticalSpacing() const override { return vSpacing; }
    tarncore::arrange::AlignmentHorizontal HorizontalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentHorizontal>(hAlign);
    }
    tarncore::arrange::AlignmentVertical VerticalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentVertical>(vAlign);
    }
    tarncore::arrange::ISeparator* BuildSeparator() override { return NewSeparator(); }
    void ClearSeparators() override {
        ++clears;
        separators.clear();
    }
    float LeftMargin() const override { return left; }
    float RightMargin() const override { return right; }
    float TopMargin() const override { return top; }
    float BottomMargin() const override { return bottom; }
    void Position(const PointF& inOrigin) override { positions.push_back(inOrigin); }
    void SetDimensions(const PointF& inSize) override { dimensions.push_back(inSize); }
};

// A dynamic group over a list of children.
struct TestDynamic : tarncore::arrange::DynamicGroup, GroupSettings {
    TestDynamic() = default;
    TestDynamic(IArrangeable* inParent, tarncore::arrange::GroupArrangementType inType)
        : DynamicGroup(inParent, inType) {}

    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return Visit(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override { return Visit(inVisitor); }
    float HorizontalSpacing() const override { return hSpacing; }
    float VerticalSpacing() const override { return vSpacing; }
    float LeftMargin() const override { return left; }
    float RightMargin() const override { return right; }
    float TopMargin() const override { return top; }
    float BottomMargin() const override { return bottom; }
    tarncore::arrange::ISeparator* BuildSeparator() override { return NewSeparator(); }
    void Position(const PointF& inOrigin) override { positions.push_back(inOrigin); }
    void SetDimensions(const PointF& inSize) override { dimensions.push_back(inSize); }
};

inline RectF Rect(float inX, float inY, float inW, float inH) { return RectF(inX, inY, inW, inH); }

}  // namespace arrange_test
