// Escaping and unescaping the XML reserved characters, and the check for characters XML cannot carry.
#include <tarncore/xml/XMLUtils.h>

#include <tarncore/utility/UnicodeStrings.h>

#include <cstdint>
#include <cstring>
#include <utility>

namespace tarncore {
namespace xml {
namespace utils {

using utility::MakeUTF16;
using utility::UTF16String;
using utility::UTF8Char;
using utility::UTF8String;

namespace {

// The replacement of each byte that has one; entries 9 and 13 only in text content.
struct Escapes {
    const char* text[256] = {};
    explicit Escapes(bool inContent) {
        text[static_cast<unsigned char>('"')] = "&quot;";
        text[static_cast<unsigned char>('&')] = "&amp;";
        text[static_cast<unsigned char>('\'')] = "&apos;";
        text[static_cast<unsigned char>('<')] = "&lt;";
        text[static_cast<unsigned char>('>')] = "&gt;";
        if (inContent) {
            text[9] = "&#9;";
            text[13] = "&#13;";
        }
    }
};

// Appends the text with the table's replacements, copying the runs between them whole.
void Encode(const UTF8String& inText, const Escapes& inEscapes, UTF8String& ioText) {
    const UTF8Char* run = inText.data();
    const UTF8Char* const end = run + inText.size();
    for (const UTF8Char* p = run; p != end; ++p) {
        const char* replacement = inEscapes.text[*p];
        if (replacement == nullptr) continue;
        ioText.append(run, p);
        ioText.append(reinterpret_cast<const UTF8Char*>(replacement), std::strlen(replacement));
        run = p + 1;
    }
    ioText.append(run, end);
}

const Escapes& Reserved() {
    static const Escapes escapes(false);
    return escapes;
}

const Escapes& Content() {
    static const Escapes escapes(true);
    return escapes;
}

bool IsContinuation(UTF8Char inByte) { return (inByte & 0xC0) == 0x80; }

}  // namespace

void EncodeReservedCharacters(const UTF8String& inText, UTF8String& ioText) {
    Encode(inText, Reserved(), ioText);
}

void EncodeReservedCharacters(const UTF16String& inText, UTF16String& outText) {
    UTF8String encoded;
    EncodeReservedCharacters(utility::UTF16to8(inText), encoded);
    outText = utility::UTF8to16(encoded);
}

void EncodeTextContent(const UTF8String& inText, UTF8String& ioText) { Encode(inText, Content(), ioText); }

bool IsXMLText(const UTF8String& inText) {
    const UTF8Char* p = inText.data();
    const UTF8Char* const end = p + inText.size();
    while (p != end) {
        const UTF8Char b0 = *p;
        if (b0 < 0x80) {
            if (b0 < 0x20 && b0 != '\t' && b0 != '\n' && b0 != '\r') return false;
            ++p;
            continue;
        }
        const std::size_t left = static_cast<std::size_t>(end - p);
        if (b0 >= 0xC2 && b0 < 0xE0) {
            if (left < 2 || !IsContinuation(p[1])) return false;
            p += 2;
        } else if (b0 >= 0xE0 && b0 < 0xF0) {
            if (left < 3 || !IsContinuation(p[1]) || !IsContinuation(p[2])) return false;
            const std::uint32_t cp = ((b0 & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) || cp >= 0xFFFE) return false;
            p += 3;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            if (left < 4 || !IsContinuation(p[1]) || !IsContinuation(p[2]) || !IsContinuation(p[3]))
                return false;
            if ((b0 == 0xF0 && p[1] < 0x90) || (b0 == 0xF4 && p[1] > 0x8F)) return false;
            p += 4;
        } else {
            return false;
        }
    }
    return true;
}

void DecodeReservedCharacters(const UTF16String& inText, UTF16String& outText) {
    static const std::pair<UTF16String, UTF16String> kReferences[] = {
        {MakeUTF16(u"&lt;"), MakeUTF16(u"<")},    {MakeUTF16(u"&gt;"), MakeUTF16(u">")},
        {MakeUTF16(u"&amp;"), MakeUTF16(u"&")},   {MakeUTF16(u"&apos;"), MakeUTF16(u"'")},
        {MakeUTF16(u"&quot;"), MakeUTF16(u"\"")},
    };
    UTF16String text = inText;
    for (const auto& [reference, character] : kReferences)
        utility::ReplaceAllStringInString(text, reference, character);
    outText = std::move(text);
}

void DecodeReservedCharacters(const UTF8String& inText, UTF8String& outText) {
    UTF16String decoded;
    DecodeReservedCharacters(utility::UTF8to16(inText), decoded);
    outText = utility::UTF16to8(decoded);
}

}  // namespace utils
}  // namespace xml
}  // namespace tarncore
