// The row and column arrangements of a group's children.
#pragma once

#include <tarncore/arrange/ArrangeableGroup.h>
#include <tarncore/arrange/Arrangement.h>
#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>

#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

/// Children side by side along one axis (the main axis): a row from left to right, a
/// column from top to bottom. The group supplies spacing, alignment and margins (asked
/// at each call) and receives Position and SetDimensions when the arrangement applies
/// the group's frame. Margins of the group count only when the frame flag is set.
class TARNCORE_API GroupArrangement : public IArrangement {
public:
    using Combination = AbstractArrangeableGroup::Combination;
    using Separators = AbstractArrangeableGroup::Separators;

    ~GroupArrangement() override;

    geom::PointF Arrange(const geom::RectF& inRect) override;
    bool HorizontallyExpandable() override;
    bool VerticallyExpandable() override;
    float MinWidth() override { return mMinWidth; }
    float MinHeight() override { return mMinHeight; }
    float PreferredWidth() override;
    float PreferredHeight() override;
    float ExpandedWidth(float inAvailable) override;
    float ExpandedHeight(float inAvailable) override;
    float OverflowArea(const geom::PointF& inSize) override;
    float WastedArea(const geom::PointF& inSize) override;
    void Prepare() override;
    bool AppliesGroupFrame() override { return mAppliesGroupFrame; }

    AbstractArrangeableGroup& Group() const { return mGroup; }
    const Combination& Children() const { return mChildren; }
    const Separators& ChildSeparators() const { return mSeparators; }

protected:
    /// inHorizontal: the main axis is x (a row) or y (a column).
    GroupArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                     const Separators& inSeparators, bool inAppliesGroupFrame, bool inHorizontal);

    virtual float ComputePreferredWidth() = 0;
    virtual float ComputePreferredHeight() = 0;

    /// The children's preferred lengths along the main axis with the spacing between
    /// them; the largest preferred length across it. Both with the group's margins when
    /// the frame flag is set.
    /// @{
    float PreferredMainLength();
    float PreferredCrossLength();
    /// @}

private:
    struct Record {
        float main = 0;   // length along the main axis
        float cross = 0;  // length across it
        bool expandable = false;
    };

    float Spacing() const;
    float MainMargins() const;
    float CrossMargins() const;
    bool ChildExpandable(IArrangement& inChild, bool inAlongMain) const;
    float ChildMin(IArrangement& inChild, bool inAlongMain) const;
    float ChildPreferred(IArrangement& inChild, bool inAlongMain) const;
    float ChildExpanded(IArrangement& inChild, bool inAlongMain, float inAvailable) const;
    float ExpandedAlongMain(float inAvailable);
    float ExpandedAcross(float inAvailable);
    void Distribute(float inInnerWidth, float inInnerHeight);

    float mMinWidth = 0;
    float mMinHeight = 0;
    float mPreferredWidth = -1;
    float mPreferredHeight = -1;
    AbstractArrangeableGroup& mGroup;
    std::vector<Record> mRecords;
    bool mPrepared = false;
    float mUsedMain = 0;
    float mLargestCross = 0;
    geom::PointF mDistributedSize;
    bool mHaveDistribution = false;
    Combination mChildren;
    Separators mSeparators;
    bool mAppliesGroupFrame;
    bool mHorizontal;
    bool mHorizontallyExpandable = false;
    bool mVerticallyExpandable = false;
    bool mHorizontalComputed = false;
    bool mVerticalComputed = false;
};

/// Children from left to right; separator strips between them (orientation
/// SeparatorInRow).
class TARNCORE_API RowArrangement : public GroupArrangement {
public:
    RowArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                   const Separators& inSeparators, bool inAppliesGroupFrame);
    ~RowArrangement() override;

protected:
    float ComputePreferredWidth() override;
    float ComputePreferredHeight() override;
};

/// Children from top to bottom; separator strips between them (orientation
/// SeparatorInColumn).
class TARNCORE_API ColumnArrangement : public GroupArrangement {
public:
    ColumnArrangement(AbstractArrangeableGroup& inGroup, const Combination& inChildren,
                      const Separators& inSeparators, bool inAppliesGroupFrame);
    ~ColumnArrangement() override;

protected:
    float ComputePreferredWidth() override;
    float ComputePreferredHeight() override;
};

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
