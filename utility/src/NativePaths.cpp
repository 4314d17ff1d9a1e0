// Conversion between UTF-16 paths and native (UTF-8) paths.
#include <tarncore/utility/NativePaths.h>

#include <tarncore/utility/PathRules.h>
#include <tarncore/utility/UnicodeStrings.h>

namespace tarncore {
namespace utility {

bool ToNativePath(const UTF16String& inPath, std::string& outNative) {
    if (inPath.find(UTF16Char(0)) != UTF16String::npos) return false;
    const UTF8String bytes = UTF16to8(PathRules::Native().LongPathForm(inPath));
    outNative.assign(bytes.begin(), bytes.end());
    return true;
}

bool FromNativePath(const std::string& inNative, UTF16String& outPath) {
    const UTF8String bytes(inNative.begin(), inNative.end());
    UTF16String path = UTF8to16(bytes);
    // The decoder stops at the first malformed sequence; only a full round trip
    // proves that the name was decoded whole.
    if (UTF16to8(path) != bytes) return false;
    outPath.swap(path);
    return true;
}

}  // namespace utility
}  // namespace tarncore
