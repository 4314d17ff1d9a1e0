// ArrangementSet: keeping the undominated alternatives and choosing one for a rectangle.
#include <tarncore/arrange/Arrangement.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarncore {
namespace arrange {
namespace impl {

namespace {

// p <= q: p's minimum size is no larger than q's in either dimension.
bool NoLarger(float inPW, float inPH, float inQW, float inQH) { return inPW <= inQW && inPH <= inQH; }

// A minimum length that is not a number counts as infinitely large when arrangements
// are compared for dominance: otherwise it would compare with nothing, and every such
// arrangement offered would stay in the set.
float DominanceLength(float inLength) {
    return std::isnan(inLength) ? std::numeric_limits<float>::infinity() : inLength;
}

bool Fits(IArrangement& inArrangement, float inWidth, float inHeight) {
    return inArrangement.MinWidth() <= inWidth && inArrangement.MinHeight() <= inHeight;
}

float GoldenDistance(IArrangement& inArrangement) {
    return std::fabs(inArrangement.PreferredWidth() / inArrangement.PreferredHeight() - kGoldenRatio);
}

// The scores of the current choice, each computed once per choice.
class Scored {
public:
    Scored(IArrangement* inArrangement, const geom::PointF& inSize)
        : mArrangement(inArrangement), mSize(inSize) {}

    IArrangement& operator*() const { return *mArrangement; }
    IArrangement* get() const { return mArrangement; }
    float Overflow() {
        if (!mHaveOverflow) mOverflow = mArrangement->OverflowArea(mSize), mHaveOverflow = true;
        return mOverflow;
    }
    float Waste() {
        if (!mHaveWaste) mWaste = mArrangement->WastedArea(mSize), mHaveWaste = true;
        return mWaste;
    }

private:
    IArrangement* mArrangement;
    geom::PointF mSize;
    float mOverflow = 0;
    float mWaste = 0;
    bool mHaveOverflow = false;
    bool mHaveWaste = false;
};

}  // namespace

IArrangement::~IArrangement() = default;

ArrangementSet::ArrangementSet() = default;
ArrangementSet::~ArrangementSet() = default;

void ArrangementSet::AddArrangement(ArrangementPtr inArrangement) {
    if (!inArrangement) return;
    ++mOffered;
    Insert(std::move(inArrangement));
}

void ArrangementSet::Offer(float inMinWidth, float inMinHeight,
                           const boost::function<ArrangementPtr()>& inMake) {
    ++mOffered;
    if (Beats(inMinWidth, inMinHeight)) return;
    ArrangementPtr arrangement = inMake();
    if (arrangement) Insert(std::move(arrangement));
}

bool ArrangementSet::Beats(float inMinWidth, float inMinHeight) const {
    inMinWidth = DominanceLength(inMinWidth);
    inMinHeight = DominanceLength(inMinHeight);
    // The entries never beat one another, so the first entry comparable with an
    // arrangement beats it exactly when any entry does.
    for (const geom::PointF& entry : mMinSizes) {
        if (NoLarger(entry.x, entry.y, inMinWidth, inMinHeight) &&
            !NoLarger(inMinWidth, inMinHeight, entry.x, entry.y))
            return true;
    }
    return false;
}

void ArrangementSet::Insert(ArrangementPtr inArrangement) {
    const float width = DominanceLength(inArrangement->MinWidth());
    const float height = DominanceLength(inArrangement->MinHeight());

    for (const geom::PointF& entry : mMinSizes) {
        const bool newNoLarger = NoLarger(width, height, entry.x, entry.y);
        if (newNoLarger || NoLarger(entry.x, entry.y, width, height)) {
            if (!newNoLarger) return;  // an entry beats it
            break;
        }
    }
    // The entries it beats go; they are released once the set is consistent again.
    std::vector<ArrangementPtr> removed;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < mEntries.size(); ++i) {
        if (NoLarger(width, height, mMinSizes[i].x, mMinSizes[i].y)) {
            removed.push_back(std::move(mEntries[i]));
            continue;
        }
        if (kept != i) {
            mEntries[kept] = std::move(mEntries[i]);
            mMinSizes[kept] = mMinSizes[i];
        }
        ++kept;
    }
    mEntries.resize(kept);
    mMinSizes.resize(kept);
    mEntries.push_back(std::move(inArrangement));
    mMinSizes.emplace_back(width, height);
}

void ArrangementSet::Clear() {
    // Moved out first: releasing an entry runs destructors that must not see a half
    // cleared set.
    std::vector<ArrangementPtr> released;
    released.swap(mEntries);
    mMinSizes.clear();
    mOffered = 0;
}

ArrangementPtr ArrangementSet::ChooseArrangement(float inWidth, float inHeight) const {
    if (mEntries.empty()) return ArrangementPtr();
    const geom::PointF size(inWidth, inHeight);
    Scored choice(mEntries.front().get(), size);
    bool choiceFits = Fits(*choice, inWidth, inHeight);

    for (std::size_t i = 1; i < mEntries.size(); ++i) {
        Scored candidate(mEntries[i].get(), size);
        const bool candidateFits = Fits(*candidate, inWidth, inHeight);
        bool wins = false;
        if (candidateFits != choiceFits) {
            wins = candidateFits;
        } else if (!candidateFits) {
            wins = candidate.Overflow() < choice.Overflow();
        } else {
            const float candidateWaste = candidate.Waste();
            const float choiceWaste = choice.Waste();
            if (candidateWaste < choiceWaste) {
                wins = true;
            } else if (candidateWaste == choiceWaste) {
                const float candidateArea = (*candidate).MinWidth() * (*candidate).MinHeight();
                const float choiceArea = (*choice).MinWidth() * (*choice).MinHeight();
                if (candidateArea < choiceArea)
                    wins = true;
                else if (candidateArea == choiceArea)
                    wins = GoldenDistance(*candidate) < GoldenDistance(*choice);
            }
        }
        if (wins) {
            choice = candidate;
            choiceFits = candidateFits;
        }
    }
    return ArrangementPtr(choice.get());
}

geom::PointF ArrangementSet::BestSize() const {
    if (mEntries.empty()) return geom::PointF(0, 0);
    IArrangement* choice = mEntries.front().get();
    float choiceDistance = GoldenDistance(*choice);
    for (std::size_t i = 1; i < mEntries.size(); ++i) {
        const float distance = GoldenDistance(*mEntries[i]);
        if (distance < choiceDistance) {
            choice = mEntries[i].get();
            choiceDistance = distance;
        }
    }
    return geom::PointF(choice->MinWidth(), choice->MinHeight());
}

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
