// Writing "prop.map" documents: each node's value block, the list block, and the document around it.
#include <tarncore/proplist/PropList.h>
#include <tarncore/proplist/PropListUtils.h>
#include <tarncore/proplist/PropNodes.h>

#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore/xml/XMLUtils.h>

#include "proplist/src/Numbers.h"
#include "proplist/src/PropListWalker.h"

#include <cstddef>

namespace tarncore {
namespace proplist {

using utility::UTF8Char;
using utility::UTF8String;

namespace {

template <std::size_t N>
void AppendLiteral(UTF8String& ioText, const char (&inLiteral)[N]) {
    ioText.append(reinterpret_cast<const UTF8Char*>(inLiteral), N - 1);
}

// The element of each number type: its start (name and attributes) and its name. It is
// written "<start>value</name>", and empty "<start/>" in "array.type".
template <class T>
struct NumberTag;
template <>
struct NumberTag<unsigned short> {
    static constexpr char kStart[] = "<int type='unsigned' size='16'";
    static constexpr char kName[] = "int";
};
template <>
struct NumberTag<std::uint32_t> {
    static constexpr char kStart[] = "<int type='unsigned' size='32'";
    static constexpr char kName[] = "int";
};
template <>
struct NumberTag<std::int32_t> {
    static constexpr char kStart[] = "<int type='signed' size='32'";
    static constexpr char kName[] = "int";
};
template <>
struct NumberTag<std::int64_t> {
    static constexpr char kStart[] = "<int type='signed' size='64'";
    static constexpr char kName[] = "int";
};
template <>
struct NumberTag<std::uint64_t> {
    static constexpr char kStart[] = "<int type='unsigned' size='64'";
    static constexpr char kName[] = "int";
};
template <>
struct NumberTag<float> {
    static constexpr char kStart[] = "<float";
    static constexpr char kName[] = "float";
};
template <>
struct NumberTag<double> {
    static constexpr char kStart[] = "<double";
    static constexpr char kName[] = "double";
};

// The empty element naming a list's element type.
template <class NodeT>
struct ElementTypeTag;
template <class T>
struct ElementTypeTag<SimpleTypeArrayNode<T>> {
    static void Write(UTF8String& ioText) {
        AppendLiteral(ioText, NumberTag<T>::kStart);
        AppendLiteral(ioText, "/>");
    }
};
template <>
struct ElementTypeTag<UnicodeStringPropNode> {
    static void Write(UTF8String& ioText) { AppendLiteral(ioText, "<ustring/>"); }
};
template <>
struct ElementTypeTag<StringPropNode> {
    static void Write(UTF8String& ioText) { AppendLiteral(ioText, "<string/>"); }
};
template <>
struct ElementTypeTag<BoolPropNode> {
    static void Write(UTF8String& ioText) { AppendLiteral(ioText, "<bool/>"); }
};

}  // namespace

void UnicodeStringPropNode::WriteXML(UTF8String& ioText) const {
    // Converted whole, so that a NUL unit shows up as a character no document can
    // hold instead of cutting the text short.
    thread_local UTF8String converted;
    converted.clear();
    utility::AppendUTF16to8(mValue, converted);
    AppendLiteral(ioText, "<ustring>");
    xml::utils::EncodeTextContent(converted, ioText);
    AppendLiteral(ioText, "</ustring>\n");
}

void StringPropNode::WriteXML(UTF8String& ioText) const {
    AppendLiteral(ioText, "<string>");
    xml::utils::EncodeTextContent(mValue, ioText);
    AppendLiteral(ioText, "</string>\n");
}

void BoolPropNode::WriteXML(UTF8String& ioText) const {
    if (mValue)
        AppendLiteral(ioText, "<true/>\n");
    else
        AppendLiteral(ioText, "<false/>\n");
}

template <class T>
void SimpleTypeArrayNode<T>::WriteXML(UTF8String& ioText) const {
    AppendLiteral(ioText, NumberTag<T>::kStart);
    AppendLiteral(ioText, ">");
    AppendNumber(mValue, ioText);
    AppendLiteral(ioText, "</");
    AppendLiteral(ioText, NumberTag<T>::kName);
    AppendLiteral(ioText, ">\n");
}

void PropListNode::WriteXML(UTF8String& ioText) const { mList->OutputAsXMLFragment(ioText); }

template <class NodePointerT>
void PropListArrayNode<NodePointerT>::WriteXML(UTF8String& ioText) const {
    AppendLiteral(ioText, "<array>\n<array.type>");
    ElementTypeTag<Node>::Write(ioText);
    AppendLiteral(ioText, "</array.type>\n");
    for (const Node* item : mItems) item->WriteXML(ioText);
    AppendLiteral(ioText, "</array>\n");
}

template void SimpleTypeArrayNode<unsigned short>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<std::uint32_t>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<std::int32_t>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<std::int64_t>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<std::uint64_t>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<float>::WriteXML(UTF8String&) const;
template void SimpleTypeArrayNode<double>::WriteXML(UTF8String&) const;
template void PropListArrayNode<UnicodeStringPropNode*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<StringPropNode*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<BoolPropNode*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<unsigned short>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<std::uint32_t>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<std::int32_t>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<std::int64_t>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<std::uint64_t>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<float>*>::WriteXML(UTF8String&) const;
template void PropListArrayNode<SimpleTypeArrayNode<double>*>::WriteXML(UTF8String&) const;

void PropList::OutputAsXMLFragment(UTF8String& ioText) const {
    AppendLiteral(ioText, "<prop.list>\n");
    for (const auto& [key, node] : mProperties) {
        AppendLiteral(ioText, "<prop.pair>\n<key>");
        xml::utils::EncodeTextContent(key, ioText);
        AppendLiteral(ioText, "</key>\n");
        node->WriteXML(ioText);
        AppendLiteral(ioText, "</prop.pair>\n");
    }
    AppendLiteral(ioText, "</prop.list>\n");
}

namespace utils {

void WritePropList(UTF8String& ioText, const PropList& inList) {
    UTF8String text;
    AppendLiteral(text, "<?xml version='1.0'?>\n<prop.map version='");
    AppendNumber(inList.GetVersion(), text);
    AppendLiteral(text, "'>\n");
    inList.OutputAsXMLFragment(text);
    AppendLiteral(text, "</prop.map>\n");
    ioText.swap(text);
}

}  // namespace utils

}  // namespace proplist
}  // namespace tarncore
