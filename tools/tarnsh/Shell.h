#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace tarnsh {

// The command lines tarnsh understands. Each subsystem that lands adds its commands.
class Shell {
public:
    using Arguments = std::vector<std::string>;
    using Handler = std::function<void(const Arguments&, std::ostream&)>;

    Shell();

    // Runs one command line; returns false when it failed (the reason is written to err).
    bool Execute(const std::string& inLine, std::ostream& out, std::ostream& err);
    // Reads command lines from a prompt with line editing and history until "quit".
    int RunInteractive();
    // Runs every line of a script; stops at the first failing line.
    int RunScript(std::istream& inScript, std::ostream& out, std::ostream& err);

    bool QuitRequested() const { return mQuit; }

private:
    struct Command {
        std::string usage;
        std::string help;
        Handler handler;
    };
    void Add(const std::string& inName, const std::string& inUsage, const std::string& inHelp,
             Handler inHandler);

    std::map<std::string, Command> mCommands;
    bool mQuit = false;
};

// Splits a command line into words; double quotes group words, backslash escapes.
std::vector<std::string> SplitCommandLine(const std::string& inLine);

}  // namespace tarnsh
