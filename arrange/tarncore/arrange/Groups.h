// The group kinds: rows, columns, wrapping, flipping and automatic layouts.
#pragma once

#include <tarncore/arrange/ArrangeableGroup.h>
#include <tarncore/arrange/Arrangement.h>
#include <tarncore/arrange/GroupArrangement.h>
#include <tarncore/platform/Export.h>

#include <cstddef>
#include <type_traits>
#include <vector>

/// @file
/// The group kinds clients derive from. Each is abstract: the client supplies the
/// children through VisitChildren (both forms) and overrides the spacing, alignment,
/// margin, separator and frame operations of impl::AbstractArrangeableGroup as needed.

namespace tarncore {
namespace arrange {
namespace impl {

/// A wrapping group offers every break of its n items into lines, 2^(n-1) per
/// combination of its children's alternatives, when n <= kMaxExactWrappingItems and
/// that count times the number of combinations stays within kMaxExactWrappings (so
/// always for up to 12 items without alternatives of their own). Beyond either limit
/// the count would double with every item; the group then offers, for each number of
/// lines (all of them, or 64 spread from one line to one item per line), only the break
/// whose widest line (by minimum lengths) is narrowest, filling lines greedily from the
/// front. That is at most 64 breaks per combination, always including the single line
/// and one item per line, offered in the order of the full enumeration.
/// @{
constexpr std::size_t kMaxExactWrappingItems = 12;
constexpr std::size_t kMaxExactWrappings = 65536;
/// @}

/// Adds the wrapped arrangements of one combination: lines are rows stacked in a column
/// (inLinesAreRows) or columns placed side by side in a row.
TARNCORE_API void AddWrappedArrangements(AbstractArrangeableGroup& inGroup, ArrangementSet& ioSet,
                                         const AbstractArrangeableGroup::Combination& inItems,
                                         const AbstractArrangeableGroup::Separators& inSeparators,
                                         bool inLinesAreRows, std::size_t inCombinationCount);

/// One row or one column arrangement per combination.
template <class Kind>
class TARNCORE_API BasicArrangeableGroup : public AbstractArrangeableGroup {
    static_assert(std::is_same<Kind, RowArrangement>::value || std::is_same<Kind, ColumnArrangement>::value,
                  "a basic group arranges its children in a row or a column");

public:
    explicit BasicArrangeableGroup(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), AbstractArrangeableGroup(inParent) {}

    void AddArrangements(ArrangementSet& ioSet, const Combination& inCombination,
                         const Separators& inSeparators) override {
        ioSet.AddArrangement(ArrangementPtr(new Kind(*this, inCombination, inSeparators, true)));
    }
};

/// Every break of the items into lines: Line arrangements stacked in a Stack arrangement.
template <class Line, class Stack>
class TARNCORE_API WrappingArrangeableGroup : public AbstractArrangeableGroup {
    static constexpr bool kLinesAreRows =
        std::is_same<Line, RowArrangement>::value && std::is_same<Stack, ColumnArrangement>::value;
    static_assert(kLinesAreRows || (std::is_same<Line, ColumnArrangement>::value &&
                                    std::is_same<Stack, RowArrangement>::value),
                  "lines are rows in a column or columns in a row");

public:
    explicit WrappingArrangeableGroup(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), AbstractArrangeableGroup(inParent) {}

    void AddArrangements(ArrangementSet& ioSet, const Combination& inCombination,
                         const Separators& inSeparators) override {
        AddWrappedArrangements(*this, ioSet, inCombination, inSeparators, kLinesAreRows, CombinationCount());
    }
};

/// One item with the alternatives of two group kinds: First's, then Second's, for each
/// combination. The group state (children, separators, set) is First's; Second only
/// contributes its AddArrangements.
template <class First, class Second>
class TARNCORE_API BinaryArrangeableGroup : public First, public Second {
public:
    using Combination = AbstractArrangeableGroup::Combination;
    using Separators = AbstractArrangeableGroup::Separators;

    explicit BinaryArrangeableGroup(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), First(inParent), Second(inParent) {}

    bool VisitChildren(IArrangeable::Visitor inVisitor) override = 0;
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override = 0;

    void AddArrangements(ArrangementSet& ioSet, const Combination& inCombination,
                         const Separators& inSeparators) override {
        First::AddArrangements(ioSet, inCombination, inSeparators);
        Second::AddArrangements(ioSet, inCombination, inSeparators);
    }
    void RebuildSelf() override { First::RebuildSelf(); }
    ArrangementSet& ArrangementsSelf() override { return First::ArrangementsSelf(); }

    void SetChildren(std::vector<IArrangeable*>& inChildren) { First::SetChildren(inChildren); }
    void BuildSeparators() { First::BuildSeparators(); }
    const std::vector<IArrangeable*>& Children() const { return First::Children(); }
    const Separators& GroupSeparators() const { return First::GroupSeparators(); }

protected:
    std::size_t CombinationCount() const override { return First::CombinationCount(); }
};

}  // namespace impl

/// Children from left to right.
class TARNCORE_API Row : public impl::BasicArrangeableGroup<impl::RowArrangement> {
public:
    explicit Row(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), BasicArrangeableGroup(inParent) {}
};

/// Children from top to bottom.
class TARNCORE_API Column : public impl::BasicArrangeableGroup<impl::ColumnArrangement> {
public:
    explicit Column(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), BasicArrangeableGroup(inParent) {}
};

/// Items in rows, the rows stacked top to bottom; the break into rows is chosen for the
/// rectangle.
class TARNCORE_API HorizontalWrapping
    : public impl::WrappingArrangeableGroup<impl::RowArrangement, impl::ColumnArrangement> {
public:
    explicit HorizontalWrapping(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), WrappingArrangeableGroup(inParent) {}
};

/// Items in columns, the columns side by side from left to right.
class TARNCORE_API VerticalWrapping
    : public impl::WrappingArrangeableGroup<impl::ColumnArrangement, impl::RowArrangement> {
public:
    explicit VerticalWrapping(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), WrappingArrangeableGroup(inParent) {}
};

/// A row or a column, whichever suits the rectangle (the row on ties).
class TARNCORE_API Flipping : public impl::BinaryArrangeableGroup<Row, Column> {
public:
    explicit Flipping(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), BinaryArrangeableGroup(inParent) {}
};

/// Every horizontal and every vertical wrapping, whichever suits the rectangle (the
/// horizontal one on ties).
class TARNCORE_API AutoLayout : public impl::BinaryArrangeableGroup<HorizontalWrapping, VerticalWrapping> {
public:
    explicit AutoLayout(IArrangeable* inParent = nullptr)
        : IArrangeable(inParent), BinaryArrangeableGroup(inParent) {}
};

}  // namespace arrange
}  // namespace tarncore
