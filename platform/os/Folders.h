// The special folders (configuration, documents, program files, temporary) as native paths.
#pragma once

#include <string>

// Where the process and the user keep things. Paths are native (UTF-8) and carry no
// trailing "/" unless they are the root.
namespace tarncore {
namespace platform {
namespace os {

enum class SpecialFolder : int {
    kUserAppData,         // $XDG_CONFIG_HOME, else ~/.config
    kUserDocuments,       // the XDG documents folder, else ~/Documents
    kProgramFiles,        // /opt
    kCommonProgramFiles,  // /usr/share
    kTemporary,           // $TMPDIR, else /tmp
};

// 0 or an errno value. With inCreate the folder and its missing parents are made.
int GetSpecialFolder(SpecialFolder inFolder, bool inCreate, std::string& outPath);

// The full path of the running program; 0 or an errno value.
int MainExecutablePath(std::string& outPath);

}  // namespace os
}  // namespace platform
}  // namespace tarncore
