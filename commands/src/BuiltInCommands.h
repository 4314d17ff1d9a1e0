// The thirteen built-in console commands, by the part of the library they act on.
#pragma once

#include <tarncore/console/Command.h>

namespace tarncore {
namespace commands {

// Each class is made by its factory with the registered name and help text.
#define TARNCORE_BUILT_IN_COMMAND(Name)                                                           \
    class Name : public console::Command {                                                        \
    public:                                                                                       \
        using console::Command::Command;                                                          \
        void Execute(const utility::UTF16String& inArguments, UTF16OutputStream& ioOut) override; \
    }

// The debug database.
namespace debug {
TARNCORE_BUILT_IN_COMMAND(Get);
TARNCORE_BUILT_IN_COMMAND(List);
TARNCORE_BUILT_IN_COMMAND(Set);
TARNCORE_BUILT_IN_COMMAND(Clear);
}  // namespace debug

// Trace categories and the master volume.
namespace trace {
TARNCORE_BUILT_IN_COMMAND(Set);
TARNCORE_BUILT_IN_COMMAND(Get);
TARNCORE_BUILT_IN_COMMAND(GetCategories);
TARNCORE_BUILT_IN_COMMAND(SetMaster);
TARNCORE_BUILT_IN_COMMAND(GetMaster);
}  // namespace trace

// Special folders, volumes, and walks over the file and directory operations.
namespace filesupport {
TARNCORE_BUILT_IN_COMMAND(ListDirs);
TARNCORE_BUILT_IN_COMMAND(ListVols);
TARNCORE_BUILT_IN_COMMAND(FileExists);
TARNCORE_BUILT_IN_COMMAND(DirExists);
}  // namespace filesupport

#undef TARNCORE_BUILT_IN_COMMAND

}  // namespace commands
}  // namespace tarncore
