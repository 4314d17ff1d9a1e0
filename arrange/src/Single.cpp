// Single, a leaf control, and the one arrangement it offers.
#include <tarncore/arrange/Single.h>

#include <algorithm>

namespace tarncore {
namespace arrange {

namespace {

// The one arrangement of a Single: the control's sizes plus its margins, captured when
// the arrangement is built.
class SingleArrangement final : public impl::IArrangement {
public:
    explicit SingleArrangement(Single& inSingle)
        : mSingle(&inSingle), mHorizontallyExpandable(inSingle.HorizontallyExpandable()),
          mVerticallyExpandable(inSingle.VerticallyExpandable()), mLeftMargin(inSingle.LeftMargin()),
          mTopMargin(inSingle.TopMargin()), mHorizontalMargins(mLeftMargin + inSingle.RightMargin()),
          mVerticalMargins(mTopMargin + inSingle.BottomMargin()),
          mMinWidth(inSingle.MinWidth() + mHorizontalMargins),
          mMinHeight(inSingle.MinHeight() + mVerticalMargins),
          mPreferredWidth(inSingle.PreferredWidth() + mHorizontalMargins),
          mPreferredHeight(inSingle.PreferredHeight() + mVerticalMargins) {}

    geom::PointF Arrange(const geom::RectF& inRect) override {
        return mSingle->ArrangeIn(geom::RectF(inRect.x + mLeftMargin, inRect.y + mTopMargin,
                                              inRect.width - mHorizontalMargins,
                                              inRect.height - mVerticalMargins));
    }
    bool HorizontallyExpandable() override { return mHorizontallyExpandable; }
    bool VerticallyExpandable() override { return mVerticallyExpandable; }
    float MinWidth() override { return mMinWidth; }
    float MinHeight() override { return mMinHeight; }
    float PreferredWidth() override { return mPreferredWidth; }
    float PreferredHeight() override { return mPreferredHeight; }
    float ExpandedWidth(float inAvailable) override {
        return mSingle->ExpandedWidth(inAvailable - mHorizontalMargins) + mHorizontalMargins;
    }
    float ExpandedHeight(float inAvailable) override {
        return mSingle->ExpandedHeight(inAvailable - mVerticalMargins) + mVerticalMargins;
    }
    float OverflowArea(const geom::PointF& inSize) override {
        return mMinHeight * std::max(mMinWidth - inSize.x, 0.0f) +
               mMinWidth * std::max(mMinHeight - inSize.y, 0.0f);
    }
    float WastedArea(const geom::PointF& inSize) override {
        return inSize.x * inSize.y - ExpandedWidth(inSize.x) * ExpandedHeight(inSize.y);
    }
    void Prepare() override {}
    bool AppliesGroupFrame() override { return true; }

private:
    Single* mSingle;
    bool mHorizontallyExpandable;
    bool mVerticallyExpandable;
    float mLeftMargin;
    float mTopMargin;
    float mHorizontalMargins;
    float mVerticalMargins;
    float mMinWidth;
    float mMinHeight;
    float mPreferredWidth;
    float mPreferredHeight;
};

}  // namespace

Single::Single(IArrangeable* inParent) : IArrangeable(inParent) {
    if (inParent != nullptr) SetParent(inParent);
}

Single::~Single() = default;

float Single::MinWidth() const { return PreferredWidth(); }
float Single::MinHeight() const { return PreferredHeight(); }

float Single::ExpandedWidth(float inAvailable) const {
    return HorizontallyExpandable() ? inAvailable : PreferredWidth();
}

float Single::ExpandedHeight(float inAvailable) const {
    return VerticallyExpandable() ? inAvailable : PreferredHeight();
}

bool Single::HorizontallyExpandable() const { return false; }
bool Single::VerticallyExpandable() const { return false; }
float Single::LeftMargin() const { return 0; }
float Single::RightMargin() const { return 0; }
float Single::TopMargin() const { return 0; }
float Single::BottomMargin() const { return 0; }

impl::ArrangementSet& Single::ArrangementsSelf() { return mArrangements; }

void Single::RebuildSelf() {
    mArrangements.Clear();
    mArrangements.AddArrangement(impl::ArrangementPtr(new SingleArrangement(*this)));
}

}  // namespace arrange
}  // namespace tarncore
