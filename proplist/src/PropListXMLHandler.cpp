// The reader of "prop.map" documents.
#include "proplist/src/PropListXMLHandler.h"

#include <tarncore/proplist/PropNodes.h>

#include <tarncore/config/Errors.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "proplist/src/Numbers.h"
#include "proplist/src/PropListWalker.h"

#include <algorithm>
#include <list>
#include <memory>

namespace tarncore {
namespace proplist {

using utility::MakeUTF16;
using utility::UTF16String;
using utility::UTF8String;

namespace {

const char kVersionGreaterThan[] =
    "$$$/tarn/proplist/Error/PropListXMLHandler/VersionGreaterThan=Cannot read PropList data; version "
    "greater than expected.";

// Element names are ASCII literals here, so comparing the UTF-16 units compares the
// UTF-8 bytes.
template <std::size_t N>
bool Is(const UTF16String& inName, const char (&inLiteral)[N]) {
    return inName.size() == N - 1 && std::equal(inName.begin(), inName.end(), inLiteral);
}

// The attribute's value, or null when it is absent.
const UTF16String* Attribute(const xml::AttributeMap& inAttributes, const UTF16String& inName) {
    const auto found = inAttributes.find(inName);
    return found == inAttributes.end() ? nullptr : &found->second;
}

// A code-unit comparison with an ASCII word orders as the UTF-8 bytes would.
bool ComesAfterSigned(const UTF16String& inType) {
    static const UTF16String kSigned = MakeUTF16(u"signed");
    return kSigned < inType;
}

}  // namespace

PropListXMLHandler::PropListXMLHandler(PropList& ioTarget) : mTarget(ioTarget) {}

PropListXMLHandler::~PropListXMLHandler() = default;

PropListXMLHandler::ValueKind PropListXMLHandler::Classify(const UTF16String& inName,
                                                           const xml::AttributeMap& inAttributes) {
    if (Is(inName, "ustring")) return kUnicodeStringValue;
    if (Is(inName, "string")) return kStringValue;
    if (Is(inName, "float")) return kFloatValue;
    if (Is(inName, "double")) return kDoubleValue;
    if (Is(inName, "true") || Is(inName, "bool")) return kTrueValue;
    if (Is(inName, "false")) return kFalseValue;
    // An integer is known by its attributes, whatever the element's name.
    static const UTF16String kType = MakeUTF16(u"type");
    static const UTF16String kSize = MakeUTF16(u"size");
    const UTF16String* type = Attribute(inAttributes, kType);
    const UTF16String* size = Attribute(inAttributes, kSize);
    if (type == nullptr || size == nullptr || type->empty() || size->empty()) return kNoValue;
    if (Is(*size, "16")) return kUInt16Value;
    if (Is(*size, "32")) return ComesAfterSigned(*type) ? kUInt32Value : kInt32Value;
    if (Is(*size, "64")) return ComesAfterSigned(*type) ? kUInt64Value : kInt64Value;
    // Another size is no integer this library writes: the element is skipped like any
    // unknown one, rather than read as whatever type the element before it had.
    return kNoValue;
}

void PropListXMLHandler::ReadVersion(const xml::AttributeMap& inAttributes) {
    static const UTF16String kVersion = MakeUTF16(u"version");
    const UTF16String* text = Attribute(inAttributes, kVersion);
    if (text == nullptr) return;
    const unsigned short version = ReadNumber<unsigned short>(*text);
    if (version > PropList::GetCurrentVersion())
        config::ThrowError(config::kErrorLevelNonFatal, kVersionGreaterThan, 104, 20, true);
    PropListWalker::SetVersion(mTarget, version);
}

void PropListXMLHandler::StartList() {
    if (mStack.empty()) {
        mCurrent = &mTarget;
    } else {
        // Every level is a frame of the writer and of the destructor: a document nesting
        // deeper than the library would write is refused before it costs that stack.
        if (mStack.size() >= static_cast<std::size_t>(PropList::kMaxNesting)) throw NestingTooDeep();
        mCurrent = mCurrent->NewSubList(utility::UTF16to8(mKeyText));
        mKeyText.clear();
        mTextMode = kIgnoreText;
    }
    mStack.push_back(mCurrent);
}

void PropListXMLHandler::StartElement(const UTF16String& inName, const xml::AttributeMap& inAttributes) {
    if (Is(inName, "prop.map")) {
        ReadVersion(inAttributes);
    } else if (Is(inName, "prop.list")) {
        StartList();
    } else if (Is(inName, "key")) {
        // A key starts afresh even when the pair before it stored nothing (an unknown
        // value element leaves its key behind).
        mKeyText.clear();
        mTextMode = kKeyText;
    } else if (Is(inName, "array")) {
        mInArray = true;
    } else if (Is(inName, "array.type")) {
        mInArrayType = true;
    } else {
        const ValueKind kind = Classify(inName, inAttributes);
        if (mInArrayType) {
            mDeclaredKind = kind;
            mDeclaredRecognised = kind != kNoValue;
        } else if (kind != kNoValue) {
            mValueKind = kind;
            mTextMode = kValueText;
        }
    }
}

void PropListXMLHandler::Characters(const UTF16String& inText) {
    if (mTextMode == kKeyText)
        mKeyText += inText;
    else if (mTextMode == kValueText)
        mValueText += inText;
}

void PropListXMLHandler::EndElement(const UTF16String& inName) {
    if (Is(inName, "prop.list")) {
        if (!mStack.empty()) mStack.pop_back();
        mCurrent = mStack.empty() ? nullptr : mStack.back();
    } else if (Is(inName, "key")) {
        mTextMode = kIgnoreText;
    } else if (Is(inName, "array")) {
        StoreArray();
        mInArray = false;
        mDeclaredKind = kNoValue;
        mDeclaredRecognised = false;
        mTextMode = kIgnoreText;
    } else if (Is(inName, "array.type")) {
        mInArrayType = false;
    } else if (mTextMode == kValueText) {
        if (!mInArray) {
            CommitPair();
        } else {
            if (mValueKind == kTrueValue)
                mArrayTexts.push_back(MakeUTF16(u"true"));
            else if (mValueKind == kFalseValue)
                mArrayTexts.push_back(MakeUTF16(u"false"));
            else
                mArrayTexts.push_back(mValueText);
            // Text inside a boolean element too: it must not open the next element's.
            mValueText.clear();
        }
        mTextMode = kIgnoreText;
    }
}

void PropListXMLHandler::CommitPair() {
    // Outside every "prop.list" there is no list to hold the pair.
    if (mCurrent != nullptr) {
        const PropList::Key key = utility::UTF16to8(mKeyText);
        PropList& list = *mCurrent;
        switch (mValueKind) {
        case kUnicodeStringValue: list.SetValue(key, mValueText); break;
        case kStringValue: list.SetValue(key, utility::UTF16to8(mValueText)); break;
        case kTrueValue: list.SetValue(key, true); break;
        case kFalseValue: list.SetValue(key, false); break;
        case kUInt16Value: list.SetValue(key, ReadNumber<unsigned short>(mValueText)); break;
        case kUInt32Value: list.SetValue(key, ReadNumber<std::uint32_t>(mValueText)); break;
        case kInt32Value: list.SetValue(key, ReadNumber<std::int32_t>(mValueText)); break;
        case kUInt64Value: list.SetValue(key, ReadNumber<std::uint64_t>(mValueText)); break;
        case kInt64Value: list.SetValue(key, ReadNumber<std::int64_t>(mValueText)); break;
        case kFloatValue: list.SetValue(key, ReadNumber<float>(mValueText)); break;
        case kDoubleValue: list.SetValue(key, ReadNumber<double>(mValueText)); break;
        case kNoValue: break;
        }
    }
    mKeyText.clear();
    mValueText.clear();
}

// The collected texts as a list node of NodeT, built in place.
template <class NodeT, class Convert>
PropNodeBase* ListNode(const std::vector<UTF16String>& inTexts, Convert inConvert) {
    std::unique_ptr<PropListArrayNode<NodeT*>> node(new PropListArrayNode<NodeT*>);
    for (const UTF16String& text : inTexts) node->Append(new NodeT(inConvert(text)));
    return node.release();
}

template <class T>
PropNodeBase* NumberListNode(const std::vector<UTF16String>& inTexts) {
    return ListNode<SimpleTypeArrayNode<T>>(inTexts, ReadNumber<T>);
}

void PropListXMLHandler::StoreArray() {
    // The elements' own type decides; the declared one only when there are none.
    const ValueKind kind =
        mArrayTexts.empty() ? (mDeclaredRecognised ? mDeclaredKind : kNoValue) : mValueKind;
    PropNodeBase* node = nullptr;
    switch (kind) {
    case kUnicodeStringValue:
        node = ListNode<UnicodeStringPropNode>(mArrayTexts, [](const UTF16String& text) { return text; });
        break;
    case kStringValue:
        node = ListNode<StringPropNode>(mArrayTexts,
                                        [](const UTF16String& text) { return utility::UTF16to8(text); });
        break;
    case kTrueValue:
    case kFalseValue: {
        static const UTF16String kTrue = MakeUTF16(u"true");
        node = ListNode<BoolPropNode>(mArrayTexts, [](const UTF16String& text) { return text == kTrue; });
        break;
    }
    case kUInt16Value: node = NumberListNode<unsigned short>(mArrayTexts); break;
    case kUInt32Value: node = NumberListNode<std::uint32_t>(mArrayTexts); break;
    case kInt32Value: node = NumberListNode<std::int32_t>(mArrayTexts); break;
    case kUInt64Value: node = NumberListNode<std::uint64_t>(mArrayTexts); break;
    case kInt64Value: node = NumberListNode<std::int64_t>(mArrayTexts); break;
    case kFloatValue: node = NumberListNode<float>(mArrayTexts); break;
    case kDoubleValue: node = NumberListNode<double>(mArrayTexts); break;
    case kNoValue: break;
    }
    std::unique_ptr<PropNodeBase> owned(node);
    // Outside every "prop.list" there is no list to hold the array.
    if (owned && mCurrent != nullptr)
        PropListWalker::Store(*mCurrent, utility::UTF16to8(mKeyText), owned.release());
    mArrayTexts.clear();
    mKeyText.clear();
    mValueText.clear();
}

}  // namespace proplist
}  // namespace tarncore
