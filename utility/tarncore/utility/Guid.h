// Guid, a 128-bit unique identifier with its text form.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/platform/Types.h>
#include <tarncore/utility/StringTypes.h>

#include <cstdint>
#include <iosfwd>
#include <string>

namespace tarncore {
namespace utility {

/// A 128-bit unique identifier with the layout of the platform GUID structure. Its text
/// form is 36 hexadecimal digits in groups 8-4-4-4-12, written in lower case without
/// braces ("6b29fc40-ca47-1067-b31d-00dd010662da") and read in either case.
///
/// Failures are reported with config::ThrowError (component 105): code 27 when no new
/// value can be made, code 28 for text that is not in the text form. A value that
/// could not be made or parsed is the nil GUID.
class TARNCORE_API Guid {
public:
    Guid();  ///< the nil GUID, all bytes zero
    Guid(const platform::GUID& inGuid);
    Guid(std::uint32_t inData1, std::uint16_t inData2, std::uint16_t inData3, std::uint8_t inData4_0,
         std::uint8_t inData4_1, std::uint8_t inData4_2, std::uint8_t inData4_3, std::uint8_t inData4_4,
         std::uint8_t inData4_5, std::uint8_t inData4_6, std::uint8_t inData4_7);
    explicit Guid(const char* inText);  ///< a null pointer gives the nil GUID
    explicit Guid(const std::string& inText);
    explicit Guid(const UTF16String& inText);

    UTF16String AsString() const;
    const platform::GUID& GetGUID() const { return mGuid; }

    /// A random (version 4) GUID.
    static Guid CreateUnique();

private:
    void Parse(const char* inText, std::size_t inLength);

    platform::GUID mGuid;
};

TARNCORE_API bool operator==(const Guid& inA, const Guid& inB);
TARNCORE_API bool operator!=(const Guid& inA, const Guid& inB);
/// Data1, Data2 and Data3 as unsigned numbers, then Data4[0..3] and Data4[4..7] each as
/// a signed little-endian 32-bit number. This is not the order of the text forms.
/// @{
TARNCORE_API bool operator<(const Guid& inA, const Guid& inB);
TARNCORE_API bool operator>(const Guid& inA, const Guid& inB);
/// @}

/// The text form. Reading takes one white-space delimited word and parses it; when
/// there is no word the stream fails and the GUID is left alone.
/// @{
TARNCORE_API std::ostream& operator<<(std::ostream& ioStream, const Guid& inGuid);
TARNCORE_API std::basic_ostream<UTF16Char>& operator<<(std::basic_ostream<UTF16Char>& ioStream,
                                                       const Guid& inGuid);
TARNCORE_API std::istream& operator>>(std::istream& ioStream, Guid& outGuid);
TARNCORE_API std::basic_istream<UTF16Char>& operator>>(std::basic_istream<UTF16Char>& ioStream,
                                                       Guid& outGuid);
/// @}

}  // namespace utility
}  // namespace tarncore
