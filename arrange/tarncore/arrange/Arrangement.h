// IArrangement, one way of arranging an item, and ArrangementSet, an item's alternatives.
#pragma once

#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>
#include <tarncore/utility/RefCountedObject.h>

#include <boost/function.hpp>
#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

/// One way of arranging an item and everything below it. Sizes are points
/// (x = width, y = height). Arrangements are shared through intrusive references; a
/// group arrangement keeps its children's arrangements alive.
class TARNCORE_API IArrangement : public utility::RefCountedObject {
public:
    ~IArrangement() override;

    /// Places the items into inRect and returns the size used.
    virtual geom::PointF Arrange(const geom::RectF& inRect) = 0;
    virtual bool HorizontallyExpandable() = 0;
    virtual bool VerticallyExpandable() = 0;
    virtual float MinWidth() = 0;
    virtual float MinHeight() = 0;
    virtual float PreferredWidth() = 0;
    virtual float PreferredHeight() = 0;
    /// The width (height) taken when inAvailable is offered.
    /// @{
    virtual float ExpandedWidth(float inAvailable) = 0;
    virtual float ExpandedHeight(float inAvailable) = 0;
    /// @}
    /// How badly the arrangement fails to fit inSize.
    virtual float OverflowArea(const geom::PointF& inSize) = 0;
    /// The area of inSize that the arrangement does not fill.
    virtual float WastedArea(const geom::PointF& inSize) = 0;
    /// Completes cached values before first use.
    virtual void Prepare() = 0;
    /// Whether the arrangement applies its group's margins and tells the group its
    /// position and size.
    virtual bool AppliesGroupFrame() = 0;
};

using ArrangementPtr = boost::intrusive_ptr<IArrangement>;

/// The alternatives of one item, in the order they were offered. No two entries have
/// minimum sizes where one is no larger than the other in both dimensions: an offered
/// arrangement that such an entry already beats is dropped, and one that beats entries
/// replaces them. The order decides ties when choosing.
class TARNCORE_API ArrangementSet {
public:
    using const_iterator = std::vector<ArrangementPtr>::const_iterator;

    ArrangementSet();
    ~ArrangementSet();
    ArrangementSet(const ArrangementSet&) = delete;
    ArrangementSet& operator=(const ArrangementSet&) = delete;

    /// Offers an arrangement; a null one is ignored.
    void AddArrangement(ArrangementPtr inArrangement);
    /// Offers an arrangement of the given minimum size, made by inMake only when the set
    /// would keep it: for group kinds that offer many alternatives, most of them beaten.
    /// The arrangement made must have that minimum size.
    void Offer(float inMinWidth, float inMinHeight, const boost::function<ArrangementPtr()>& inMake);
    /// Whether an entry is no larger than inMinWidth x inMinHeight in both dimensions and
    /// smaller in one: an arrangement of that minimum size would be dropped.
    bool Beats(float inMinWidth, float inMinHeight) const;
    /// Releases every entry.
    void Clear();

    /// The entry that suits a rectangle of inWidth x inHeight best, or null for an empty
    /// set: one that fits beats one that does not; among fitting ones the smaller wasted
    /// area, then the smaller minimum area, then the preferred shape nearer the golden
    /// ratio wins; among ones that do not fit the smaller overflow area wins; full ties
    /// keep the earlier entry.
    ArrangementPtr ChooseArrangement(float inWidth, float inHeight) const;
    /// The minimum size of the entry whose preferred shape is nearest the golden ratio
    /// (the earlier on ties), (0, 0) for an empty set.
    geom::PointF BestSize() const;

    std::size_t size() const { return mEntries.size(); }
    bool empty() const { return mEntries.empty(); }
    const ArrangementPtr& operator[](std::size_t inIndex) const { return mEntries[inIndex]; }
    const_iterator begin() const { return mEntries.begin(); }
    const_iterator end() const { return mEntries.end(); }

    /// How many non-null arrangements were offered since the set was last cleared.
    std::size_t OfferedCount() const { return mOffered; }

private:
    void Insert(ArrangementPtr inArrangement);

    std::vector<ArrangementPtr> mEntries;
    // The entries' minimum sizes (fixed when an arrangement is made), as compared for
    // dominance.
    std::vector<geom::PointF> mMinSizes;
    std::size_t mOffered = 0;
};

/// The preferred aspect ratio (width / height) the selection favours: the golden ratio
/// as a float.
constexpr float kGoldenRatio = 1.6180340051651f;

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
