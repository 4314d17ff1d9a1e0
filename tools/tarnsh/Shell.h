// Shell: tarnsh's front over the console's command registry, and the command sets that subsystems add.
#pragma once

#include <tarncore/console/Command.h>
#include <tarncore/utility/StringTypes.h>
#include <tarncore/utility/TextStreams.h>

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace tarnsh {

class LineEditor;

// Runs command lines through the console's registry (tarncore/console/Command.h),
// where tarnsh's own commands are registered beside the library's built-ins. Make it
// after HostServices and destroy it before: it unregisters its commands when it goes.
class Shell {
public:
    using Arguments = std::vector<std::string>;
    // A host command: the words of its line (the name first; double quotes group words,
    // a backslash escapes a character), writing UTF-8 text with LF line ends. It
    // reports a failure by throwing.
    using Handler = std::function<void(const Arguments&, std::ostream&)>;

    // Registers tarnsh's commands: help, quit and the others, and every CommandSet's.
    explicit Shell(tarncore::UTF16OutputStream& ioOut, std::ostream& ioErrors);
    // Unregisters them.
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Registers a command with the help text "<usage> - <help>". The name must be new.
    void Add(const std::string& inName, const std::string& inUsage, const std::string& inHelp,
             Handler inHandler);

    // Runs one command line; an empty line or one starting with "#" does nothing. Leading
    // and trailing blanks are ignored. Returns false, with the reason on the error
    // stream, when the line is not UTF-8, names no command, or the command throws.
    bool Execute(const std::string& inLine);
    // Runs every line of a script; stops at the first failing line. 0 or 1.
    int RunScript(std::istream& inScript);
    // Reads command lines at a prompt until "quit" or the end of input. 0.
    int RunInteractive(LineEditor& ioEditor);

    bool QuitRequested() const { return mQuit; }

private:
    class HostCommand;
    static tarncore::console::Command* MakeCommand(const tarncore::utility::UTF16String& inName,
                                                   const tarncore::utility::UTF16String& inHelp);

    tarncore::UTF16OutputStream& mOut;
    std::ostream& mErrors;
    std::map<tarncore::utility::UTF16String, Handler> mHandlers;  // by registered name
    std::vector<tarncore::utility::UTF16String> mNames;           // registered, to unregister
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
