// AbstractArrangeableGroup, the base of every group kind, and the combination limit.
#pragma once

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/Arrangement.h>
#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>

#include <cstddef>
#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

/// The most combinations of its children's alternatives that one group enumerates in
/// full. Each child's alternatives multiply the count, so a few nested flipping or
/// automatic groups would otherwise offer millions. Above the limit the group offers,
/// in the same order, only the combinations in which every child takes its narrowest
/// alternative within some height limit or its shortest alternative within some width
/// limit (one per distinct minimum height and width among the children's alternatives).
/// Those contain every combination a row or a column would keep, up to ties.
constexpr std::size_t kMaxCombinations = 4096;

/// Base of every group kind. A group's alternatives are built from every combination of
/// its children's alternatives: for each, the group kind adds its own arrangements
/// (AddArrangements). The client supplies the children (VisitChildren) and may override
/// spacing, alignment, margins, separators and the frame callbacks.
///
/// The children and separators are not owned. A group's arrangements refer to the group:
/// a group must outlive the arrangement sets of its ancestors, or be invalidated out of
/// them (Invalidate on its parent) before it goes.
class TARNCORE_API AbstractArrangeableGroup : public virtual IArrangeable {
public:
    using Combination = std::vector<ArrangementPtr>;
    using Separators = std::vector<ISeparator*>;

    explicit AbstractArrangeableGroup(IArrangeable* inParent = nullptr);
    ~AbstractArrangeableGroup() override;

    bool VisitChildren(Visitor inVisitor) override = 0;
    bool VisitChildren(ConstVisitor inVisitor) const override = 0;

    virtual float HorizontalSpacing() const;            ///< 0
    virtual float VerticalSpacing() const;              ///< 0
    virtual AlignmentHorizontal HorizontalAlignment();  ///< left
    virtual AlignmentVertical VerticalAlignment();      ///< top
    /// A new separator for one gap between children; null for none.
    virtual ISeparator* BuildSeparator();
    /// Called before the separators are built again; the client drops its old ones.
    virtual void ClearSeparators();
    virtual float LeftMargin() const;    ///< 0
    virtual float RightMargin() const;   ///< 0
    virtual float TopMargin() const;     ///< 0
    virtual float BottomMargin() const;  ///< 0
    /// The origin and size of the group's content (margins excluded) when arranged.
    /// @{
    virtual void Position(const geom::PointF& inOrigin);
    virtual void SetDimensions(const geom::PointF& inSize);
    /// @}
    /// Adds this group kind's arrangements for one combination of child arrangements.
    virtual void AddArrangements(ArrangementSet& ioSet, const Combination& inCombination,
                                 const Separators& inSeparators) = 0;

    /// Empties the set, collects the children, builds the separators, offers every
    /// combination and prepares the arrangements kept.
    void RebuildSelf() override;
    ArrangementSet& ArrangementsSelf() override;

    /// Replaces the children vector (parents untouched, nothing invalidated); the next
    /// rebuild collects the children by visiting again.
    void SetChildren(std::vector<IArrangeable*>& inChildren);
    /// Clears and builds the separators for the current children: one gap fewer than
    /// children, a separator where the child before the gap is not null.
    void BuildSeparators();

    const std::vector<IArrangeable*>& Children() const { return mChildren; }
    const Separators& GroupSeparators() const { return mSeparators; }

protected:
    /// While the group rebuilds: the number of combinations it offers in this rebuild.
    /// Group kinds that add many arrangements per combination bound their own work by it.
    /// (Virtual so that a group made of two kinds answers from the one that rebuilds.)
    virtual std::size_t CombinationCount() const { return mCombinationCount; }

private:
    void CollectChildren();
    void OfferCombinations();

    std::vector<IArrangeable*> mChildren;
    Separators mSeparators;
    ArrangementSet mArrangements;
    std::size_t mCombinationCount = 0;
};

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
