// Single, the leaf item that places one control.
#pragma once

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/Arrangement.h>
#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>

namespace tarncore {
namespace arrange {

/// A leaf of the tree: one control. The client supplies its preferred size and places
/// the control in ArrangeIn; the other sizes have defaults. A Single offers one
/// arrangement, which captures these values when it is built: after a change, call
/// Invalidate().
class TARNCORE_API Single : public virtual IArrangeable {
public:
    explicit Single(IArrangeable* inParent = nullptr);
    ~Single() override;

    virtual float MinWidth() const;   ///< PreferredWidth()
    virtual float MinHeight() const;  ///< PreferredHeight()
    /// inAvailable when expandable in that direction, else the preferred length.
    /// @{
    virtual float ExpandedWidth(float inAvailable) const;
    virtual float ExpandedHeight(float inAvailable) const;
    /// @}
    virtual bool HorizontallyExpandable() const;  ///< false
    virtual bool VerticallyExpandable() const;    ///< false
    virtual float LeftMargin() const;             ///< 0
    virtual float RightMargin() const;            ///< 0
    virtual float TopMargin() const;              ///< 0
    virtual float BottomMargin() const;           ///< 0
    virtual float PreferredWidth() const = 0;
    virtual float PreferredHeight() const = 0;
    /// Places the control in the content rectangle (margins removed) and returns the
    /// size it occupies.
    virtual geom::PointF ArrangeIn(const geom::RectF& inContent) = 0;

    impl::ArrangementSet& ArrangementsSelf() override;

protected:
    void RebuildSelf() override;

private:
    impl::ArrangementSet mArrangements;
};

}  // namespace arrange
}  // namespace tarncore
