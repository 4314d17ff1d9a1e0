// File support from the console: the special folders, the volumes, and shortcut files.
#include "HostServices.h"
#include "Shell.h"

#include <tarncore/config/Messages.h>
#include <tarncore/filesupport/CommonDirs.h>
#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/Shortcuts.h>

#include <cstdio>
#include <iomanip>
#include <ostream>
#include <stdexcept>

namespace tarnsh {

namespace fsup = tarncore::filesupport;
namespace config = tarncore::config;

namespace {

// A folder, or the rendered message of the exception that asking for it raised.
std::string Describe(fsup::Dir (*inGet)()) {
    try {
        return PathText(inGet().FullPath());
    } catch (const fsup::dir_exception& e) {
        return "(" + ToNarrow(config::RenderMessage(e.what(), {e.GetDir().FullPath()})) + ")";
    }
}

std::string ResultText(std::int32_t inResult) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(inResult));
    return text;
}

const CommandSet sFileCommands([](Shell& shell) {
    shell.Add("dirs", "dirs", "Lists the special folders (making the per-user ones, as asking does).",
              [](const Shell::Arguments&, std::ostream& out) {
                  const std::pair<const char*, fsup::Dir (*)()> folders[] = {
                      {"application", &fsup::Dir::AppDir},
                      {"temporary", &fsup::Dir::TempDir},
                      {"global preferences", &fsup::Dir::GlobalPrefDir},
                      {"preferences", &fsup::Dir::PrefDir},
                      {"common files", &fsup::Dir::CommonFilesDir},
                      {"user documents", &fsup::Dir::UserDocsDir},
                      {"executable", &fsup::commondirs::ExecutableDir},
                      {"resources", &fsup::commondirs::ResourcesDir},
                      {"plug-ins", &fsup::commondirs::PluginsDir},
                      {"required plug-ins", &fsup::commondirs::RequiredPluginsDir},
                      {"all users' plug-ins", &fsup::commondirs::AllUserPluginsDir},
                      {"user plug-ins", &fsup::commondirs::UserPluginsDir},
                  };
                  out << std::left << std::setw(22) << "main executable"
                      << PathText(fsup::commondirs::MainExecutableFile().FullPath()) << "\n";
                  for (const auto& [name, get] : folders)
                      out << std::setw(22) << name << Describe(get) << "\n";
              });
    shell.Add("volumes", "volumes", "Lists the mounted volumes.",
              [](const Shell::Arguments&, std::ostream& out) {
                  for (auto it = fsup::Dir::BeginVolumes(); it != fsup::Dir::EndVolumes(); ++it)
                      out << PathText((*it).FullPath()) << "\n";
              });
    shell.Add("shortcut", "shortcut <target> <file.lnk> [text]", "Writes a shortcut file.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() < 3 || args.size() > 4)
                      throw std::invalid_argument("usage: shortcut <target> <file.lnk> [text]");
                  const std::int32_t result = fsup::ShortcutFiles::CreateLink(
                      PathArgument(args[1]), PathArgument(args[2]), ToWide(args.size() == 4 ? args[3] : ""));
                  if (result < 0) throw std::runtime_error("shortcut failed: " + ResultText(result));
                  out << args[2] << " -> " << args[1] << "\n";
              });
    shell.Add("resolve", "resolve <file.lnk>", "Prints the target of a shortcut file.",
              [](const Shell::Arguments& args, std::ostream& out) {
                  if (args.size() != 2) throw std::invalid_argument("usage: resolve <file.lnk>");
                  auto path = PathArgument(args[1]);
                  bool isDirectory = false;
                  const std::int32_t result = fsup::ShortcutFiles::ResolveIT(path, isDirectory);
                  if (result < 0) throw std::runtime_error("does not resolve: " + ResultText(result));
                  out << PathText(path) << (isDirectory ? " (folder)" : "") << "\n";
              });
});

}  // namespace

}  // namespace tarnsh
