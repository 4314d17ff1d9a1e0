// The sample export dialog shared by the arrangement demo and its benchmark.
#pragma once

// A sample export dialog built on the arrangement engine, the way a client would write
// one: controls are Singles, sections are groups of several kinds. Shared by the demo
// program (which draws it) and the benchmark (which times it).

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/DynamicGroup.h>
#include <tarncore/arrange/Groups.h>
#include <tarncore/arrange/Single.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace sample {

using tarncore::arrange::IArrangeable;
using tarncore::geom::PointF;
using tarncore::geom::RectF;

// One control: a label, a field, a button, a tag chip or the preview.
class Control : public tarncore::arrange::Single {
public:
    enum Kind { Label, Field, Button, Check, Chip, Picture, Filler };

    Control(std::string inName, Kind inKind, float inWidth, float inHeight)
        : name(std::move(inName)), kind(inKind), width(inWidth), height(inHeight), minWidth(inWidth),
          minHeight(inHeight) {}

    float PreferredWidth() const override { return width; }
    float PreferredHeight() const override { return height; }
    float MinWidth() const override { return minWidth; }
    float MinHeight() const override { return minHeight; }
    bool HorizontallyExpandable() const override { return expandH; }
    bool VerticallyExpandable() const override { return expandV; }
    float LeftMargin() const override { return margin; }
    float RightMargin() const override { return margin; }
    float TopMargin() const override { return margin; }
    float BottomMargin() const override { return margin; }
    PointF ArrangeIn(const RectF& inContent) override {
        placed = inContent;
        return PointF(inContent.width, inContent.height);
    }

    Control& Stretch(bool inH, bool inV, float inMinWidth, float inMinHeight) {
        expandH = inH, expandV = inV, minWidth = inMinWidth, minHeight = inMinHeight;
        return *this;
    }

    std::string name;
    Kind kind;
    float width, height, minWidth, minHeight;
    bool expandH = false, expandV = false;
    float margin = 0;
    RectF placed;
};

struct Separator : tarncore::arrange::ISeparator {
    void SetBounds(tarncore::arrange::SeparatorOrientation inOrientation, const RectF& inBounds) override {
        orientation = inOrientation;
        bounds = inBounds;
        shown = true;
    }
    int orientation = 0;
    RectF bounds;
    bool shown = false;
};

// What every section of the dialog has: a name, its children, spacing, alignment,
// margins, its separators and the frame it was last given.
struct Section {
    std::string name;
    std::vector<IArrangeable*> children;
    float hSpacing = 0, vSpacing = 0, margin = 0;
    int hAlign = 0, vAlign = 0;
    bool withSeparators = false;
    std::deque<Separator> separators;
    PointF origin, size;

    bool Visit(const std::function<bool(IArrangeable&)>& inVisitor) const {
        for (IArrangeable* child : children)
            if (!inVisitor(*child)) return false;
        return true;
    }
    Separator* NewSeparator() {
        if (!withSeparators) return nullptr;
        separators.emplace_back();
        return &separators.back();
    }
};

template <class Kind>
class Group : public Kind, public Section {
public:
    // Further arguments go to the group kind (a DynamicGroup takes its host and type).
    template <class... KindArguments>
    explicit Group(std::string inName, KindArguments&&... inArguments)
        : Kind(std::forward<KindArguments>(inArguments)...) {
        name = std::move(inName);
    }

    bool VisitChildren(IArrangeable::Visitor inVisitor) override {
        return Visit([&](IArrangeable& inChild) { return inVisitor(inChild); });
    }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override {
        return Visit([&](IArrangeable& inChild) { return inVisitor(inChild); });
    }
    float HorizontalSpacing() const override { return hSpacing; }
    float VerticalSpacing() const override { return vSpacing; }
    tarncore::arrange::AlignmentHorizontal HorizontalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentHorizontal>(hAlign);
    }
    tarncore::arrange::AlignmentVertical VerticalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentVertical>(vAlign);
    }
    float LeftMargin() const override { return margin; }
    float RightMargin() const override { return margin; }
    float TopMargin() const override { return margin; }
    float BottomMargin() const override { return margin; }
    tarncore::arrange::ISeparator* BuildSeparator() override { return NewSeparator(); }
    void ClearSeparators() override { separators.clear(); }
    void Position(const PointF& inOrigin) override { origin = inOrigin; }
    void SetDimensions(const PointF& inSize) override { size = inSize; }
};

// A section whose kind the client picks at run time.
using Dynamic = Group<tarncore::arrange::DynamicGroup>;

// The dialog: a column of sections (rows of labelled fields, a flipping pair of option
// columns, an automatic group of tag chips, an expandable preview and a button row).
class SampleDialog {
public:
    SampleDialog() {
        using tarncore::arrange::GroupAutoLayout;

        auto& header = Make<tarncore::arrange::Row>("header", 8, 0, 1);
        header.children = {&Add("icon", Control::Picture, 32, 32),
                           &Add("Export settings", Control::Label, 220, 24).Stretch(true, false, 120, 24),
                           &Add("?", Control::Button, 24, 24)};

        auto& name = LabelledRow("name", "Name");
        name.children.push_back(&Add("name field", Control::Field, 240, 24).Stretch(true, false, 120, 24));

        auto& folder = LabelledRow("folder", "Folder");
        folder.children.push_back(
            &Add("folder field", Control::Field, 200, 24).Stretch(true, false, 100, 24));
        folder.children.push_back(&Add("Browse...", Control::Button, 80, 26));

        auto& size = LabelledRow("size", "Size");
        size.children.push_back(&Add("width", Control::Field, 60, 24));
        size.children.push_back(&Add("x", Control::Label, 12, 20));
        size.children.push_back(&Add("height", Control::Field, 60, 24));
        size.children.push_back(&Add("pixels", Control::Field, 70, 24));

        auto& format = Make<tarncore::arrange::Column>("format", 0, 4, 0);
        format.children = {&Add("Format", Control::Label, 120, 20), &Add("JPEG", Control::Check, 100, 20),
                           &Add("PNG", Control::Check, 100, 20), &Add("TIFF", Control::Check, 100, 20)};
        auto& quality = Make<tarncore::arrange::Column>("quality", 0, 4, 0);
        quality.children = {&Add("Quality", Control::Label, 120, 20),
                            &Add("quality slider", Control::Field, 220, 20).Stretch(true, false, 200, 20),
                            &Add("Progressive", Control::Check, 140, 20),
                            &Add("Keep metadata", Control::Check, 150, 20)};
        auto& options = Make<tarncore::arrange::Flipping>("options", 16, 10, 0);
        options.withSeparators = true;
        options.children = {&format, &quality};

        mTags.reset(new Dynamic("tags", nullptr, GroupAutoLayout));
        mSections.push_back(mTags.get());
        mTags->hSpacing = mTags->vSpacing = 6;
        mTags->margin = 4;
        const char* tags[] = {"holiday",  "family", "beach",      "2024",     "sunset",
                              "portrait", "raw",    "favourites", "to print", "shared"};
        for (int i = 0; i < 10; ++i) {
            Control& chip = Add(tags[i], Control::Chip, 40 + 6.5f * std::string(tags[i]).size(), 22);
            chip.margin = 1;
            mTags->children.push_back(&chip);
        }

        Control& preview = Add("preview", Control::Picture, 320, 180).Stretch(true, true, 160, 90);

        auto& buttons = Make<tarncore::arrange::Row>("buttons", 8, 0, 1);
        // The filler takes the free width, which keeps the buttons at the right edge.
        buttons.children = {&Add("Open after export", Control::Check, 130, 20),
                            &Add("", Control::Filler, 8, 8).Stretch(true, false, 8, 8),
                            &Add("Cancel", Control::Button, 80, 26), &Add("Export", Control::Button, 80, 26)};

        auto& root = Make<tarncore::arrange::Column>("dialog", 0, 10, 0);
        root.margin = 12;
        root.withSeparators = true;
        root.children = {&header,  &name,    &folder,
                         &size,    &options, &mTags->tarncore::arrange::DynamicGroup::Group(),
                         &preview, &buttons};
        mRoot = &root;
    }

    SampleDialog(const SampleDialog&) = delete;
    SampleDialog& operator=(const SampleDialog&) = delete;

    IArrangeable& Root() { return *mRoot; }
    const std::deque<Control>& Controls() const { return mControls; }
    const std::vector<const Section*>& Sections() const { return mSections; }
    Dynamic& Tags() { return *mTags; }

private:
    Control& Add(const char* inName, Control::Kind inKind, float inWidth, float inHeight) {
        mControls.emplace_back(inName, inKind, inWidth, inHeight);
        return mControls.back();
    }

    template <class Kind>
    Group<Kind>& Make(const char* inName, float inHSpacing, float inVSpacing, int inVAlign) {
        auto* group = new Group<Kind>(inName);
        mGroups.emplace_back(group);
        group->hSpacing = inHSpacing;
        group->vSpacing = inVSpacing;
        group->vAlign = inVAlign;
        mSections.push_back(group);
        return *group;
    }

    Group<tarncore::arrange::Row>& LabelledRow(const char* inName, const char* inLabel) {
        auto& row = Make<tarncore::arrange::Row>(inName, 8, 0, 1);
        row.children.push_back(&Add(inLabel, Control::Label, 70, 20));
        return row;
    }

    std::deque<Control> mControls;
    std::vector<std::unique_ptr<IArrangeable>> mGroups;
    std::unique_ptr<Dynamic> mTags;
    std::vector<const Section*> mSections;
    IArrangeable* mRoot = nullptr;
};

}  // namespace sample
