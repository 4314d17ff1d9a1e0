// Paths, file contents and temporary folders for the file support tests.
#pragma once

#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace filetest {

using tarncore::utility::UTF16String;

// A path, name or text from its native bytes; every text of the tests is well-formed.
inline UTF16String U(const std::string& inNative) {
    UTF16String path;
    if (!tarncore::utility::FromNativePath(inNative, path)) ADD_FAILURE() << "not UTF-8: " << inNative;
    return path;
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
