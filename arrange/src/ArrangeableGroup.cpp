// AbstractArrangeableGroup: collecting children and separators and offering their combinations.
#include <tarncore/arrange/ArrangeableGroup.h>

#include <algorithm>
#include <cmath>

namespace tarncore {
namespace arrange {
namespace impl {

namespace {

using Alternatives = std::vector<std::vector<ArrangementPtr>>;
using Pick = std::vector<std::size_t>;

// The index of the alternative that is smallest along one axis among those within
// inLimit across it, or, when none is within the limit, of the one smallest across.
std::size_t PickWithin(const std::vector<ArrangementPtr>& inAlternatives, float inLimit, bool inLimitHeight) {
    auto along = [inLimitHeight](IArrangement& inArrangement) {
        return inLimitHeight ? inArrangement.MinWidth() : inArrangement.MinHeight();
    };
    auto across = [inLimitHeight](IArrangement& inArrangement) {
        return inLimitHeight ? inArrangement.MinHeight() : inArrangement.MinWidth();
    };
    std::size_t best = inAlternatives.size();
    std::size_t smallestAcross = 0;
    for (std::size_t i = 0; i < inAlternatives.size(); ++i) {
        IArrangement& alternative = *inAlternatives[i];
        if (across(alternative) < across(*inAlternatives[smallestAcross])) smallestAcross = i;
        if (across(alternative) <= inLimit &&
            (best == inAlternatives.size() || along(alternative) < along(*inAlternatives[best])))
            best = i;
    }
    return best == inAlternatives.size() ? smallestAcross : best;
}

// The reduced set of combinations used above kMaxCombinations, in product order.
std::vector<Pick> LimitedPicks(const Alternatives& inAlternatives) {
    std::vector<Pick> picks;
    for (bool limitHeight : {true, false}) {
        std::vector<float> limits;
        for (const auto& alternatives : inAlternatives) {
            for (const ArrangementPtr& alternative : alternatives) {
                const float limit = limitHeight ? alternative->MinHeight() : alternative->MinWidth();
                if (!std::isnan(limit)) limits.push_back(limit);  // sortable values only
            }
        }
        std::sort(limits.begin(), limits.end());
        limits.erase(std::unique(limits.begin(), limits.end()), limits.end());
        for (float limit : limits) {
            Pick pick;
            pick.reserve(inAlternatives.size());
            for (const auto& alternatives : inAlternatives)
                pick.push_back(PickWithin(alternatives, limit, limitHeight));
            picks.push_back(std::move(pick));
        }
    }
    std::sort(picks.begin(), picks.end());
    picks.erase(std::unique(picks.begin(), picks.end()), picks.end());
    return picks;
}

}  // namespace

AbstractArrangeableGroup::AbstractArrangeableGroup(IArrangeable* inParent) : IArrangeable(inParent) {
    if (inParent != nullptr) SetParent(inParent);
}

AbstractArrangeableGroup::~AbstractArrangeableGroup() = default;

float AbstractArrangeableGroup::HorizontalSpacing() const { return 0; }
float AbstractArrangeableGroup::VerticalSpacing() const { return 0; }
AlignmentHorizontal AbstractArrangeableGroup::HorizontalAlignment() { return AlignLeft; }
AlignmentVertical AbstractArrangeableGroup::VerticalAlignment() { return AlignTop; }
ISeparator* AbstractArrangeableGroup::BuildSeparator() { return nullptr; }
void AbstractArrangeableGroup::ClearSeparators() {}
float AbstractArrangeableGroup::LeftMargin() const { return 0; }
float AbstractArrangeableGroup::RightMargin() const { return 0; }
float AbstractArrangeableGroup::TopMargin() const { return 0; }
float AbstractArrangeableGroup::BottomMargin() const { return 0; }
void AbstractArrangeableGroup::Position(const geom::PointF&) {}
void AbstractArrangeableGroup::SetDimensions(const geom::PointF&) {}

ArrangementSet& AbstractArrangeableGroup::ArrangementsSelf() { return mArrangements; }

void AbstractArrangeableGroup::SetChildren(std::vector<IArrangeable*>& inChildren) { mChildren = inChildren; }

void AbstractArrangeableGroup::RebuildSelf() {
    mArrangements.Clear();
    CollectChildren();
    BuildSeparators();
    OfferCombinations();
    for (const ArrangementPtr& arrangement : mArrangements) arrangement->Prepare();
}

void AbstractArrangeableGroup::CollectChildren() {
    IArrangeable* self = this;
    mChildren.clear();
    VisitChildren(Visitor([this, self](IArrangeable& inChild) {
        // A child that is this group or one of its ancestors would close a loop.
        for (const IArrangeable* item = self; item != nullptr; item = item->Parent()) {
            if (item == &inChild) return true;
        }
        mChildren.push_back(&inChild);
        return true;
    }));
    for (IArrangeable* child : mChildren) {
        if (child != nullptr) child->SetParent(self);
    }
}

void AbstractArrangeableGroup::BuildSeparators() {
    ClearSeparators();
    mSeparators.clear();
    if (mChildren.empty()) return;
    mSeparators.assign(mChildren.size() - 1, nullptr);
    for (std::size_t gap = 0; gap + 1 < mChildren.size(); ++gap) {
        if (mChildren[gap] != nullptr) mSeparators[gap] = BuildSeparator();
    }
}

void AbstractArrangeableGroup::OfferCombinations() {
    mCombinationCount = 0;
    // A missing child ends every branch of the enumeration: nothing is offered.
    if (std::find(mChildren.begin(), mChildren.end(), nullptr) != mChildren.end()) return;

    // Copied, so that a child rebuilt later in this loop cannot change an earlier list.
    // Children without alternatives take no place in the combinations.
    Alternatives alternatives;
    std::size_t product = 1;
    bool limited = false;
    for (IArrangeable* child : mChildren) {
        const ArrangementSet& set = child->Arrangements();
        if (set.empty()) continue;
        alternatives.emplace_back(set.begin(), set.end());
        if (product > kMaxCombinations / set.size())
            limited = true;
        else
            product *= set.size();
    }

    Combination combination(alternatives.size());
    if (limited) {
        const std::vector<Pick> picks = LimitedPicks(alternatives);
        mCombinationCount = picks.size();
        for (const Pick& pick : picks) {
            for (std::size_t k = 0; k < pick.size(); ++k) combination[k] = alternatives[k][pick[k]];
            AddArrangements(mArrangements, combination, mSeparators);
        }
        return;
    }

    // The Cartesian product in order: the first child's alternatives vary slowest.
    mCombinationCount = product;
    Pick index(alternatives.size(), 0);
    for (std::size_t k = 0; k < alternatives.size(); ++k) combination[k] = alternatives[k][0];
    for (;;) {
        AddArrangements(mArrangements, combination, mSeparators);
        std::size_t k = alternatives.size();
        while (k > 0) {
            --k;
            if (++index[k] < alternatives[k].size()) {
                combination[k] = alternatives[k][index[k]];
                break;
            }
            index[k] = 0;
            combination[k] = alternatives[k][0];
            if (k == 0) return;
        }
        if (alternatives.empty()) return;
    }
}

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
