// Shell, the command lines tarnsh runs, and the command sets that subsystems add.
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

    // Adds or replaces a command. A handler reports failure by throwing.
    void Add(const std::string& inName, const std::string& inUsage, const std::string& inHelp,
             Handler inHandler);

private:
    struct Command {
        std::string usage;
        std::string help;
        Handler handler;
    };

    std::map<std::string, Command> mCommands;
    bool mQuit = false;
};

// Each subsystem's commands live in their own file, which registers them with a
// static CommandSet: static CommandSet sFiles([](Shell& shell) { shell.Add(...); });
class CommandSet {
public:
    using Installer = void (*)(Shell&);
    explicit CommandSet(Installer inInstaller);
    static void InstallAll(Shell& ioShell);
};

// Splits a command line into words; double quotes group words, backslash escapes.
std::vector<std::string> SplitCommandLine(const std::string& inLine);

}  // namespace tarnsh
