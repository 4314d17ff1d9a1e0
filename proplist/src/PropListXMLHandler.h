// The reader of "prop.map" documents: parse events to property-list entries.
#pragma once

#include <tarncore/proplist/PropList.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/xml/XMLParser.h>

#include <vector>

namespace tarncore {
namespace proplist {

// Sets what it reads into the target with SetValue, replacing entries of the same key
// and leaving the others. Values outside any "prop.list" are ignored.
class PropListXMLHandler : public xml::AbstractParseHandler {
public:
    // Thrown from StartElement when the document nests lists more than
    // PropList::kMaxNesting deep: the parse stops, and the load reports it as a
    // document it cannot read.
    struct NestingTooDeep {};

    explicit PropListXMLHandler(PropList& ioTarget);
    ~PropListXMLHandler() override;

    void StartElement(const utility::UTF16String& inName, const xml::AttributeMap& inAttributes) override;
    void EndElement(const utility::UTF16String& inName) override;
    void Characters(const utility::UTF16String& inText) override;

private:
    enum TextMode { kIgnoreText = 0, kKeyText = 1, kValueText = 2 };
    // What a value element holds, by its name and attributes.
    enum ValueKind {
        kNoValue = 0,
        kUnicodeStringValue = 1,
        kStringValue = 2,
        kTrueValue = 3,
        kFalseValue = 4,
        kUInt16Value = 5,
        kUInt32Value = 6,
        kInt32Value = 7,
        kFloatValue = 8,
        kDoubleValue = 9,
        kUInt64Value = 10,
        kInt64Value = 11
    };

    static ValueKind Classify(const utility::UTF16String& inName, const xml::AttributeMap& inAttributes);
    void ReadVersion(const xml::AttributeMap& inAttributes);
    void StartList();
    void CommitPair();
    void StoreArray();

    PropList& mTarget;
    utility::UTF16String mKeyText;
    utility::UTF16String mValueText;
    std::vector<PropList*> mStack;
    PropList* mCurrent = nullptr;
    TextMode mTextMode = kIgnoreText;
    ValueKind mValueKind = kNoValue;
    bool mInArray = false;
    std::vector<utility::UTF16String> mArrayTexts;
    bool mInArrayType = false;
    ValueKind mDeclaredKind = kNoValue;
    bool mDeclaredRecognised = false;
};

}  // namespace proplist
}  // namespace tarncore
