// Wrapping groups: the breaks of items into lines and the arrangements built from them.
#include "arrange/src/Wrapping.h"

#include "arrange/src/LinedUp.h"

#include <tarncore/arrange/Groups.h>

#include <algorithm>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace tarncore {
namespace arrange {
namespace impl {

namespace {

using Combination = AbstractArrangeableGroup::Combination;
using Separators = AbstractArrangeableGroup::Separators;

// Bisection steps when searching the narrowest widest line for a number of lines.
constexpr int kBisectionSteps = 40;

// Line counts tried by the bounded set of breaks: all of them up to this many, else
// this many spread evenly from one line to one item per line.
constexpr std::size_t kMaxBoundedLineCounts = 64;

using SplitVisitor = std::function<void(const Split&)>;

// Every break into lines, in order: fewer lines first, and for the same number of
// lines the longer first line first (recursively).
void AllSplits(std::size_t inRemaining, std::size_t inLines, Split& ioSplit, const SplitVisitor& inVisit) {
    if (inLines == 1) {
        ioSplit.push_back(inRemaining);
        inVisit(ioSplit);
        ioSplit.pop_back();
        return;
    }
    for (std::size_t length = inRemaining - inLines + 1; length >= 1; --length) {
        ioSplit.push_back(length);
        AllSplits(inRemaining - length, inLines - 1, ioSplit, inVisit);
        ioSplit.pop_back();
    }
}

// Fills lines from the front while they stay within inLimit (a line always takes at
// least one item); returns the number of lines, and the break itself into ioSplit
// when one is given.
std::size_t Greedy(const std::vector<float>& inLengths, float inSpacing, float inLimit,
                   Split* ioSplit = nullptr) {
    std::size_t lines = 0;
    std::size_t count = 0;
    float length = 0;
    for (float item : inLengths) {
        if (count > 0 && length + inSpacing + item > inLimit) {
            if (ioSplit != nullptr) ioSplit->push_back(count);
            ++lines;
            count = 0;
        }
        length = count == 0 ? item : length + inSpacing + item;
        ++count;
    }
    if (count > 0) {
        if (ioSplit != nullptr) ioSplit->push_back(count);
        ++lines;
    }
    return lines;
}

// All items on one line, summed as Greedy sums.
float SingleLineLength(const std::vector<float>& inLengths, float inSpacing) {
    float length = inLengths.empty() ? 0.0f : inLengths.front();
    for (std::size_t i = 1; i < inLengths.size(); ++i) length = length + inSpacing + inLengths[i];
    return length;
}

// The greedy break into at most inLines lines whose widest line is narrowest.
Split NarrowestSplit(const std::vector<float>& inLengths, float inSpacing, std::size_t inLines) {
    float low = 0;
    float high = SingleLineLength(inLengths, inSpacing);
    for (int step = 0; step < kBisectionSteps; ++step) {
        const float middle = low + (high - low) * 0.5f;
        if (!(middle > low && middle < high)) break;
        if (Greedy(inLengths, inSpacing, middle) <= inLines)
            high = middle;
        else
            low = middle;
    }
    Split split;
    Greedy(inLengths, inSpacing, high, &split);
    return split;
}

// For each number of lines (or a spread of them), the narrowest greedy break, in the
// order of the full enumeration.
std::vector<Split> BoundedSplits(const std::vector<float>& inLengths, float inSpacing) {
    const std::size_t n = inLengths.size();
    std::vector<std::size_t> counts;
    if (n <= kMaxBoundedLineCounts) {
        for (std::size_t lines = 1; lines <= n; ++lines) counts.push_back(lines);
    } else {
        for (std::size_t i = 0; i < kMaxBoundedLineCounts; ++i)
            counts.push_back(1 + i * (n - 1) / (kMaxBoundedLineCounts - 1));
    }
    std::vector<Split> splits;
    for (std::size_t lines : counts) splits.push_back(NarrowestSplit(inLengths, inSpacing, lines));
    std::sort(splits.begin(), splits.end(), [](const Split& inA, const Split& inB) {
        if (inA.size() != inB.size()) return inA.size() < inB.size();
        return inA > inB;
    });
    splits.erase(std::unique(splits.begin(), splits.end()), splits.end());
    return splits;
}

class Wrapper {
public:
    Wrapper(AbstractArrangeableGroup& inGroup, ArrangementSet& ioSet, const Combination& inItems,
            const Separators& inSeparators, bool inLinesAreRows)
        : mGroup(inGroup), mSet(ioSet), mItems(inItems), mSeparators(inSeparators),
          mLinesAreRows(inLinesAreRows),
          mStackSpacing(inLinesAreRows ? inGroup.VerticalSpacing() : inGroup.HorizontalSpacing()) {
        const float horizontal = inGroup.LeftMargin() + inGroup.RightMargin();
        const float vertical = inGroup.TopMargin() + inGroup.BottomMargin();
        mStackMainMargins = inLinesAreRows ? vertical : horizontal;
        mStackCrossMargins = inLinesAreRows ? horizontal : vertical;
    }

    // One break: lines of one item are the item's arrangement, longer lines are line
    // arrangements with the separators inside them, all stacked with the separators at
    // the breaks. Exactly one level applies the group's frame: the line when it is the
    // only one and holds several items, the stack otherwise. The stack is made only
    // when the set keeps it.
    void Add(const Split& inSplit) {
        const bool lineAppliesFrame = inSplit.size() == 1 && inSplit.front() > 1;
        mLines.clear();
        std::size_t start = 0;
        for (std::size_t count : inSplit) {
            mLines.push_back(Line(start, count, lineAppliesFrame));
            start += count;
        }
        const geom::PointF minimum =
            LinedUpMinimum(mLines, mStackSpacing, lineAppliesFrame ? 0.0f : mStackMainMargins,
                           lineAppliesFrame ? 0.0f : mStackCrossMargins, !mLinesAreRows);
        mSet.Offer(minimum.x, minimum.y, [&]() {
            const Combination lines(mLines.begin(), mLines.end());
            Separators breaks;
            std::size_t end = 0;
            for (std::size_t i = 0; i + 1 < inSplit.size(); ++i) {
                end += inSplit[i];
                breaks.push_back(SeparatorAfter(end - 1));
            }
            return Make(!mLinesAreRows, lines, breaks, !lineAppliesFrame);
        });
    }

private:
    ISeparator* SeparatorAfter(std::size_t inItem) const {
        return inItem < mSeparators.size() ? mSeparators[inItem] : nullptr;
    }

    ArrangementPtr Make(bool inRow, const Combination& inChildren, const Separators& inSeparators,
                        bool inAppliesFrame) {
        if (inRow)
            return ArrangementPtr(new RowArrangement(mGroup, inChildren, inSeparators, inAppliesFrame));
        return ArrangementPtr(new ColumnArrangement(mGroup, inChildren, inSeparators, inAppliesFrame));
    }

    // Lines are made once and shared between the breaks that contain them.
    IArrangement* Line(std::size_t inStart, std::size_t inCount, bool inAppliesFrame) {
        if (inCount == 1) return mItems[inStart].get();
        ArrangementPtr& line = inAppliesFrame ? mFramedLine : mLineCache[std::make_pair(inStart, inCount)];
        if (!line) line = MakeLine(inStart, inCount, inAppliesFrame);
        return line.get();
    }

    ArrangementPtr MakeLine(std::size_t inStart, std::size_t inCount, bool inAppliesFrame) {
        const Combination items(mItems.begin() + inStart, mItems.begin() + inStart + inCount);
        Separators inside;
        for (std::size_t i = inStart; i + 1 < inStart + inCount; ++i) inside.push_back(SeparatorAfter(i));
        return Make(mLinesAreRows, items, inside, inAppliesFrame);
    }

    AbstractArrangeableGroup& mGroup;
    ArrangementSet& mSet;
    const Combination& mItems;
    const Separators& mSeparators;
    bool mLinesAreRows;
    float mStackSpacing;
    float mStackMainMargins = 0;
    float mStackCrossMargins = 0;
    std::map<std::pair<std::size_t, std::size_t>, ArrangementPtr> mLineCache;
    ArrangementPtr mFramedLine;         // the single line of all items
    std::vector<IArrangement*> mLines;  // the lines of the break being added
};

}  // namespace

void ForEachWrapping(std::size_t inItems, bool inExact, const std::vector<float>& inLengths, float inSpacing,
                     const std::function<void(const Split&)>& inVisit) {
    if (!inExact) {
        for (const Split& split : BoundedSplits(inLengths, inSpacing)) inVisit(split);
        return;
    }
    Split split;
    for (std::size_t lines = 1; lines <= inItems; ++lines) AllSplits(inItems, lines, split, inVisit);
}

std::vector<Split> WrappingSplits(std::size_t inItems, bool inExact, const std::vector<float>& inLengths,
                                  float inSpacing) {
    std::vector<Split> splits;
    ForEachWrapping(inItems, inExact, inLengths, inSpacing,
                    [&splits](const Split& inSplit) { splits.push_back(inSplit); });
    return splits;
}

void AddWrappedArrangements(AbstractArrangeableGroup& inGroup, ArrangementSet& ioSet,
                            const AbstractArrangeableGroup::Combination& inItems,
                            const AbstractArrangeableGroup::Separators& inSeparators, bool inLinesAreRows,
                            std::size_t inCombinationCount) {
    const std::size_t n = inItems.size();
    if (n == 0) return;
    const std::size_t combinations = std::max<std::size_t>(inCombinationCount, 1);
    const bool exact = n <= kMaxExactWrappingItems && combinations <= (kMaxExactWrappings >> (n - 1));
    std::vector<float> lengths;
    float spacing = 0;
    if (!exact) {
        lengths.reserve(n);
        for (const ArrangementPtr& item : inItems)
            lengths.push_back(inLinesAreRows ? item->MinWidth() : item->MinHeight());
        spacing = inLinesAreRows ? inGroup.HorizontalSpacing() : inGroup.VerticalSpacing();
    }
    Wrapper wrapper(inGroup, ioSet, inItems, inSeparators, inLinesAreRows);
    ForEachWrapping(n, exact, lengths, spacing, [&wrapper](const Split& inSplit) { wrapper.Add(inSplit); });
}

}  // namespace impl
}  // namespace arrange
}  // namespace tarncore
