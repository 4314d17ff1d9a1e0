// IArrangeable, the item of the arrangement tree, with alignments and the separator interface.
#pragma once

#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>

#include <boost/function.hpp>
#include <boost/noncopyable.hpp>

#include <cstdint>

namespace tarncore {
namespace arrange {

namespace impl {
class ArrangementSet;
}  // namespace impl

/// Alignment of a group's content inside the space it is given. Values other than the
/// named ones place like the first.
/// @{
enum AlignmentHorizontal : std::int32_t { AlignLeft = 0, AlignHCenter = 1, AlignRight = 2 };
enum AlignmentVertical : std::int32_t { AlignTop = 0, AlignVCenter = 1, AlignBottom = 2 };
/// @}

/// Where a separator strip lies: between two items of a row, or of a column.
enum SeparatorOrientation : std::int32_t { SeparatorInRow = 0, SeparatorInColumn = 1 };

/// Implemented by the client to draw the strip between two neighbouring items.
class TARNCORE_API ISeparator {
public:
    virtual void SetBounds(SeparatorOrientation inOrientation, const geom::RectF& inBounds) = 0;
    virtual ~ISeparator();
};

/// An item of the arrangement tree: a leaf (Single) or a group.
///
/// Every item kind derives virtually from IArrangeable, so the most derived class
/// constructs it. The constructors of the item kinds of this library all take the
/// parent too and set it, so a client class may pass the parent to its direct base
/// alone. A group sets itself as the parent of its children whenever it rebuilds.
///
/// The engine takes no locks: one tree is used from one thread.
class TARNCORE_API IArrangeable : private boost::noncopyable {
public:
    using Visitor = boost::function<bool(IArrangeable&)>;
    using ConstVisitor = boost::function<bool(const IArrangeable&)>;

    explicit IArrangeable(IArrangeable* inParent = nullptr);
    virtual ~IArrangeable();

    /// Calls the visitor for each child in order until it returns false; returns false
    /// when the visit was stopped. An item without children visits nothing.
    /// @{
    virtual bool VisitChildren(Visitor inVisitor);
    virtual bool VisitChildren(ConstVisitor inVisitor) const;
    /// @}

private:
    /// Builds the item's arrangement set.
    virtual void RebuildSelf();

public:
    /// The item's arrangement set as it stands, built or not; Arrangements() builds it.
    virtual impl::ArrangementSet& ArrangementsSelf() = 0;

    /// Throws std::invalid_argument when the new parent is this item or has it among its
    /// ancestors (the tree would become a loop).
    void SetParent(IArrangeable* inParent);
    /// The parent item; null for the root.
    /// @{
    IArrangeable* Parent() { return mParent; }
    const IArrangeable* Parent() const { return mParent; }
    /// @}

    /// The item's arrangement set, rebuilt first when it is stale.
    impl::ArrangementSet& Arrangements();

    /// Arranges the whole tree, through its root, into inRect and returns the size the
    /// chosen arrangement used. Does nothing and returns (0, 0) for an empty rectangle
    /// or when the root's arrangement is disabled.
    geom::PointF Arrange(const geom::RectF& inRect);

    /// The minimum size of the arrangement whose preferred shape is nearest the golden
    /// ratio.
    geom::PointF BestSize();

    /// The root arranges itself again into the rectangle it was last arranged into.
    void Rearrange();
    /// On the root: when the flag changes it is stored, and switching it on rearranges.
    /// @{
    void EnableArrangement(bool inEnable);
    bool ArrangementEnabled() const;
    /// @}

    /// Marks this item and its built ancestors stale and rearranges the tree once.
    void Invalidate();
    /// Marks this item and every descendant stale and rearranges the tree once. Does
    /// nothing while the root's arrangement is disabled.
    void InvalidateAll();

    /// Whether the arrangement set is up to date, and the rectangle this item (as root)
    /// was last arranged into.
    /// @{
    bool IsBuilt() const { return mBuilt; }
    const geom::RectF& Bounds() const { return mBounds; }
    /// @}

private:
    friend class DynamicGroup;

    IArrangeable& Root();
    const IArrangeable& Root() const;

    bool mBuilt = false;
    bool mEnabled = true;
    geom::RectF mBounds;
    IArrangeable* mParent = nullptr;

    // Guards against re-entry: a rebuild that reaches its own item again (a loop in the
    // children) sees the set as it stands, and an arrangement request made while the
    // root is arranging is served by another pass of the running Arrange.
    bool mRebuilding = false;
    bool mArranging = false;
    bool mBoundsChangedWhileArranging = false;
};

/// Call the item's VisitChildren with a copy of the visitor.
/// @{
TARNCORE_API bool VisitChildren(IArrangeable& inItem, IArrangeable::Visitor inVisitor);
TARNCORE_API bool VisitChildren(const IArrangeable& inItem, IArrangeable::ConstVisitor inVisitor);
/// @}

TARNCORE_API IArrangeable* Parent(IArrangeable& inItem);
TARNCORE_API const IArrangeable* Parent(const IArrangeable& inItem);

}  // namespace arrange
}  // namespace tarncore
