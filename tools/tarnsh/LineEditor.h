// The interactive prompt: line editing with libedit, command-name completion, and history kept between runs.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tarnsh {

// Reads lines at a prompt with libedit's line editing. Tab completes the command word
// from the console's registry (other words complete as file names); the up and down
// arrows walk the history. The history is "Command History.txt" in the preferences
// folder (filesupport::Dir::PrefDir()): read when the editor is made, and when it goes,
// the lines of this session are added to what the file holds then (another session may
// have added its own meanwhile), the newest kHistoryLimit kept, and the file replaced in
// one step. Only one editor exists at a time.
class LineEditor {
public:
    static constexpr std::size_t kHistoryLimit = 1000;

    explicit LineEditor(std::ostream& ioErrors);
    ~LineEditor();
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // False at the end of input.
    bool ReadLine(const char* inPrompt, std::string& outLine);
    // Adds a line to the history, unless it is blank or the same as the one before.
    void Remember(const std::string& inLine);

private:
    void Save();

    std::ostream& mErrors;
    std::string mHistoryPath;  // empty when the preferences folder is out of reach
    bool mHistoryReadable = false;
    std::vector<std::string> mSession;
    std::string mLast;
};

}  // namespace tarnsh
