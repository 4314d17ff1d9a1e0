#pragma once

#include <tarncore/utility/UnicodeStrings.h>

#include <tarncore_testing/TestEnvironment.h>

#include <fstream>
#include <sstream>
#include <string>

namespace filetest {

using tarncore::utility::UTF16String;

inline UTF16String U(const std::string& inText) {
    return tarncore::utility::UTF8to16(tarncore::utility::UTF8String(inText.begin(), inText.end()));
}

inline std::string ReadAll(const std::string& inPath) {
    std::ostringstream text;
    text << std::ifstream(inPath, std::ios::binary).rdbuf();
    return text.str();
}

inline void WriteAll(const std::string& inPath, const std::string& inBytes) {
    std::ofstream(inPath, std::ios::binary) << inBytes;
}

inline std::string TempFolder() { return tarncore::testing::MakeTempFolder("fs"); }

}  // namespace filetest
