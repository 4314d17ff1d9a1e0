// console::Initialize and console::Terminate: the thirteen built-in console commands.
#pragma once

#include <tarncore/platform/Export.h>

/// @file
/// Registering the built-in console commands. The two functions belong to the
/// console (namespace tarncore::console) but live in the commands component, above
/// debug support, because the commands they register act on the debug database, the
/// trace volumes and file support; the registry itself is in
/// tarncore/console/Command.h.
///
/// The commands, with the help texts that console::ListCommands shows:
/// - "debug.get <variable path>", "debug.set <variable path> = <value>", "debug.list",
///   "debug.clear": the debug database (tarncore/debug/DebugDatabase.h);
/// - "trace.set <category> <volume>", "trace.get <category>", "trace.getcategories",
///   "trace.set.master <volume>", "trace.get.master": the trace volumes
///   (tarncore/debug/Trace.h); a category holding spaces is written between double
///   quotes;
/// - "filesupport.listdirs", "filesupport.listvols": the special folders and volumes;
/// - "filesupport.file <file path>": a walk over the file operations on that path,
///   each guarded. When no file stands there it makes one, renames it to "house" and
///   back, and deletes it again; when its folder is missing too, it does the same with
///   the folder. Only what the walk made is left deleted;
/// - "filesupport.dir <file path>": the directory and its parent, whether each exists.
namespace tarncore {
namespace console {

/// Registers the thirteen built-in commands. Called once by the client at start-up,
/// after its error manager is installed. A name the client registered before keeps
/// the client's command.
TARNCORE_API void Initialize();
/// Unregisters the built-in commands and destroys their command objects. As
/// CommandRegistry::UnregisterCommand does, a command that never ran stays registered.
/// Called once at shut-down, before debug::ShutdownTraceManager().
TARNCORE_API void Terminate();

}  // namespace console
}  // namespace tarncore
