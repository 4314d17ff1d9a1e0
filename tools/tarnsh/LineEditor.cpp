// The interactive prompt over libedit: completion of command names from the registry, and the history file.
#include "LineEditor.h"

#include "HostServices.h"

#include <tarncore/console/Command.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <ostream>

#include <editline/readline.h>

namespace tarnsh {

namespace fsup = tarncore::filesupport;
using tarncore::utility::UTF16String;

namespace {

constexpr std::uint64_t kLargestHistoryFile = 64 << 20;

// The lines of the history file; false when it exists but cannot be read whole.
bool ReadHistory(const std::string& inPath, std::vector<std::string>& outLines) {
    outLines.clear();
    const fsup::File file(PathArgument(inPath));
    if (!file.Exists()) return true;
    try {
        fsup::IPlatformByteStream in(file);
        const std::uint64_t length = in.Length();
        if (length > kLargestHistoryFile) return false;
        std::string bytes(static_cast<std::size_t>(length), '\0');
        if (length > 0)
            in.ReadBlock(reinterpret_cast<unsigned char*>(&bytes[0]), static_cast<std::uint32_t>(length));
        std::size_t start = 0;
        while (start < bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos) end = bytes.size();
            std::string line = bytes.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty()) outLines.push_back(line);
            start = end + 1;
        }
        return true;
    } catch (...) {
        return false;
    }
}

// The registry's names that start with the typed text, compared as the registry
// compares names.
std::vector<std::string> sMatches;
std::size_t sNextMatch = 0;

bool StartsWith(const UTF16String& inName, const UTF16String& inStart) {
    if (inStart.size() > inName.size()) return false;
    for (std::size_t i = 0; i < inStart.size(); ++i)
        if (tarncore::console::FoldCommandNameUnit(inName[i]) !=
            tarncore::console::FoldCommandNameUnit(inStart[i]))
            return false;
    return true;
}

char* NextCommandName(const char* inText, int inState) {
    if (inState == 0) {
        sMatches.clear();
        sNextMatch = 0;
        std::list<UTF16String> names;
        tarncore::console::CommandRegistry::GetCommandNames(names);
        const UTF16String start = ToWide(inText);
        for (const UTF16String& name : names)
            if (StartsWith(name, start)) sMatches.push_back(ToNarrow(name));
    }
    return sNextMatch < sMatches.size() ? strdup(sMatches[sNextMatch++].c_str()) : nullptr;
}

char** Complete(const char* inText, int inStart, int) {
    // The command word is the first word of the line; later words are file names.
    for (int i = 0; i < inStart; ++i)
        if (rl_line_buffer[i] != ' ' && rl_line_buffer[i] != '\t') return nullptr;
    rl_attempted_completion_over = 1;
    return rl_completion_matches(inText, &NextCommandName);
}

}  // namespace

LineEditor::LineEditor(std::ostream& ioErrors) : mErrors(ioErrors) {
    // libedit reads and shows the user's characters in the user's encoding.
    std::setlocale(LC_CTYPE, "");
    rl_readline_name = "tarnsh";
    rl_attempted_completion_function = &Complete;
    using_history();

    try {
        mHistoryPath = fsup::File(fsup::Dir::PrefDir(), ToWide("Command History.txt")).FullPathMultiByte();
    } catch (...) {
        mErrors << "no history: " << DescribeException(std::current_exception()) << "\n";
        return;
    }
    std::vector<std::string> lines;
    mHistoryReadable = ReadHistory(mHistoryPath, lines);
    if (!mHistoryReadable)
        mErrors << "the history in " << mHistoryPath << " cannot be read; it is left alone\n";
    for (const std::string& line : lines) add_history(line.c_str());
    if (!lines.empty()) mLast = lines.back();
}

LineEditor::~LineEditor() { Save(); }

bool LineEditor::ReadLine(const char* inPrompt, std::string& outLine) {
    char* line = readline(inPrompt);
    if (line == nullptr) return false;
    outLine = line;
    std::free(line);
    return true;
}

void LineEditor::Remember(const std::string& inLine) {
    if (inLine.find_first_not_of(" \t") == std::string::npos || inLine == mLast) return;
    add_history(inLine.c_str());
    mSession.push_back(inLine);
    mLast = inLine;
}

void LineEditor::Save() {
    if (mHistoryPath.empty() || !mHistoryReadable || mSession.empty()) return;
    // Another session may have written the file since it was read: add to what it
    // holds now.
    std::vector<std::string> lines;
    if (!ReadHistory(mHistoryPath, lines)) {
        mErrors << "the history in " << mHistoryPath
                << " cannot be read; this session's lines are not kept\n";
        return;
    }
    lines.insert(lines.end(), mSession.begin(), mSession.end());
    const std::size_t first = lines.size() > kHistoryLimit ? lines.size() - kHistoryLimit : 0;
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) text += lines[i] + "\n";
    try {
        // Replaced in one step: a crash leaves the old history or the new.
        fsup::ReplaceFileContents(fsup::File(PathArgument(mHistoryPath)), text.data(), text.size());
    } catch (...) {
        mErrors << "the history was not saved: " << DescribeException(std::current_exception()) << "\n";
    }
}

}  // namespace tarnsh
