// tarnsh: the tarncore host console.
//   tarnsh                    interactive prompt (or reads stdin when it is not a terminal)
//   tarnsh -c "cmd" [-c ...]  runs the command lines in order
//   tarnsh script...          runs script files, one command line per line
#include "HostServices.h"
#include "Shell.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    tarnsh::HostServices services;
    tarnsh::Shell shell;

    std::vector<std::string> commands, scripts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-c") == 0 && i + 1 < argc) {
            commands.push_back(argv[++i]);
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::cout << "usage: tarnsh [-c command]... [script]...\n";
            return 0;
        } else {
            scripts.push_back(argv[i]);
        }
    }
    if (commands.empty() && scripts.empty()) return shell.RunInteractive();

    for (const std::string& command : commands) {
        if (!shell.Execute(command, std::cout, std::cerr)) return 1;
        if (shell.QuitRequested()) return 0;
    }
    for (const std::string& path : scripts) {
        std::ifstream script(path);
        if (!script) {
            std::cerr << "cannot open " << path << "\n";
            return 1;
        }
        if (shell.RunScript(script, std::cout, std::cerr) != 0) return 1;
    }
    return 0;
}
