// DynamicGroup, whose group kind is chosen at run time, and the group it hosts.
#pragma once

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/Groups.h>
#include <tarncore/geom/Geometry.h>
#include <tarncore/platform/Export.h>

#include <boost/noncopyable.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace tarncore {
namespace arrange {

/// The kind of group a DynamicGroup hosts.
enum GroupArrangementType : std::int32_t {
    GroupRow = 0,
    GroupColumn = 1,
    GroupFlipping = 2,
    GroupHorizontalWrapping = 3,
    GroupVerticalWrapping = 4,
    GroupAutoLayout = 5,
};

/// A group of kind K whose group operations are those of a host (a DynamicGroup).
template <class K, class Host>
class TARNCORE_API HostedGroup : public K {
public:
    HostedGroup(IArrangeable* inParent, Host* inHost) : IArrangeable(inParent), K(inParent), mHost(inHost) {}

    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return mHost->VisitChildren(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override {
        return static_cast<const Host*>(mHost)->VisitChildren(inVisitor);
    }
    float HorizontalSpacing() const override { return mHost->HorizontalSpacing(); }
    float VerticalSpacing() const override { return mHost->VerticalSpacing(); }
    AlignmentHorizontal HorizontalAlignment() override { return mHost->HorizontalAlignment(); }
    AlignmentVertical VerticalAlignment() override { return mHost->VerticalAlignment(); }
    ISeparator* BuildSeparator() override { return mHost->BuildSeparator(); }
    void ClearSeparators() override { mHost->ClearSeparators(); }
    float LeftMargin() const override { return mHost->LeftMargin(); }
    float RightMargin() const override { return mHost->RightMargin(); }
    float TopMargin() const override { return mHost->TopMargin(); }
    float BottomMargin() const override { return mHost->BottomMargin(); }
    void Position(const geom::PointF& inOrigin) override { mHost->Position(inOrigin); }
    void SetDimensions(const geom::PointF& inSize) override { mHost->SetDimensions(inSize); }

    Host& GetHost() const { return *mHost; }

private:
    Host* mHost;
};

/// Lets a client choose the kind of a group at run time and change it later. It is not
/// an item itself: it hosts one group of the current kind, which the client places among
/// its parent's children through Group(). The client supplies the children and the group
/// operations through the virtual operations below, as it would on a group.
class TARNCORE_API DynamicGroup : private boost::noncopyable {
public:
    /// Hosts a group of inType (none for a value outside the enumeration).
    DynamicGroup(IArrangeable* inParent, GroupArrangementType inType);
    /// No parent; an automatic layout.
    DynamicGroup();

    virtual bool VisitChildren(IArrangeable::Visitor inVisitor) = 0;
    virtual bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const = 0;
    virtual float HorizontalSpacing() const;            ///< 0
    virtual float VerticalSpacing() const;              ///< 0
    virtual AlignmentHorizontal HorizontalAlignment();  ///< left
    virtual AlignmentVertical VerticalAlignment();      ///< top
    virtual float LeftMargin() const;                   ///< 0
    virtual float RightMargin() const;                  ///< 0
    virtual float TopMargin() const;                    ///< 0
    virtual float BottomMargin() const;                 ///< 0
    virtual ISeparator* BuildSeparator();               ///< null
    virtual void ClearSeparators();
    virtual void Position(const geom::PointF& inOrigin);
    virtual void SetDimensions(const geom::PointF& inSize);
    /// Releases the hosted group.
    virtual ~DynamicGroup();

    /// Hosts a new group when the type changes (or none is hosted yet). The new group
    /// takes inParent, or the old group's parent when inParent is null; it takes over the
    /// old group's children, and as a root its bounds and enabled flag. A value outside
    /// the enumeration hosts nothing new and keeps the old group. When the type changed,
    /// the tree is invalidated from the parent (or the group, when it is the root) and
    /// rearranged once.
    void SetArrangementType(GroupArrangementType inType, IArrangeable* inParent);
    GroupArrangementType ArrangementType() const { return mType; }

    /// Forwarded to the hosted group; nothing, (0, 0) or false without one.
    /// @{
    void Invalidate();
    void Rearrange();
    void EnableArrangement(bool inEnable);
    geom::PointF BestSize();
    bool ArrangementEnabled() const;
    /// @}

    /// The hosted group as an item, for the parent's children. Throws std::logic_error
    /// when no group is hosted (see HasGroup).
    /// @{
    bool HasGroup() const { return static_cast<bool>(mGroup); }
    IArrangeable& Group();
    const IArrangeable& Group() const;
    /// @}

private:
    boost::shared_ptr<IArrangeable> MakeGroup(GroupArrangementType inType, IArrangeable* inParent);

    boost::shared_ptr<IArrangeable> mGroup;
    // A group replaced while its tree was arranging stays alive until the next
    // replacement: the arrangement running at that moment still refers to it.
    boost::shared_ptr<IArrangeable> mRetired;
    GroupArrangementType mType;
};

}  // namespace arrange
}  // namespace tarncore
