// Builds an arrangement tree of every group kind from the input and arranges it.
// Sizes include 0, negative, huge, infinite and NaN values. The tree is arranged,
// invalidated and its dynamic groups switched; the engine must neither crash nor hang
// whatever the client answers.

#include <tarncore/arrange/Arrangeable.h>
#include <tarncore/arrange/DynamicGroup.h>
#include <tarncore/arrange/Groups.h>
#include <tarncore/arrange/Single.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace {

using tarncore::arrange::IArrangeable;
using tarncore::geom::PointF;
using tarncore::geom::RectF;

class Input {
public:
    Input(const std::uint8_t* inData, std::size_t inSize) : mData(inData), mSize(inSize) {}
    bool More() const { return mPosition < mSize; }
    std::uint8_t Byte() { return mPosition < mSize ? mData[mPosition++] : 0; }
    float Length() {
        static const float kSpecial[] = {0.0f,
                                         -1.0f,
                                         1e-6f,
                                         1e7f,
                                         3e38f,
                                         std::numeric_limits<float>::infinity(),
                                         std::numeric_limits<float>::quiet_NaN(),
                                         16777217.0f};
        const std::uint8_t byte = Byte();
        if (byte >= 248) return kSpecial[byte - 248];
        return static_cast<float>(byte) * 1.5f;
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mPosition = 0;
};

struct Box : tarncore::arrange::Single {
    explicit Box(Input& ioInput)
        : width(ioInput.Length()), height(ioInput.Length()), minWidth(ioInput.Length()),
          minHeight(ioInput.Length()), margin(ioInput.Length()), flags(ioInput.Byte()) {}
    float PreferredWidth() const override { return width; }
    float PreferredHeight() const override { return height; }
    float MinWidth() const override { return minWidth; }
    float MinHeight() const override { return minHeight; }
    bool HorizontallyExpandable() const override { return (flags & 1) != 0; }
    bool VerticallyExpandable() const override { return (flags & 2) != 0; }
    float ExpandedWidth(float inAvailable) const override {
        return (flags & 4) != 0 ? inAvailable * 0.5f : Single::ExpandedWidth(inAvailable);
    }
    float LeftMargin() const override { return (flags & 8) != 0 ? margin : 0; }
    float BottomMargin() const override { return (flags & 16) != 0 ? margin : 0; }
    PointF ArrangeIn(const RectF& inContent) override {
        if ((flags & 32) != 0 && ++invalidations < 3) Invalidate();
        return PointF(inContent.width, inContent.height);
    }
    float width, height, minWidth, minHeight, margin;
    std::uint8_t flags;
    int invalidations = 0;
};

struct Separator : tarncore::arrange::ISeparator {
    void SetBounds(tarncore::arrange::SeparatorOrientation, const RectF&) override {}
};

struct Node;

struct Settings {
    explicit Settings(Input& ioInput)
        : spacing(ioInput.Length()), margin(ioInput.Length()), align(ioInput.Byte()) {}
    std::vector<Node*> children;
    float spacing, margin;
    std::uint8_t align;
    std::deque<Separator> separators;
    bool Visit(const IArrangeable::Visitor& inVisitor) const;
};

template <class Kind>
struct Group : Kind, Settings {
    explicit Group(Input& ioInput) : Settings(ioInput) {}
    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return Visit(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override {
        return Visit([&](IArrangeable& inChild) { return inVisitor(inChild); });
    }
    float HorizontalSpacing() const override { return spacing; }
    float VerticalSpacing() const override { return spacing * 0.5f; }
    tarncore::arrange::AlignmentHorizontal HorizontalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentHorizontal>(align % 4);
    }
    tarncore::arrange::AlignmentVertical VerticalAlignment() override {
        return static_cast<tarncore::arrange::AlignmentVertical>(align / 4 % 4);
    }
    float LeftMargin() const override { return margin; }
    float TopMargin() const override { return margin; }
    tarncore::arrange::ISeparator* BuildSeparator() override {
        if ((align & 16) == 0) return nullptr;
        separators.emplace_back();
        return &separators.back();
    }
    void ClearSeparators() override { separators.clear(); }
};

struct Dynamic : tarncore::arrange::DynamicGroup, Settings {
    Dynamic(Input& ioInput, int inType)
        : DynamicGroup(nullptr, static_cast<tarncore::arrange::GroupArrangementType>(inType)),
          Settings(ioInput) {}
    bool VisitChildren(IArrangeable::Visitor inVisitor) override { return Visit(inVisitor); }
    bool VisitChildren(IArrangeable::ConstVisitor inVisitor) const override {
        return Visit([&](IArrangeable& inChild) { return inVisitor(inChild); });
    }
    float HorizontalSpacing() const override { return spacing; }
    float LeftMargin() const override { return margin; }
};

// One item of the tree, whatever its kind; a dynamic group is reached through its host.
struct Node {
    std::unique_ptr<IArrangeable> item;
    std::unique_ptr<Dynamic> dynamic;
    Settings* settings = nullptr;
    IArrangeable* Item() const {
        if (dynamic) return dynamic->HasGroup() ? &dynamic->Group() : nullptr;
        return item.get();
    }
};

bool Settings::Visit(const IArrangeable::Visitor& inVisitor) const {
    for (Node* child : children) {
        IArrangeable* item = child->Item();
        if (item != nullptr && !inVisitor(*item)) return false;
    }
    return true;
}

template <class Kind>
void MakeGroup(Node& ioNode, Input& ioInput) {
    auto* group = new Group<Kind>(ioInput);
    ioNode.item.reset(group);
    ioNode.settings = group;
}

constexpr std::size_t kMaxNodes = 96;

Node* Build(Input& ioInput, std::deque<Node>& ioNodes, int inDepth) {
    if (ioNodes.size() >= kMaxNodes) return nullptr;
    ioNodes.emplace_back();
    Node& node = ioNodes.back();
    const std::uint8_t kind = inDepth >= 5 ? 0 : ioInput.Byte() % 10;
    switch (kind) {
    case 1: MakeGroup<tarncore::arrange::Row>(node, ioInput); break;
    case 2: MakeGroup<tarncore::arrange::Column>(node, ioInput); break;
    case 3: MakeGroup<tarncore::arrange::Flipping>(node, ioInput); break;
    case 4: MakeGroup<tarncore::arrange::HorizontalWrapping>(node, ioInput); break;
    case 5: MakeGroup<tarncore::arrange::VerticalWrapping>(node, ioInput); break;
    case 6: MakeGroup<tarncore::arrange::AutoLayout>(node, ioInput); break;
    case 7: {
        node.dynamic.reset(new Dynamic(ioInput, ioInput.Byte() % 7));
        node.settings = node.dynamic.get();
        break;
    }
    default: node.item.reset(new Box(ioInput)); break;
    }
    if (node.settings != nullptr) {
        const std::size_t count = ioInput.Byte() % 16;
        for (std::size_t i = 0; i < count && ioInput.More(); ++i) {
            Node* child = Build(ioInput, ioNodes, inDepth + 1);
            if (child == nullptr) break;
            node.settings->children.push_back(child);
        }
    }
    return &node;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* inData, std::size_t inSize) {
    Input input(inData, inSize);
    std::deque<Node> nodes;
    Node* root = Build(input, nodes, 0);
    if (root == nullptr || root->Item() == nullptr) return 0;

    // A bounded number of operations: each may rebuild and arrange the whole tree.
    for (int operation = 0; operation < 48 && input.More(); ++operation) {
        IArrangeable* rootItem = root->Item();
        if (rootItem == nullptr) break;
        Node& target = nodes[input.Byte() % nodes.size()];
        switch (input.Byte() % 6) {
        case 0:
            rootItem->Arrange(RectF(input.Length(), input.Length(), input.Length(), input.Length()));
            break;
        case 1:
            if (target.Item() != nullptr) target.Item()->Invalidate();
            break;
        case 2: rootItem->InvalidateAll(); break;
        case 3: rootItem->EnableArrangement((input.Byte() & 1) != 0); break;
        case 4:
            if (target.Item() != nullptr) target.Item()->BestSize();
            break;
        case 5:
            if (target.dynamic)
                target.dynamic->SetArrangementType(
                    static_cast<tarncore::arrange::GroupArrangementType>(input.Byte() % 7), nullptr);
            break;
        }
    }
    return 0;
}
