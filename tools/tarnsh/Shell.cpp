// The shell: tarnsh's commands in the console's registry, running lines, scripts and the prompt.
#include "Shell.h"

#include "ConsoleOutput.h"
#include "HostServices.h"
#include "LineEditor.h"

#include <tarncore/config/Client.h>
#include <tarncore/config/Errors.h>
#include <tarncore/console/Command.h>

#include <iomanip>
#include <istream>
#include <sstream>
#include <stdexcept>

namespace tarnsh {

namespace config = tarncore::config;
namespace console = tarncore::console;
using tarncore::utility::UTF16String;

std::vector<std::string> SplitCommandLine(const std::string& inLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < inLine.size(); ++i) {
        const char c = inLine[i];
        if (c == '\\' && i + 1 < inLine.size()) {
            word += inLine[++i];
            inWord = true;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

namespace {

std::vector<CommandSet::Installer>& Installers() {
    static std::vector<CommandSet::Installer> installers;
    return installers;
}

// The shell whose handlers the registry's factory hands out; none before the shell is
// made and after it is gone, when the factory makes nothing.
Shell* sShell = nullptr;

// "help" writes the registry's own listing.
class HelpCommand : public console::Command {
public:
    using console::Command::Command;
    void Execute(const UTF16String&, tarncore::UTF16OutputStream& ioOut) override {
        console::ListCommands(ioOut);
    }
};

console::Command* MakeHelp(const UTF16String& inName, const UTF16String& inHelp) {
    return new HelpCommand(inName, inHelp);
}

std::string Trimmed(const std::string& inLine) {
    const std::size_t begin = inLine.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return std::string();
    return inLine.substr(begin, inLine.find_last_not_of(" \t\r\n") - begin + 1);
}

}  // namespace

CommandSet::CommandSet(Installer inInstaller) { Installers().push_back(inInstaller); }

void CommandSet::InstallAll(Shell& ioShell) {
    for (Installer installer : Installers()) installer(ioShell);
}

// A host command in the registry: runs its handler on the words of its argument text
// and writes what the handler wrote, also when the handler then throws.
class Shell::HostCommand : public console::Command {
public:
    HostCommand(const UTF16String& inName, const UTF16String& inHelp, Handler inHandler)
        : console::Command(inName, inHelp), mHandler(std::move(inHandler)) {}

    void Execute(const UTF16String& inArguments, tarncore::UTF16OutputStream& ioOut) override {
        Arguments words = SplitCommandLine(ToNarrow(inArguments));
        words.insert(words.begin(), ToNarrow(GetName()));
        std::ostringstream text;
        try {
            mHandler(words, text);
        } catch (...) {
            WriteConsoleText(ioOut, text.str());
            throw;
        }
        WriteConsoleText(ioOut, text.str());
    }

private:
    Handler mHandler;
};

console::Command* Shell::MakeCommand(const UTF16String& inName, const UTF16String& inHelp) {
    if (sShell == nullptr) return nullptr;
    const auto found = sShell->mHandlers.find(inName);
    return found == sShell->mHandlers.end() ? nullptr : new HostCommand(inName, inHelp, found->second);
}

Shell::Shell(tarncore::UTF16OutputStream& ioOut, std::ostream& ioErrors) : mOut(ioOut), mErrors(ioErrors) {
    sShell = this;
    const UTF16String help = ToWide("help");
    console::CommandRegistry::RegisterCommand(help, ToWide("help - Lists the commands."), &MakeHelp);
    mNames.push_back(help);

    Add("version", "version", "Prints the library version.",
        [](const Arguments&, std::ostream& out) { out << ToNarrow(config::GetVersionString()) << "\n"; });
    Add("client", "client", "Prints the client identity.", [](const Arguments&, std::ostream& out) {
        out << "name:             " << ToNarrow(config::GetClientName()) << "\n"
            << "version:          " << ToNarrow(config::GetClientVersion()) << "\n"
            << "internal version: " << ToNarrow(config::GetClientInternalVersion()) << "\n"
            << "build:            " << ToNarrow(config::GetClientBuildNumber()) << "\n"
            << "company:          " << ToNarrow(config::GetCompanyName()) << "\n";
    });
    Add("echo", "echo <words>", "Prints its words.", [](const Arguments& args, std::ostream& out) {
        for (std::size_t i = 1; i < args.size(); ++i) out << (i > 1 ? " " : "") << args[i];
        out << "\n";
    });
    Add("units", "units <text>", "Prints the UTF-16 units of the text in hexadecimal.",
        [](const Arguments& args, std::ostream& out) {
            std::string text;
            for (std::size_t i = 1; i < args.size(); ++i) text += (i > 1 ? " " : "") + args[i];
            const auto wide = ToWide(text);
            for (std::size_t i = 0; i < wide.size(); ++i)
                out << (i ? " " : "") << std::hex << std::setw(4) << std::setfill('0') << wide[i] << std::dec
                    << std::setfill(' ');
            out << "\n";
        });
    Add("testerror", "testerror fatal|nonfatal", "Raises the library's test error report.",
        [](const Arguments& args, std::ostream&) {
            if (args.size() != 2 || (args[1] != "fatal" && args[1] != "nonfatal"))
                throw std::invalid_argument("usage: testerror fatal|nonfatal");
            config::TestThrowError(args[1] == "fatal");
        });
    Add("quit", "quit", "Leaves tarnsh.", [this](const Arguments&, std::ostream&) { mQuit = true; });
    CommandSet::InstallAll(*this);
}

Shell::~Shell() {
    for (const UTF16String& name : mNames) delete console::CommandRegistry::UnregisterCommand(name);
    sShell = nullptr;
}

void Shell::Add(const std::string& inName, const std::string& inUsage, const std::string& inHelp,
                Handler inHandler) {
    const UTF16String name = ToWide(inName);
    if (console::CommandRegistry::IsCommandRegistered(name))
        throw std::logic_error("tarnsh registers " + inName + " twice");
    mHandlers[name] = std::move(inHandler);
    console::CommandRegistry::RegisterCommand(name, ToWide(inUsage + " - " + inHelp), &MakeCommand);
    mNames.push_back(name);
}

bool Shell::Execute(const std::string& inLine) {
    const std::string line = Trimmed(inLine);
    if (line.empty() || line[0] == '#') return true;
    if (!IsConsoleText(line)) {
        mErrors << "not UTF-8 text: the line is ignored\n";
        return false;
    }
    const UTF16String wide = ToWide(line);
    try {
        if (console::ExecuteCommand(wide, mOut)) return true;
    } catch (...) {
        mOut.flush();
        mErrors << DescribeException(std::current_exception()) << "\n";
        return false;
    }
    // The registry reads the command word up to the first space.
    const UTF16String word = console::TokenReader(wide, UTF16String(1, ' ')).Next();
    if (console::CommandRegistry::IsCommandRegistered(word))
        mErrors << ToNarrow(word) << ": the command could not be made\n";
    else
        mErrors << "unknown command: " << ToNarrow(word) << " (help lists the commands)\n";
    return false;
}

int Shell::RunScript(std::istream& inScript) {
    std::string line;
    int lineNumber = 0;
    while (!mQuit && std::getline(inScript, line)) {
        ++lineNumber;
        if (!Execute(line)) {
            mErrors << "stopped at line " << lineNumber << "\n";
            return 1;
        }
    }
    return 0;
}

int Shell::RunInteractive(LineEditor& ioEditor) {
    std::string line;
    while (!mQuit && ioEditor.ReadLine("tarn> ", line)) {
        ioEditor.Remember(line);
        Execute(line);
    }
    return 0;
}

}  // namespace tarnsh
