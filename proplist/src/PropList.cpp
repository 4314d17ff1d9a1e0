// The property list model: its nodes, getting and setting values, nested lists.
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropNodes.h>

#include "proplist/src/Numbers.h"
#include "proplist/src/PropListWalker.h"

#include <memory>
#include <utility>

namespace tarncore {
namespace proplist {

using utility::UTF16String;
using utility::UTF8String;

PropNodeBase::~PropNodeBase() = default;
UnicodeStringPropNode::~UnicodeStringPropNode() = default;
StringPropNode::~StringPropNode() = default;
BoolPropNode::~BoolPropNode() = default;
PropListNode::~PropListNode() = default;

namespace {

template <class T>
struct ScalarType;
template <>
struct ScalarType<unsigned short> {
    static constexpr PropListPropertyType kType = kPropertyUInt16;
};
template <>
struct ScalarType<std::uint32_t> {
    static constexpr PropListPropertyType kType = kPropertyUInt32;
};
template <>
struct ScalarType<std::int32_t> {
    static constexpr PropListPropertyType kType = kPropertyInt32;
};
template <>
struct ScalarType<std::int64_t> {
    static constexpr PropListPropertyType kType = kPropertyInt64;
};
template <>
struct ScalarType<std::uint64_t> {
    static constexpr PropListPropertyType kType = kPropertyUInt64;
};
template <>
struct ScalarType<float> {
    static constexpr PropListPropertyType kType = kPropertyFloat;
};
template <>
struct ScalarType<double> {
    static constexpr PropListPropertyType kType = kPropertyDouble;
};

template <class NodeT>
struct NodeType;
template <>
struct NodeType<UnicodeStringPropNode> {
    static constexpr PropListPropertyType kType = kPropertyUnicodeString;
};
template <>
struct NodeType<StringPropNode> {
    static constexpr PropListPropertyType kType = kPropertyString;
};
template <>
struct NodeType<BoolPropNode> {
    static constexpr PropListPropertyType kType = kPropertyBool;
};
template <class T>
struct NodeType<SimpleTypeArrayNode<T>> {
    static constexpr PropListPropertyType kType = ScalarType<T>::kType;
};

// Each list type is its element's type plus 11.
template <class NodeT>
constexpr PropListPropertyType kListType = static_cast<PropListPropertyType>(NodeType<NodeT>::kType + 11);

// The node class of each scalar value type.
template <class T>
struct NodeFor {
    using Type = SimpleTypeArrayNode<T>;
};
template <>
struct NodeFor<UTF16String> {
    using Type = UnicodeStringPropNode;
};
template <>
struct NodeFor<UTF8String> {
    using Type = StringPropNode;
};
template <>
struct NodeFor<bool> {
    using Type = BoolPropNode;
};

template <class NodeT>
PropNodeBase* CloneList(const PropNodeBase& inNode) {
    std::unique_ptr<PropListArrayNode<NodeT*>> copy(new PropListArrayNode<NodeT*>);
    for (const NodeT* item : static_cast<const PropListArrayNode<NodeT*>&>(inNode).GetItems())
        copy->Append(new NodeT(item->GetValue()));
    return copy.release();
}

template <class NodeT>
PropNodeBase* CloneScalar(const PropNodeBase& inNode) {
    return new NodeT(static_cast<const NodeT&>(inNode).GetValue());
}

}  // namespace

template <class T>
PropListPropertyType SimpleTypeArrayNode<T>::GetType() const {
    return ScalarType<T>::kType;
}

template <class NodePointerT>
PropListPropertyType PropListArrayNode<NodePointerT>::GetType() const {
    return kListType<Node>;
}

template class SimpleTypeArrayNode<unsigned short>;
template class SimpleTypeArrayNode<std::uint32_t>;
template class SimpleTypeArrayNode<std::int32_t>;
template class SimpleTypeArrayNode<std::int64_t>;
template class SimpleTypeArrayNode<std::uint64_t>;
template class SimpleTypeArrayNode<float>;
template class SimpleTypeArrayNode<double>;
template class PropListArrayNode<UnicodeStringPropNode*>;
template class PropListArrayNode<StringPropNode*>;
template class PropListArrayNode<BoolPropNode*>;
template class PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>;
template class PropListArrayNode<SimpleTypeArrayNode<std::uint32_t>*>;
template class PropListArrayNode<SimpleTypeArrayNode<std::int32_t>*>;
template class PropListArrayNode<SimpleTypeArrayNode<std::int64_t>*>;
template class PropListArrayNode<SimpleTypeArrayNode<std::uint64_t>*>;
template class PropListArrayNode<SimpleTypeArrayNode<float>*>;
template class PropListArrayNode<SimpleTypeArrayNode<double>*>;

PropNodeBase* PropListWalker::Clone(const PropNodeBase& inNode) {
    switch (inNode.GetType()) {
    case kPropertyUnicodeString: return CloneScalar<UnicodeStringPropNode>(inNode);
    case kPropertyString: return CloneScalar<StringPropNode>(inNode);
    case kPropertyBool: return CloneScalar<BoolPropNode>(inNode);
    case kPropertyUInt16: return CloneScalar<SimpleTypeArrayNode<unsigned short>>(inNode);
    case kPropertyUInt32: return CloneScalar<SimpleTypeArrayNode<std::uint32_t>>(inNode);
    case kPropertyInt32: return CloneScalar<SimpleTypeArrayNode<std::int32_t>>(inNode);
    case kPropertyInt64: return CloneScalar<SimpleTypeArrayNode<std::int64_t>>(inNode);
    case kPropertyUInt64: return CloneScalar<SimpleTypeArrayNode<std::uint64_t>>(inNode);
    case kPropertyFloat: return CloneScalar<SimpleTypeArrayNode<float>>(inNode);
    case kPropertyDouble: return CloneScalar<SimpleTypeArrayNode<double>>(inNode);
    case kPropertyList: return new PropListNode(*static_cast<const PropListNode&>(inNode).GetList());
    case kPropertyUnicodeStringList: return CloneList<UnicodeStringPropNode>(inNode);
    case kPropertyStringList: return CloneList<StringPropNode>(inNode);
    case kPropertyBoolList: return CloneList<BoolPropNode>(inNode);
    case kPropertyUInt16List: return CloneList<SimpleTypeArrayNode<unsigned short>>(inNode);
    case kPropertyUInt32List: return CloneList<SimpleTypeArrayNode<std::uint32_t>>(inNode);
    case kPropertyInt32List: return CloneList<SimpleTypeArrayNode<std::int32_t>>(inNode);
    case kPropertyInt64List: return CloneList<SimpleTypeArrayNode<std::int64_t>>(inNode);
    case kPropertyUInt64List: return CloneList<SimpleTypeArrayNode<std::uint64_t>>(inNode);
    case kPropertyFloatList: return CloneList<SimpleTypeArrayNode<float>>(inNode);
    case kPropertyDoubleList: return CloneList<SimpleTypeArrayNode<double>>(inNode);
    case kPropertyNone: break;
    }
    return nullptr;
}

PropList::PropList() : mVersion(kCurrentVersion) {}

PropList::PropList(const PropList& inOther) : mVersion(inOther.mVersion) {
    try {
        for (const auto& [key, node] : inOther.mProperties) {
            std::unique_ptr<PropNodeBase> copy(PropListWalker::Clone(*node));
            mProperties.emplace_hint(mProperties.end(), key, copy.get());
            (void)copy.release();
        }
    } catch (...) {
        Clear();
        throw;
    }
}

PropList& PropList::operator=(const PropList& inOther) {
    if (this != &inOther) {
        PropList copy(inOther);
        std::swap(mProperties, copy.mProperties);
        mVersion = copy.mVersion;
    }
    return *this;
}

PropList::~PropList() { Clear(); }

const PropNodeBase* PropList::Find(const Key& inKey) const {
    const auto found = mProperties.find(inKey);
    return found == mProperties.end() ? nullptr : found->second;
}

PropList::Entries::iterator PropList::Position(const Key& inKey) {
    // Documents list their keys in order, so a list being read grows at its end: one
    // comparison instead of a search.
    if (mProperties.empty() || mProperties.rbegin()->first < inKey) return mProperties.end();
    return mProperties.lower_bound(inKey);
}

void PropList::Store(Entries::iterator inPosition, const Key& inKey, PropNodeBase* inNode) {
    std::unique_ptr<PropNodeBase> node(inNode);
    if (inPosition != mProperties.end() && inPosition->first == inKey) {
        std::unique_ptr<PropNodeBase> old(inPosition->second);
        inPosition->second = node.release();
    } else {
        mProperties.emplace_hint(inPosition, inKey, node.get());
        (void)node.release();
    }
}

template <class NodeT, class ValueT>
bool PropList::GetScalar(const Key& inKey, ValueT& outValue) const {
    const PropNodeBase* node = Find(inKey);
    if (node == nullptr || node->GetType() != NodeType<NodeT>::kType) return false;
    outValue = static_cast<const NodeT*>(node)->GetValue();
    return true;
}

template <class NodeT, class ValueT>
bool PropList::GetList(const Key& inKey, std::list<ValueT>& ioValue) const {
    const PropNodeBase* node = Find(inKey);
    if (node == nullptr || node->GetType() != kListType<NodeT>) return false;
    for (const NodeT* item : static_cast<const PropListArrayNode<NodeT*>*>(node)->GetItems())
        ioValue.push_back(item->GetValue());
    return true;
}

template <class NodeT, class ValueT>
void PropList::SetScalar(const Key& inKey, const ValueT& inValue) {
    const Entries::iterator position = Position(inKey);
    if (position != mProperties.end() && position->first == inKey &&
        position->second->GetType() == NodeType<NodeT>::kType) {
        static_cast<NodeT*>(position->second)->SetValue(inValue);
        return;
    }
    Store(position, inKey, new NodeT(inValue));
}

template <class NodeT, class ValueT>
void PropList::SetList(const Key& inKey, const std::list<ValueT>& inValue) {
    // The new elements are made first, so a failure leaves the old value.
    std::unique_ptr<PropListArrayNode<NodeT*>> fresh(new PropListArrayNode<NodeT*>);
    for (const ValueT& value : inValue) fresh->Append(new NodeT(value));
    Store(Position(inKey), inKey, fresh.release());
}

#define TARNCORE_PROPLIST_VALUE_ACCESS(ValueType)                                    \
    bool PropList::GetValue(const Key& inKey, std::list<ValueType>& ioValue) const { \
        return GetList<NodeFor<ValueType>::Type>(inKey, ioValue);                    \
    }                                                                                \
    void PropList::SetValue(const Key& inKey, const std::list<ValueType>& inValue) { \
        SetList<NodeFor<ValueType>::Type>(inKey, inValue);                           \
    }                                                                                \
    void PropList::SetValue(const Key& inKey, const ValueType& inValue) {            \
        SetScalar<NodeFor<ValueType>::Type>(inKey, inValue);                         \
    }

TARNCORE_PROPLIST_VALUE_ACCESS(double)
TARNCORE_PROPLIST_VALUE_ACCESS(float)
TARNCORE_PROPLIST_VALUE_ACCESS(std::uint64_t)
TARNCORE_PROPLIST_VALUE_ACCESS(std::int64_t)
TARNCORE_PROPLIST_VALUE_ACCESS(std::int32_t)
TARNCORE_PROPLIST_VALUE_ACCESS(std::uint32_t)
TARNCORE_PROPLIST_VALUE_ACCESS(unsigned short)
TARNCORE_PROPLIST_VALUE_ACCESS(bool)
TARNCORE_PROPLIST_VALUE_ACCESS(UTF8String)
TARNCORE_PROPLIST_VALUE_ACCESS(UTF16String)
#undef TARNCORE_PROPLIST_VALUE_ACCESS

bool PropList::GetValue(const Key& inKey, double& outValue) const {
    if (GetScalar<SimpleTypeArrayNode<double>>(inKey, outValue)) return true;
    // Version 1 documents stored doubles as UTF-16 strings.
    if (mVersion != 1) return false;
    const PropNodeBase* node = Find(inKey);
    if (node == nullptr || node->GetType() != kPropertyUnicodeString) return false;
    outValue = ReadNumber<double>(static_cast<const UnicodeStringPropNode*>(node)->GetValue());
    return true;
}

bool PropList::GetValue(const Key& inKey, float& outValue) const {
    return GetScalar<SimpleTypeArrayNode<float>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, std::uint64_t& outValue) const {
    return GetScalar<SimpleTypeArrayNode<std::uint64_t>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, std::int64_t& outValue) const {
    return GetScalar<SimpleTypeArrayNode<std::int64_t>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, std::int32_t& outValue) const {
    return GetScalar<SimpleTypeArrayNode<std::int32_t>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, std::uint32_t& outValue) const {
    return GetScalar<SimpleTypeArrayNode<std::uint32_t>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, unsigned short& outValue) const {
    return GetScalar<SimpleTypeArrayNode<unsigned short>>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, bool& outValue) const {
    return GetScalar<BoolPropNode>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, UTF8String& outValue) const {
    return GetScalar<StringPropNode>(inKey, outValue);
}
bool PropList::GetValue(const Key& inKey, UTF16String& outValue) const {
    return GetScalar<UnicodeStringPropNode>(inKey, outValue);
}

PropList* PropList::GetSubList(const Key& inKey) const {
    const PropNodeBase* node = Find(inKey);
    if (node == nullptr || node->GetType() != kPropertyList) return nullptr;
    return static_cast<const PropListNode*>(node)->GetList();
}

PropList* PropList::NewSubList(const Key& inKey) {
    if (PropList* existing = GetSubList(inKey)) return existing;
    PropListNode* node = new PropListNode;
    Store(Position(inKey), inKey, node);
    return node->GetList();
}

void PropList::Clear() {
    for (auto& entry : mProperties) delete entry.second;
    mProperties.clear();
}

void PropList::GetPropertyNames(std::list<UTF8String>& ioNames) const {
    for (const auto& entry : mProperties) ioNames.push_back(entry.first);
}

PropListPropertyType PropList::GetPropertyType(const Key& inKey) const {
    const PropNodeBase* node = Find(inKey);
    return node == nullptr ? kPropertyNone : node->GetType();
}

bool PropList::RemoveValue(const Key& inKey) {
    const auto found = mProperties.find(inKey);
    if (found == mProperties.end()) return false;
    std::unique_ptr<PropNodeBase> node(found->second);
    mProperties.erase(found);
    return true;
}

}  // namespace proplist
}  // namespace tarncore
