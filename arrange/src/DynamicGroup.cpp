// DynamicGroup: hosting a group of a kind chosen, and changed, at run time.
#include <tarncore/arrange/DynamicGroup.h>

#include <stdexcept>

namespace tarncore {
namespace arrange {

DynamicGroup::DynamicGroup(IArrangeable* inParent, GroupArrangementType inType) : mType(inType) {
    SetArrangementType(inType, inParent);
}

DynamicGroup::DynamicGroup() : DynamicGroup(nullptr, GroupAutoLayout) {}

DynamicGroup::~DynamicGroup() = default;

float DynamicGroup::HorizontalSpacing() const { return 0; }
float DynamicGroup::VerticalSpacing() const { return 0; }
AlignmentHorizontal DynamicGroup::HorizontalAlignment() { return AlignLeft; }
AlignmentVertical DynamicGroup::VerticalAlignment() { return AlignTop; }
float DynamicGroup::LeftMargin() const { return 0; }
float DynamicGroup::RightMargin() const { return 0; }
float DynamicGroup::TopMargin() const { return 0; }
float DynamicGroup::BottomMargin() const { return 0; }
ISeparator* DynamicGroup::BuildSeparator() { return nullptr; }
void DynamicGroup::ClearSeparators() {}
void DynamicGroup::Position(const geom::PointF&) {}
void DynamicGroup::SetDimensions(const geom::PointF&) {}

boost::shared_ptr<IArrangeable> DynamicGroup::MakeGroup(GroupArrangementType inType, IArrangeable* inParent) {
    using Hosted = boost::shared_ptr<IArrangeable>;
    switch (inType) {
    case GroupRow: return Hosted(new HostedGroup<Row, DynamicGroup>(inParent, this));
    case GroupColumn: return Hosted(new HostedGroup<Column, DynamicGroup>(inParent, this));
    case GroupFlipping: return Hosted(new HostedGroup<Flipping, DynamicGroup>(inParent, this));
    case GroupHorizontalWrapping:
        return Hosted(new HostedGroup<HorizontalWrapping, DynamicGroup>(inParent, this));
    case GroupVerticalWrapping:
        return Hosted(new HostedGroup<VerticalWrapping, DynamicGroup>(inParent, this));
    case GroupAutoLayout: return Hosted(new HostedGroup<AutoLayout, DynamicGroup>(inParent, this));
    }
    return Hosted();
}

void DynamicGroup::SetArrangementType(GroupArrangementType inType, IArrangeable* inParent) {
    const bool changed = inType != mType;
    boost::shared_ptr<IArrangeable> old;
    IArrangeable* parent = inParent;
    if (changed || !mGroup) {
        if (parent == nullptr && mGroup) parent = mGroup->Parent();
        boost::shared_ptr<IArrangeable> made = MakeGroup(inType, parent);
        if (made) {
            old = mGroup;
            mGroup = made;
        }
    }
    mType = inType;

    IArrangeable* oldParent = nullptr;
    bool oldTreeArranging = false;
    if (old) {
        oldParent = old->Parent();
        oldTreeArranging = old->Root().mArranging;
        // The children still name the old group as their parent until the new one is
        // built; an invalidation from them must reach the new one.
        IArrangeable* oldGroup = old.get();
        IArrangeable* newGroup = mGroup.get();
        VisitChildren(IArrangeable::Visitor([oldGroup, newGroup](IArrangeable& inChild) {
            if (inChild.Parent() != oldGroup) return true;
            for (const IArrangeable* item = newGroup; item != nullptr; item = item->Parent()) {
                if (item == &inChild) return true;  // would close a loop; the rebuild skips it too
            }
            inChild.SetParent(newGroup);
            return true;
        }));
        // A root hands its place on the screen to its successor.
        if (oldParent == nullptr && mGroup->Parent() == nullptr) {
            mGroup->mBounds = old->mBounds;
            mGroup->mEnabled = old->mEnabled;
        }
    }

    if (changed && mGroup) {
        if (old && (oldParent != nullptr || mGroup->Parent() != nullptr)) {
            // The parents' arrangements refer to the old group: rebuild them, which
            // builds the new group too.
            if (oldParent != nullptr && oldParent != mGroup->Parent()) oldParent->Invalidate();
            if (mGroup->Parent() != nullptr) mGroup->Parent()->Invalidate();
        } else {
            mGroup->Invalidate();
        }
    }

    if (old && oldTreeArranging)
        mRetired = old;
    else if (old)
        mRetired.reset();
}

void DynamicGroup::Invalidate() {
    if (mGroup) mGroup->Invalidate();
}

void DynamicGroup::Rearrange() {
    if (mGroup) mGroup->Rearrange();
}

void DynamicGroup::EnableArrangement(bool inEnable) {
    if (mGroup) mGroup->EnableArrangement(inEnable);
}

geom::PointF DynamicGroup::BestSize() { return mGroup ? mGroup->BestSize() : geom::PointF(0, 0); }

bool DynamicGroup::ArrangementEnabled() const { return mGroup ? mGroup->ArrangementEnabled() : false; }

IArrangeable& DynamicGroup::Group() {
    if (!mGroup) throw std::logic_error("tarncore::arrange::DynamicGroup hosts no group");
    return *mGroup;
}

const IArrangeable& DynamicGroup::Group() const {
    if (!mGroup) throw std::logic_error("tarncore::arrange::DynamicGroup hosts no group");
    return *mGroup;
}

}  // namespace arrange
}  // namespace tarncore
