// Guid: making random GUIDs, their text form, comparison and stream operators.
#include <tarncore/utility/Guid.h>

#include <tarncore/config/Errors.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "platform/os/Random.h"

#include <cstring>
#include <istream>
#include <ostream>

namespace tarncore {
namespace utility {

namespace {

constexpr std::uint32_t kUtilityComponent = 105;
constexpr const char* kCouldntCreateKey = "$$$/tarn/utility/Error/CouldntCreateGUID=Couldn't create Guid.";
constexpr const char* kMalformedKey = "$$$/tarn/utility/Error/MalformedGUID=Malformed Guid string.";

constexpr std::size_t kTextLength = 36;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsHyphenPosition(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

std::int32_t LittleEndianSigned(const std::uint8_t* inBytes) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(inBytes[0]) | static_cast<std::uint32_t>(inBytes[1]) << 8 |
        static_cast<std::uint32_t>(inBytes[2]) << 16 | static_cast<std::uint32_t>(inBytes[3]) << 24;
    return static_cast<std::int32_t>(value);
}

}  // namespace

Guid::Guid() : mGuid() {}

Guid::Guid(const platform::GUID& inGuid) : mGuid(inGuid) {}

Guid::Guid(std::uint32_t inData1, std::uint16_t inData2, std::uint16_t inData3, std::uint8_t inData4_0,
           std::uint8_t inData4_1, std::uint8_t inData4_2, std::uint8_t inData4_3, std::uint8_t inData4_4,
           std::uint8_t inData4_5, std::uint8_t inData4_6, std::uint8_t inData4_7)
    : mGuid{inData1,
            inData2,
            inData3,
            {inData4_0, inData4_1, inData4_2, inData4_3, inData4_4, inData4_5, inData4_6, inData4_7}} {}

Guid::Guid(const char* inText) : mGuid() {
    if (inText != nullptr) Parse(inText, std::strlen(inText));
}

Guid::Guid(const std::string& inText) : mGuid() { Parse(inText.data(), inText.size()); }

Guid::Guid(const UTF16String& inText) : mGuid() {
    const UTF8String bytes = UTF16to8(inText);
    Parse(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void Guid::Parse(const char* inText, std::size_t inLength) {
    mGuid = platform::GUID();
    std::uint8_t digits[32];
    std::size_t count = 0;
    bool wellFormed = inLength == kTextLength;
    for (std::size_t i = 0; wellFormed && i < kTextLength; ++i) {
        if (IsHyphenPosition(i)) {
            wellFormed = inText[i] == '-';
        } else {
            const int value = HexValue(inText[i]);
            wellFormed = value >= 0;
            digits[count++] = static_cast<std::uint8_t>(value);
        }
    }
    if (!wellFormed) {
        config::ThrowError(config::kErrorLevelNonFatal, kMalformedKey, kUtilityComponent, 28, true);
        return;
    }
    auto take = [&digits](std::size_t inFirst, std::size_t inCount) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < inCount; ++i) value = value << 4 | digits[inFirst + i];
        return value;
    };
    platform::GUID parsed;
    parsed.Data1 = take(0, 8);
    parsed.Data2 = static_cast<std::uint16_t>(take(8, 4));
    parsed.Data3 = static_cast<std::uint16_t>(take(12, 4));
    for (std::size_t i = 0; i < 8; ++i) parsed.Data4[i] = static_cast<std::uint8_t>(take(16 + 2 * i, 2));
    mGuid = parsed;
}

UTF16String Guid::AsString() const {
    static const char kDigits[] = "0123456789abcdef";
    UTF16String text;
    text.reserve(kTextLength);
    auto put = [&text](std::uint32_t inValue, int inDigits) {
        for (int shift = (inDigits - 1) * 4; shift >= 0; shift -= 4)
            text.push_back(static_cast<UTF16Char>(kDigits[(inValue >> shift) & 0xF]));
    };
    put(mGuid.Data1, 8);
    text.push_back('-');
    put(mGuid.Data2, 4);
    text.push_back('-');
    put(mGuid.Data3, 4);
    text.push_back('-');
    for (int i = 0; i < 8; ++i) {
        if (i == 2) text.push_back('-');
        put(mGuid.Data4[i], 2);
    }
    return text;
}

Guid Guid::CreateUnique() {
    std::uint8_t bytes[16];
    if (!platform::os::FillRandomBytes(bytes, sizeof bytes)) {
        config::ThrowError(config::kErrorLevelNonFatal, kCouldntCreateKey, kUtilityComponent, 27, true);
        return Guid();
    }
    platform::GUID made;
    std::memcpy(&made.Data1, bytes, 4);
    std::memcpy(&made.Data2, bytes + 4, 2);
    std::memcpy(&made.Data3, bytes + 6, 2);
    std::memcpy(made.Data4, bytes + 8, 8);
    made.Data3 = static_cast<std::uint16_t>((made.Data3 & 0x0FFF) | 0x4000);   // version 4
    made.Data4[0] = static_cast<std::uint8_t>((made.Data4[0] & 0x3F) | 0x80);  // RFC 4122 variant
    return Guid(made);
}

bool operator==(const Guid& inA, const Guid& inB) {
    return std::memcmp(&inA.GetGUID(), &inB.GetGUID(), sizeof(platform::GUID)) == 0;
}

bool operator!=(const Guid& inA, const Guid& inB) { return !(inA == inB); }

bool operator<(const Guid& inA, const Guid& inB) {
    const platform::GUID& a = inA.GetGUID();
    const platform::GUID& b = inB.GetGUID();
    if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
    const std::int32_t a0 = LittleEndianSigned(a.Data4), b0 = LittleEndianSigned(b.Data4);
    if (a0 != b0) return a0 < b0;
    return LittleEndianSigned(a.Data4 + 4) < LittleEndianSigned(b.Data4 + 4);
}

bool operator>(const Guid& inA, const Guid& inB) { return inB < inA; }

std::ostream& operator<<(std::ostream& ioStream, const Guid& inGuid) {
    const UTF8String text = UTF16to8(inGuid.AsString());
    return ioStream << reinterpret_cast<const char*>(text.c_str());
}

std::basic_ostream<UTF16Char>& operator<<(std::basic_ostream<UTF16Char>& ioStream, const Guid& inGuid) {
    return ioStream << inGuid.AsString();
}

std::istream& operator>>(std::istream& ioStream, Guid& outGuid) {
    std::string word;
    if (!(ioStream >> word)) return ioStream;
    outGuid = Guid();  // stays nil when the error manager throws
    outGuid = Guid(word);
    return ioStream;
}

std::basic_istream<UTF16Char>& operator>>(std::basic_istream<UTF16Char>& ioStream, Guid& outGuid) {
    UTF16String word;
    if (!(ioStream >> word)) return ioStream;
    outGuid = Guid();
    outGuid = Guid(word);
    return ioStream;
}

}  // namespace utility
}  // namespace tarncore
