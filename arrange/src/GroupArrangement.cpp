// Row and column arrangements: sizing children along one axis and sharing out the space.
#include <tarncore/arrange/GroupArrangement.h>

#include "arrange/src/LinedUp.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarncore {
namespace arrange {
namespace impl {

namespace {

// The distribution stops sharing out space once less than this is left over.
constexpr float kDistributionThreshold = 0.0001f;

geom::PointF MakePoint(bool inHorizontal, float inMain, float inCross) {
    return inHorizontal ? geom::PointF(inMain, inCross) : geom::PointF(inCross, inMain);
}

geom::RectF MakeRect(bool inHorizontal, float inMainPos, float inCrossPos, float inMain, float inCross) {
    return inHorizontal ? geom::RectF(inMainPos, inCrossPos, inMain, inCross)
                        : geom::RectF(inCrossPos, inMainPos, inCross, inMain);
}

// Where content starts that leaves inFree of its space unused, the space starting at
// inLead.
float Aligned(std::int32_t inAlignment, float inLead, float inFree) {
    if (inAlignment == 1) return inLead + inFree * 0.5f;
    if (inAlignment == 2) return inLead + inFree;
    return inLead;
}

}  // namespace

GroupArrangement::GroupArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                                   const Separators& inSeparators, bool inAppliesGroupFrame,
                                   bool inHorizontal)
    : mGroup(inGroup),
      mDistributedSize(std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()),
      mChildren(inChildren), mSeparators(inSeparators), mAppliesGroupFrame(inAppliesGroupFrame),
      mHorizontal(inHorizontal) {
    const geom::PointF minimum =
        LinedUpMinimum(mChildren, Spacing(), MainMargins(), CrossMargins(), mHorizontal);
    mMinWidth = minimum.x;
    mMinHeight = minimum.y;
}

GroupArrangement::~GroupArrangement() = default;

float GroupArrangement::Spacing() const {
    return mHorizontal ? mGroup.HorizontalSpacing() : mGroup.VerticalSpacing();
}

float GroupArrangement::MainMargins() const {
    if (!mAppliesGroupFrame) return 0;
    return mHorizontal ? mGroup.LeftMargin() + mGroup.RightMargin()
                       : mGroup.TopMargin() + mGroup.BottomMargin();
}

float GroupArrangement::CrossMargins() const {
    if (!mAppliesGroupFrame) return 0;
    return mHorizontal ? mGroup.TopMargin() + mGroup.BottomMargin()
                       : mGroup.LeftMargin() + mGroup.RightMargin();
}

float GroupArrangement::ChildMin(IArrangement& inChild, bool inAlongMain) const {
    return inAlongMain == mHorizontal ? inChild.MinWidth() : inChild.MinHeight();
}

float GroupArrangement::ChildPreferred(IArrangement& inChild, bool inAlongMain) const {
    return inAlongMain == mHorizontal ? inChild.PreferredWidth() : inChild.PreferredHeight();
}

float GroupArrangement::ChildExpanded(IArrangement& inChild, bool inAlongMain, float inAvailable) const {
    return inAlongMain == mHorizontal ? inChild.ExpandedWidth(inAvailable)
                                      : inChild.ExpandedHeight(inAvailable);
}

bool GroupArrangement::ChildExpandable(IArrangement& inChild, bool inAlongMain) const {
    return inAlongMain == mHorizontal ? inChild.HorizontallyExpandable() : inChild.VerticallyExpandable();
}

float GroupArrangement::PreferredMainLength() {
    float sum = 0;
    for (const ArrangementPtr& child : mChildren) sum += ChildPreferred(*child, true);
    const float gaps = mChildren.empty() ? 0.0f : static_cast<float>(mChildren.size() - 1);
    return sum + gaps * Spacing() + MainMargins();
}

float GroupArrangement::PreferredCrossLength() {
    float largest = 0;
    for (const ArrangementPtr& child : mChildren) largest = std::max(largest, ChildPreferred(*child, false));
    return largest + CrossMargins();
}

void GroupArrangement::Prepare() {
    if (mPrepared) return;
    mPrepared = true;
    for (const ArrangementPtr& child : mChildren) child->Prepare();
    mRecords.assign(mChildren.size(), Record());
    mPreferredWidth = ComputePreferredWidth();
    mPreferredHeight = ComputePreferredHeight();
    HorizontallyExpandable();
    VerticallyExpandable();
}

float GroupArrangement::PreferredWidth() {
    Prepare();
    return mPreferredWidth;
}

float GroupArrangement::PreferredHeight() {
    Prepare();
    return mPreferredHeight;
}

bool GroupArrangement::HorizontallyExpandable() {
    if (!mHorizontalComputed) {
        mHorizontalComputed = true;
        mHorizontallyExpandable =
            std::any_of(mChildren.begin(), mChildren.end(),
                        [](const ArrangementPtr& inChild) { return inChild->HorizontallyExpandable(); });
    }
    return mHorizontallyExpandable;
}

bool GroupArrangement::VerticallyExpandable() {
    if (!mVerticalComputed) {
        mVerticalComputed = true;
        mVerticallyExpandable =
            std::any_of(mChildren.begin(), mChildren.end(),
                        [](const ArrangementPtr& inChild) { return inChild->VerticallyExpandable(); });
    }
    return mVerticallyExpandable;
}

float GroupArrangement::ExpandedAlongMain(float inAvailable) {
    const float margins = MainMargins();
    const float inner = inAvailable - margins;
    float used = 0;
    for (const ArrangementPtr& child : mChildren) {
        if (!(used < inner)) break;
        used += ChildExpanded(*child, true, inner - used);
    }
    const float gaps = mChildren.empty() ? 0.0f : static_cast<float>(mChildren.size() - 1);
    return std::min(used + gaps * Spacing(), inner) + margins;
}

float GroupArrangement::ExpandedAcross(float inAvailable) {
    const float margins = CrossMargins();
    const float inner = inAvailable - margins;
    float largest = 0;
    for (const ArrangementPtr& child : mChildren) {
        if (!(largest < inner)) break;
        largest = std::max(largest, ChildExpanded(*child, false, inner));
    }
    return largest + margins;
}

float GroupArrangement::ExpandedWidth(float inAvailable) {
    return mHorizontal ? ExpandedAlongMain(inAvailable) : ExpandedAcross(inAvailable);
}

float GroupArrangement::ExpandedHeight(float inAvailable) {
    return mHorizontal ? ExpandedAcross(inAvailable) : ExpandedAlongMain(inAvailable);
}

float GroupArrangement::OverflowArea(const geom::PointF& inSize) {
    if (mChildren.empty()) return 0;
    const float innerMain = (mHorizontal ? inSize.x : inSize.y) - MainMargins();
    const float innerCross = (mHorizontal ? inSize.y : inSize.x) - CrossMargins();
    const float spacing = Spacing();
    float position = 0;
    float total = 0;
    for (std::size_t i = 0; i < mChildren.size(); ++i) {
        const float main = ChildMin(*mChildren[i], true);
        const float cross = ChildMin(*mChildren[i], false);
        if (position + main > innerMain) total += (main - std::max(innerMain - position, 0.0f)) * cross;
        total += main * std::max(cross - innerCross, 0.0f);
        // The spacing in front of a child is counted after that child's own test.
        position += main;
        if (i > 0) position += spacing;
    }
    return total;
}

void GroupArrangement::Distribute(float inInnerWidth, float inInnerHeight) {
    Prepare();
    if (mHaveDistribution && inInnerWidth == mDistributedSize.x && inInnerHeight == mDistributedSize.y)
        return;
    mHaveDistribution = true;
    mDistributedSize = geom::PointF(inInnerWidth, inInnerHeight);
    const float innerMain = mHorizontal ? inInnerWidth : inInnerHeight;
    const float innerCross = mHorizontal ? inInnerHeight : inInnerWidth;

    // Every child starts at its preferred length; the expandable ones then share what
    // is left over (or give up what is missing) in proportion to their lengths.
    float start = 0;
    float expandableTotal = 0;
    mLargestCross = 0;
    for (std::size_t i = 0; i < mChildren.size(); ++i) {
        IArrangement& child = *mChildren[i];
        Record& record = mRecords[i];
        record.main = ChildPreferred(child, true);
        record.cross = ChildExpanded(child, false, innerCross);
        record.expandable = ChildExpandable(child, true);
        start += record.main;
        mLargestCross = std::max(mLargestCross, record.cross);
        if (record.expandable) expandableTotal += record.main;
    }
    const float gaps = mChildren.empty() ? 0.0f : static_cast<float>(mChildren.size() - 1);
    // Measured from the lengths the records start at, inside the margins.
    float extra = innerMain - (start + gaps * Spacing());

    // Each pass either settles every child that takes what it is offered or retires one
    // that does not; float rounding can leave a remainder that no proposal changes, and
    // then the passes stop.
    std::size_t passesLeft = mRecords.size() + 16;
    while (std::fabs(extra) >= kDistributionThreshold && expandableTotal > 0 && passesLeft-- > 0) {
        const float extraBefore = extra;
        bool retired = false;
        float passTotal = expandableTotal;
        for (std::size_t i = 0; i < mRecords.size(); ++i) {
            Record& record = mRecords[i];
            if (!record.expandable) continue;
            IArrangement& child = *mChildren[i];
            const float length = record.main;
            const float proposed = passTotal != 0 ? length * ((passTotal + extra) / passTotal) : length;
            const float target = std::max(ChildMin(child, true), ChildExpanded(child, true, proposed));
            if (target == proposed) {
                expandableTotal += target - length;
            } else {
                record.expandable = false;
                expandableTotal -= length;
                retired = true;
            }
            extra -= target - length;
            record.main = target;
            passTotal -= length;
        }
        if (!retired && extra == extraBefore) break;
    }
    mUsedMain = innerMain - extra;
}

float GroupArrangement::WastedArea(const geom::PointF& inSize) {
    const float mainMargins = MainMargins();
    const float crossMargins = CrossMargins();
    const float mainSize = mHorizontal ? inSize.x : inSize.y;
    const float crossSize = mHorizontal ? inSize.y : inSize.x;
    const float innerMain = mainSize - mainMargins;
    const float innerCross = crossSize - crossMargins;
    const geom::PointF inner = MakePoint(mHorizontal, innerMain, innerCross);
    Distribute(inner.x, inner.y);

    const float spacing = Spacing();
    float used = 0;
    float sum = 0;
    for (std::size_t i = 0; i < mChildren.size(); ++i) {
        const float gap = i > 0 ? spacing : 0.0f;
        const float length = mRecords[i].main;
        sum += mChildren[i]->WastedArea(MakePoint(mHorizontal, length, innerCross)) + gap * innerCross;
        used += gap + length;
    }
    return (innerMain - used) * innerCross + sum + crossMargins * mainSize + mainMargins * crossSize;
}

geom::PointF GroupArrangement::Arrange(const geom::RectF& inRect) {
    const float mainMargins = MainMargins();
    const float crossMargins = CrossMargins();
    const float innerMain = (mHorizontal ? inRect.width : inRect.height) - mainMargins;
    const float innerCross = (mHorizontal ? inRect.height : inRect.width) - crossMargins;
    const geom::PointF inner = MakePoint(mHorizontal, innerMain, innerCross);
    Distribute(inner.x, inner.y);

    float left = inRect.x;
    float top = inRect.y;
    if (mAppliesGroupFrame) {
        left += mGroup.LeftMargin();
        top += mGroup.TopMargin();
    }
    const float leadMain = mHorizontal ? left : top;
    const float leadCross = mHorizontal ? top : left;
    const std::int32_t horizontalAlignment = mGroup.HorizontalAlignment();
    const std::int32_t verticalAlignment = mGroup.VerticalAlignment();
    const std::int32_t mainAlignment = mHorizontal ? horizontalAlignment : verticalAlignment;
    const std::int32_t crossAlignment = mHorizontal ? verticalAlignment : horizontalAlignment;

    const float start = Aligned(mainAlignment, leadMain, innerMain - mUsedMain);
    if (mAppliesGroupFrame) {
        const float contentCross = Aligned(crossAlignment, leadCross, innerCross - mLargestCross);
        mGroup.Position(MakePoint(mHorizontal, start, contentCross));
    }

    const float spacing = Spacing();
    const SeparatorOrientation orientation = mHorizontal ? SeparatorInRow : SeparatorInColumn;
    float current = start;
    float largestReturned = 0;
    float previousCrossPos = 0;
    float previousReturnedCross = 0;
    for (std::size_t i = 0; i < mChildren.size(); ++i) {
        const Record record = mRecords[i];
        const float mainPos = current + (i > 0 ? spacing : 0.0f);
        const float crossPos = Aligned(crossAlignment, leadCross, innerCross - record.cross);
        const geom::PointF returned =
            mChildren[i]->Arrange(MakeRect(mHorizontal, mainPos, crossPos, record.main, record.cross));
        const float returnedMain = mHorizontal ? returned.x : returned.y;
        const float returnedCross = mHorizontal ? returned.y : returned.x;

        if (i > 0 && i - 1 < mSeparators.size() && mSeparators[i - 1] != nullptr) {
            // The strip spans the neighbour that is shorter across the main axis.
            const bool previousShorter = previousReturnedCross <= returnedCross;
            const float stripCrossPos = previousShorter ? previousCrossPos : crossPos;
            const float stripCross = previousShorter ? previousReturnedCross : returnedCross;
            mSeparators[i - 1]->SetBounds(
                orientation, MakeRect(mHorizontal, mainPos - spacing, stripCrossPos, spacing, stripCross));
        }

        // The next child follows this child's share of the row, or what it took beyond
        // that. (A child reports the size of its content, without its own margins.)
        current = mainPos + std::max(record.main, returnedMain);
        largestReturned = std::max(largestReturned, returnedCross);
        previousCrossPos = crossPos;
        previousReturnedCross = returnedCross;
    }

    const float usedMain = std::max(innerMain, current - leadMain);
    const float usedCross = std::max(innerCross, largestReturned);
    const geom::PointF used = MakePoint(mHorizontal, usedMain, usedCross);
    if (mAppliesGroupFrame) mGroup.SetDimensions(used);
    return used;
}

RowArrangement::RowArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                               const Separators& inSeparators, bool inAppliesGroupFrame)
    : GroupArrangement(inGroup, inChildren, inSeparators, inAppliesGroupFrame, true) {}

RowArrangement::~RowArrangement() = default;

float RowArrangement::ComputePreferredWidth() { return PreferredMainLength(); }
float RowArrangement::ComputePreferredHeight() { return PreferredCrossLength(); }

ColumnArrangement::ColumnArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                                     const Separators& inSeparators, bool inAppliesGroupFrame)
    : GroupArrangement(inGroup, inChildren, inSeparators, inAppliesGroupFrame, false) {}

ColumnArrangement::~ColumnArrangement() = default;

float ColumnArrangement::ComputePreferredWidth() { return PreferredCrossLength(); }
float ColumnArrangement::ComputePreferredHeight() { return PreferredMainLength(); }

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
