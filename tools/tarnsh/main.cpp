// tarnsh: the tarncore host console.
//   tarnsh                    interactive prompt (or reads stdin when it is not a terminal)
//   tarnsh -c "cmd" [-c ...]  runs the command lines in order
//   tarnsh script...          runs script files ("-" is standard input), one command line per line
// The exit status is 1 when a command fails (the rest is not run), 2 for a usage error.
#include "ConsoleOutput.h"
#include "HostServices.h"
#include "LineEditor.h"
#include "Shell.h"

#include <tarncore/config/Client.h>
#include <tarncore/utility/TextStreams.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const char kUsage[] = "usage: tarnsh [-c command]... [script | -]...\n";

int Run(tarnsh::Shell& ioShell, const std::vector<std::string>& inCommands,
        const std::vector<std::string>& inScripts) {
    for (const std::string& command : inCommands) {
        if (!ioShell.Execute(command)) return 1;
        if (ioShell.QuitRequested()) return 0;
    }
    for (const std::string& path : inScripts) {
        if (path == "-") {
            if (ioShell.RunScript(std::cin) != 0) return 1;
        } else {
            std::ifstream script(path);
            if (!script) {
                std::cerr << "cannot open " << path << "\n";
                return 1;
            }
            if (ioShell.RunScript(script) != 0) return 1;
        }
        if (ioShell.QuitRequested()) return 0;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> commands, scripts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-c") == 0) {
            if (i + 1 == argc) {
                std::cerr << kUsage;
                return 2;
            }
            commands.push_back(argv[++i]);
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::cout << kUsage;
            return 0;
        } else {
            scripts.push_back(argv[i]);
        }
    }

    // The console's text goes to standard output as UTF-8.
    tarnsh::NarrowOutputBuffer output(std::cout);
    tarncore::UTF16OutputStream out(&output);
    // Made in start-up order, destroyed in reverse: the host's services, then its shell.
    tarnsh::HostServices services(std::cerr);
    tarnsh::Shell shell(out, std::cerr);

    if (!commands.empty() || !scripts.empty()) return Run(shell, commands, scripts);
    if (isatty(STDIN_FILENO) == 0) return shell.RunScript(std::cin);
    std::cout << "tarnsh " << tarnsh::ToNarrow(tarncore::config::GetVersionString())
              << " (help lists the commands, quit leaves)\n";
    tarnsh::LineEditor editor(std::cerr);
    return shell.RunInteractive(editor);
}
