// Message keys to display text: default texts, localizing, placeholders and values.
#include <tarncore/config/Messages.h>

#include <tarncore/config/Localizer.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <charconv>
#include <cstring>

namespace tarncore {
namespace config {

using utility::UTF16String;

UTF16String GetDefaultText(const char* inKey) {
    if (inKey == nullptr) return UTF16String();
    const char* equals = std::strchr(inKey, '=');
    if (equals == nullptr) return UTF16String();
    return utility::AsciiToUTF16(equals + 1);
}

UTF16String LocalizeKey(const char* inKey) {
    if (Localizer::Initialized()) return Localizer::Get()->LocalizeString(inKey);
    return GetDefaultText(inKey);
}

UTF16String RenderMessage(const char* inKey, std::initializer_list<UTF16String> inArguments) {
    UTF16String values[10];
    std::size_t index = 0;
    for (const UTF16String& argument : inArguments) {
        if (index == 10) break;
        values[index++] = argument;
    }
    return utility::ReplaceInString(LocalizeKey(inKey), values[0], values[1], values[2], values[3], values[4],
                                    values[5], values[6], values[7], values[8], values[9]);
}

UTF16String FormatReplacementValue(const ReplacementValue& inValue) {
    char buffer[64];
    std::to_chars_result written{buffer, std::errc()};
    switch (inValue.GetKind()) {
    case ReplacementValue::kValueNone: return UTF16String();
    case ReplacementValue::kValueString: return inValue.GetString();
    case ReplacementValue::kValueSigned:
        written = std::to_chars(buffer, buffer + sizeof buffer, inValue.GetSigned());
        break;
    case ReplacementValue::kValueUnsigned:
        written = std::to_chars(buffer, buffer + sizeof buffer, inValue.GetUnsigned());
        break;
    case ReplacementValue::kValueDouble:
        written = std::to_chars(buffer, buffer + sizeof buffer, inValue.GetDouble());
        break;
    }
    return UTF16String(buffer, written.ptr);
}

UTF16String SubstituteReplacementValues(const UTF16String& inText, const ReplacementValue& inValue1,
                                        const ReplacementValue& inValue2, const ReplacementValue& inValue3,
                                        const ReplacementValue& inValue4) {
    const ReplacementValue* const values[4] = {&inValue1, &inValue2, &inValue3, &inValue4};
    UTF16String result;
    result.reserve(inText.size());
    for (std::size_t i = 0; i < inText.size(); ++i) {
        const utility::UTF16Char unit = inText[i];
        if (unit == '^' && i + 1 < inText.size() && inText[i + 1] >= '1' && inText[i + 1] <= '4') {
            result += FormatReplacementValue(*values[inText[++i] - '1']);
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

}  // namespace config
}  // namespace tarncore
