// IArrangeable: the tree's parent links, staleness, and arranging from the root.
#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/Arrangement.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tarncore {
namespace arrange {

namespace {

// Arranging retries when arranging made the tree stale (a control that changes its
// size once it knows its width), but not forever.
constexpr int kMaxArrangePasses = 5;

// Clears a flag when the scope ends, also by an exception from client code.
class FlagReset {
public:
    explicit FlagReset(bool& ioFlag) : mFlag(ioFlag) {}
    ~FlagReset() { mFlag = false; }
    FlagReset(const FlagReset&) = delete;
    FlagReset& operator=(const FlagReset&) = delete;

private:
    bool& mFlag;
};

// Post-order: each child's subtree, then the child. inPath holds the items on the way
// down, so that children that lead back up (a loop in the client's tree) are skipped.
void InvalidateDescendants(IArrangeable& inItem, std::vector<IArrangeable*>& ioPath) {
    inItem.VisitChildren(IArrangeable::Visitor([&ioPath](IArrangeable& inChild) {
        if (std::find(ioPath.begin(), ioPath.end(), &inChild) != ioPath.end()) return true;
        ioPath.push_back(&inChild);
        InvalidateDescendants(inChild, ioPath);
        ioPath.pop_back();
        inChild.Invalidate();
        return true;
    }));
}

}  // namespace

ISeparator::~ISeparator() = default;

IArrangeable::IArrangeable(IArrangeable* inParent) : mParent(inParent == this ? nullptr : inParent) {}

IArrangeable::~IArrangeable() = default;

bool IArrangeable::VisitChildren(Visitor) { return true; }
bool IArrangeable::VisitChildren(ConstVisitor) const { return true; }

void IArrangeable::RebuildSelf() {}

void IArrangeable::SetParent(IArrangeable* inParent) {
    for (const IArrangeable* item = inParent; item != nullptr; item = item->mParent) {
        if (item == this)
            throw std::invalid_argument(
                "tarncore::arrange: an item cannot be the parent of itself or of an ancestor");
    }
    mParent = inParent;
}

IArrangeable& IArrangeable::Root() {
    IArrangeable* item = this;
    while (item->mParent != nullptr) item = item->mParent;
    return *item;
}

const IArrangeable& IArrangeable::Root() const {
    const IArrangeable* item = this;
    while (item->mParent != nullptr) item = item->mParent;
    return *item;
}

impl::ArrangementSet& IArrangeable::Arrangements() {
    if (!mBuilt && !mRebuilding) {
        mRebuilding = true;
        FlagReset reset(mRebuilding);
        RebuildSelf();
        mBuilt = true;
    }
    return ArrangementsSelf();
}

geom::PointF IArrangeable::Arrange(const geom::RectF& inRect) {
    if (mParent != nullptr) return Root().Arrange(inRect);
    if (!(inRect.width > 0 && inRect.height > 0) || !mEnabled) return geom::PointF(0, 0);

    if (mArranging) {
        // Asked again from inside the running arrangement (a rearrangement after an
        // invalidation, or a new rectangle): the running Arrange makes another pass
        // instead of starting over underneath the arrangement it is executing.
        if (inRect != mBounds) {
            mBounds = inRect;
            mBoundsChangedWhileArranging = true;
        }
        return geom::PointF(0, 0);
    }

    mBounds = inRect;
    mArranging = true;
    FlagReset reset(mArranging);
    geom::PointF used(0, 0);
    for (int pass = 0; pass < kMaxArrangePasses; ++pass) {
        mBoundsChangedWhileArranging = false;
        const geom::RectF rect = mBounds;
        used = geom::PointF(0, 0);
        // Held for the whole pass: an invalidation during it may empty the set.
        const impl::ArrangementPtr chosen = Arrangements().ChooseArrangement(rect.width, rect.height);
        if (chosen) used = chosen->Arrange(rect);
        if (mBuilt && !mBoundsChangedWhileArranging) break;
    }
    return used;
}

geom::PointF IArrangeable::BestSize() { return Arrangements().BestSize(); }

void IArrangeable::Rearrange() {
    IArrangeable& root = Root();
    root.Arrange(root.mBounds);
}

void IArrangeable::EnableArrangement(bool inEnable) {
    IArrangeable& root = Root();
    if (root.mEnabled == inEnable) return;
    root.mEnabled = inEnable;
    if (inEnable) root.Rearrange();
}

bool IArrangeable::ArrangementEnabled() const { return Root().mEnabled; }

void IArrangeable::Invalidate() {
    IArrangeable& root = Root();
    const bool wasEnabled = root.mEnabled;
    root.mEnabled = false;
    if (mBuilt && mParent != nullptr) mParent->Invalidate();
    mBuilt = false;
    if (wasEnabled) root.EnableArrangement(true);
}

void IArrangeable::InvalidateAll() {
    IArrangeable& root = Root();
    if (!root.mEnabled) return;
    // Every invalidation would rearrange the whole tree; with arrangement held off
    // during the walk the tree is rebuilt and arranged once, at the end.
    root.mEnabled = false;
    try {
        std::vector<IArrangeable*> path(1, this);
        InvalidateDescendants(*this, path);
        Invalidate();
    } catch (...) {
        root.mEnabled = true;
        throw;
    }
    root.EnableArrangement(true);
}

bool VisitChildren(IArrangeable& inItem, IArrangeable::Visitor inVisitor) {
    return inItem.VisitChildren(inVisitor);
}

bool VisitChildren(const IArrangeable& inItem, IArrangeable::ConstVisitor inVisitor) {
    return inItem.VisitChildren(inVisitor);
}

IArrangeable* Parent(IArrangeable& inItem) { return inItem.Parent(); }
const IArrangeable* Parent(const IArrangeable& inItem) { return inItem.Parent(); }

}  // namespace arrange
}  // namespace tarncore
