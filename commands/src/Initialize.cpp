// console::Initialize and console::Terminate: the table of built-in commands with their help texts.
#include <tarncore/commands/BuiltInCommands.h>

#include "commands/src/BuiltInCommands.h"

namespace tarncore {
namespace console {

namespace {

using utility::UTF16String;

template <class T>
Command* Make(const UTF16String& inName, const UTF16String& inHelp) {
    return new T(inName, inHelp);
}

struct BuiltIn {
    const char16_t* name;
    const char16_t* help;
    CommandFactory factory;
};

namespace cmd = commands;

// Registered in this order; the help texts are what ListCommands shows.
const BuiltIn kBuiltIns[] = {
    {u"debug.get",
     u"debug.get <variable path> - Gets the value of the debug variable from the debug database.",
     &Make<cmd::debug::Get>},
    {u"debug.list", u"debug.list - displays the entire contents of the debug database.",
     &Make<cmd::debug::List>},
    {u"debug.set",
     u"debug.set <variable path> = <value> - Sets the value of the debug variable in the debug database.",
     &Make<cmd::debug::Set>},
    {u"debug.clear", u"debug.clear - clears the contents of the debug database.", &Make<cmd::debug::Clear>},
    {u"trace.set", u"trace.set <category> <volume> - Sets the volume of this trace category.",
     &Make<cmd::trace::Set>},
    {u"trace.get", u"trace.get <category> - Gets the volume of this trace category.", &Make<cmd::trace::Get>},
    {u"trace.getcategories", u"trace.getcategories - Lists all catagories that have been traced.",
     &Make<cmd::trace::GetCategories>},
    {u"trace.set.master",
     u"trace.set.master <volume> - Sets the master trace volume. This is the highest volume that will be "
     u"traced.",
     &Make<cmd::trace::SetMaster>},
    {u"trace.get.master",
     u"trace.get.master - Gets the master trace volume. This is the highest volume that will be traced.",
     &Make<cmd::trace::GetMaster>},
    {u"filesupport.listdirs", u"filesupport.listdirs - list the special directoriees.",
     &Make<cmd::filesupport::ListDirs>},
    {u"filesupport.listvols", u"filesupport.listvols - list the mounted volumes.",
     &Make<cmd::filesupport::ListVols>},
    {u"filesupport.file",
     u"filesupport.file <file path> - given a file name, echos the path and indicates if the file exists",
     &Make<cmd::filesupport::FileExists>},
    {u"filesupport.dir",
     u"filesupport.dir <file path> - given a path, echos the path and indicates if the directory exists",
     &Make<cmd::filesupport::DirExists>},
};

}  // namespace

void Initialize() {
    for (const BuiltIn& command : kBuiltIns)
        CommandRegistry::RegisterCommand(utility::MakeUTF16(command.name), utility::MakeUTF16(command.help),
                                         command.factory);
}

void Terminate() {
    for (const BuiltIn& command : kBuiltIns)
        delete CommandRegistry::UnregisterCommand(utility::MakeUTF16(command.name));
}

}  // namespace console
}  // namespace tarncore
