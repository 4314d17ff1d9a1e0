// The shell: splitting command lines, the built-in commands, and running prompts and scripts.
#include "Shell.h"

#include "HostServices.h"

#include <tarncore/config/Client.h>
#include <tarncore/config/Errors.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <stdexcept>

#include <editline/readline.h>
#include <unistd.h>

namespace tarnsh {

namespace config = tarncore::config;

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
}  // namespace

CommandSet::CommandSet(Installer inInstaller) { Installers().push_back(inInstaller); }

void CommandSet::InstallAll(Shell& ioShell) {
    for (Installer installer : Installers()) installer(ioShell);
}

Shell::Shell() {
    Add("help", "help", "Lists the commands.", [this](const Arguments&, std::ostream& out) {
        for (const auto& [name, command] : mCommands)
            out << std::left << std::setw(28) << command.usage << command.help << "\n";
    });
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

void Shell::Add(const std::string& inName, const std::string& inUsage, const std::string& inHelp,
                Handler inHandler) {
    mCommands[inName] = Command{inUsage, inHelp, std::move(inHandler)};
}

bool Shell::Execute(const std::string& inLine, std::ostream& out, std::ostream& err) {
    const Arguments words = SplitCommandLine(inLine);
    if (words.empty() || words[0][0] == '#') return true;
    const auto found = mCommands.find(words[0]);
    if (found == mCommands.end()) {
        err << "unknown command: " << words[0] << " (try help)\n";
        return false;
    }
    try {
        found->second.handler(words, out);
        return true;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return false;
    }
}

int Shell::RunInteractive() {
    const bool terminal = isatty(STDIN_FILENO) != 0;
    if (!terminal) return RunScript(std::cin, std::cout, std::cerr);
    std::cout << "tarnsh " << ToNarrow(config::GetVersionString()) << " (help lists the commands)\n";
    while (!mQuit) {
        char* line = readline("tarn> ");
        if (line == nullptr) break;
        const std::string text(line);
        std::free(line);
        if (!text.empty()) add_history(text.c_str());
        Execute(text, std::cout, std::cerr);
    }
    return 0;
}

int Shell::RunScript(std::istream& inScript, std::ostream& out, std::ostream& err) {
    std::string line;
    int lineNumber = 0;
    while (!mQuit && std::getline(inScript, line)) {
        ++lineNumber;
        if (!Execute(line, out, err)) {
            err << "stopped at line " << lineNumber << "\n";
            return 1;
        }
    }
    return 0;
}

}  // namespace tarnsh
