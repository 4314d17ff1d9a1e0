// The value nodes a property list owns: one class per value type.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <list>
#include <memory>
#include <type_traits>

/// @file
/// The value nodes a property list owns, one class per value type, and lists of them.
namespace tarncore {
namespace proplist {

class TARNCORE_API PropNodeBase {
public:
    PropNodeBase() = default;
    PropNodeBase(const PropNodeBase&) = delete;
    PropNodeBase& operator=(const PropNodeBase&) = delete;
    virtual ~PropNodeBase();

    /// Appends the node's XML value block (PropListUtils.h).
    virtual void WriteXML(utility::UTF8String& ioText) const = 0;
    virtual PropListPropertyType GetType() const = 0;
};

class TARNCORE_API UnicodeStringPropNode : public PropNodeBase {
public:
    explicit UnicodeStringPropNode(const utility::UTF16String& inValue) : mValue(inValue) {}
    ~UnicodeStringPropNode() override;
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override { return kPropertyUnicodeString; }

    const utility::UTF16String& GetValue() const { return mValue; }
    void SetValue(const utility::UTF16String& inValue) { mValue = inValue; }

private:
    utility::UTF16String mValue;
};

class TARNCORE_API StringPropNode : public PropNodeBase {
public:
    explicit StringPropNode(const utility::UTF8String& inValue) : mValue(inValue) {}
    ~StringPropNode() override;
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override { return kPropertyString; }

    const utility::UTF8String& GetValue() const { return mValue; }
    void SetValue(const utility::UTF8String& inValue) { mValue = inValue; }

private:
    utility::UTF8String mValue;
};

class TARNCORE_API BoolPropNode : public PropNodeBase {
public:
    explicit BoolPropNode(bool inValue) : mValue(inValue) {}
    ~BoolPropNode() override;
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override { return kPropertyBool; }

    const bool& GetValue() const { return mValue; }
    void SetValue(bool inValue) { mValue = inValue; }

private:
    bool mValue;
};

/// One number, despite the name: unsigned short, std::uint32_t, std::int32_t,
/// std::int64_t, std::uint64_t, float or double. Lists of numbers are
/// PropListArrayNodes of these.
template <class T>
class SimpleTypeArrayNode : public PropNodeBase {
public:
    explicit SimpleTypeArrayNode(T inValue) : mValue(inValue) {}
    ~SimpleTypeArrayNode() override = default;
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override;

    const T& GetValue() const { return mValue; }
    void SetValue(T inValue) { mValue = inValue; }

private:
    T mValue;
};

/// A nested property list, owned.
class TARNCORE_API PropListNode : public PropNodeBase {
public:
    PropListNode() : mList(new PropList) {}
    explicit PropListNode(const PropList& inList) : mList(new PropList(inList)) {}
    ~PropListNode() override;
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override { return kPropertyList; }

    PropList* GetList() const { return mList.get(); }

private:
    std::unique_ptr<PropList> mList;
};

/// A list of values: NodePointerT is a pointer to one of the value node classes above
/// (`UnicodeStringPropNode*`, `SimpleTypeArrayNode<float>*`, ...). The nodes are owned.
template <class NodePointerT>
class PropListArrayNode : public PropNodeBase {
public:
    using Node = std::remove_pointer_t<NodePointerT>;

    PropListArrayNode() = default;
    ~PropListArrayNode() override { Clear(); }
    void WriteXML(utility::UTF8String& ioText) const override;
    PropListPropertyType GetType() const override;

    const std::list<NodePointerT>& GetItems() const { return mItems; }
    /// Takes the node.
    void Append(NodePointerT inNode) {
        std::unique_ptr<Node> owned(inNode);
        mItems.push_back(inNode);
        (void)owned.release();
    }
    void Clear() {
        for (NodePointerT node : mItems) delete node;
        mItems.clear();
    }

private:
    std::list<NodePointerT> mItems;
};

// The instances the library provides.
extern template class TARNCORE_API SimpleTypeArrayNode<unsigned short>;
extern template class TARNCORE_API SimpleTypeArrayNode<std::uint32_t>;
extern template class TARNCORE_API SimpleTypeArrayNode<std::int32_t>;
extern template class TARNCORE_API SimpleTypeArrayNode<std::int64_t>;
extern template class TARNCORE_API SimpleTypeArrayNode<std::uint64_t>;
extern template class TARNCORE_API SimpleTypeArrayNode<float>;
extern template class TARNCORE_API SimpleTypeArrayNode<double>;
extern template class TARNCORE_API PropListArrayNode<UnicodeStringPropNode*>;
extern template class TARNCORE_API PropListArrayNode<StringPropNode*>;
extern template class TARNCORE_API PropListArrayNode<BoolPropNode*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<std::uint32_t>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<std::int32_t>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<std::int64_t>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<std::uint64_t>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<float>*>;
extern template class TARNCORE_API PropListArrayNode<SimpleTypeArrayNode<double>*>;

}  // namespace proplist
}  // namespace tarncore
