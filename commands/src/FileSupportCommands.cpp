// filesupport.listdirs, .listvols, .file and .dir: special folders, volumes, file and folder walks.
#include "commands/src/BuiltInCommands.h"
#include "commands/src/CommandText.h"

#include <tarncore/filesupport/CommonDirs.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/filesupport/FileExceptions.h>

#include <cstdint>

namespace tarncore {
namespace commands {
namespace filesupport {

using tarncore::filesupport::Dir;
using tarncore::filesupport::File;
using utility::UTF16String;

namespace {

// Runs one step of a walk, which writes its own answer and line end. A failure ends
// the line with what was thrown, and the walk goes on.
template <class Step>
void Guarded(UTF16OutputStream& ioOut, Step inStep) {
    try {
        inStep();
    } catch (const tarncore::filesupport::file_exception&) {
        text::Write(ioOut, "Threw ");
        text::WriteLine(ioOut, "file_exception");
    } catch (const tarncore::filesupport::dir_exception&) {
        text::Write(ioOut, "Threw ");
        text::WriteLine(ioOut, "dir_exception");
    } catch (...) {
        text::WriteLine(ioOut, "Threw");
    }
}

void WriteLine(UTF16OutputStream& ioOut, const UTF16String& inText) {
    ioOut << inText;
    console::WriteLineEnd(ioOut);
}

void WriteTime(UTF16OutputStream& ioOut, std::uint64_t inTime) {
    text::WriteNumber(ioOut, inTime);
    console::WriteLineEnd(ioOut);
}

void WriteBool(UTF16OutputStream& ioOut, bool inValue) { text::WriteLine(ioOut, inValue ? "true" : "false"); }

void Succeeded(UTF16OutputStream& ioOut) { text::WriteLine(ioOut, "Succeeded"); }

// The labels of the walk over a file or a folder that was not there: made, renamed to
// "house" and back, and deleted again.
struct WalkLabels {
    const char* remove;
    const char* create;
    const char* created;
    const char* modified;
    const char* copied;
    const char* firstCompare;
    const char* renameAway;
    const char* laterCompare;
    const char* renameBack;
};

const WalkLabels kFileWalk = {"     File.Delete: ",
                              "     File.Create: ",
                              "     File.Created: ",
                              "     File.Modified: ",
                              "     other = File",
                              "    other == File ",
                              "     other.Rename( 'house' ) ",
                              "     other == File ",
                              "     other.Rename( File.GetName() ) "};

const WalkLabels kDirWalk = {"     Dir.Delete: ",
                             "     Dir.Create: ",
                             "     Dir.Created: ",
                             "     Dir.Modified: ",
                             "     otherDir = Dir",
                             "    otherDir == Dir ",
                             "     otherDir.Rename( 'house' ) ",
                             "     otherDir == Dir ",
                             "     otherDir.Rename( Dir.GetName() ) "};

// The same steps for a File and a Dir.
template <class Item>
void WalkMissing(UTF16OutputStream& ioOut, Item& ioItem, const WalkLabels& inLabels) {
    text::Write(ioOut, inLabels.remove);
    Guarded(ioOut, [&] {
        ioItem.Delete();
        Succeeded(ioOut);
    });
    text::Write(ioOut, inLabels.create);
    Guarded(ioOut, [&] {
        ioItem.Create();
        Succeeded(ioOut);
    });
    text::Write(ioOut, inLabels.created);
    Guarded(ioOut, [&] { WriteTime(ioOut, ioItem.Created()); });
    text::Write(ioOut, inLabels.modified);
    Guarded(ioOut, [&] { WriteTime(ioOut, ioItem.Modified()); });

    Item other(ioItem);
    text::WriteLine(ioOut, inLabels.copied);
    text::Write(ioOut, inLabels.firstCompare);
    Guarded(ioOut, [&] { WriteBool(ioOut, other == ioItem); });
    text::Write(ioOut, inLabels.renameAway);
    Guarded(ioOut, [&] {
        other.Rename(utility::MakeUTF16(u"house"));
        Succeeded(ioOut);
    });
    text::Write(ioOut, inLabels.laterCompare);
    Guarded(ioOut, [&] { WriteBool(ioOut, other == ioItem); });
    text::Write(ioOut, inLabels.renameBack);
    Guarded(ioOut, [&] {
        other.Rename(ioItem.GetName());
        Succeeded(ioOut);
    });
    text::Write(ioOut, inLabels.laterCompare);
    Guarded(ioOut, [&] { WriteBool(ioOut, other == ioItem); });

    if (ioItem.Exists()) {
        text::Write(ioOut, inLabels.remove);
        Guarded(ioOut, [&] {
            ioItem.Delete();
            Succeeded(ioOut);
        });
    }
}

void WriteDirLine(UTF16OutputStream& ioOut, const char* inLabel, Dir (*inDir)()) {
    text::Write(ioOut, inLabel);
    text::Write(ioOut, "\t\t");
    WriteLine(ioOut, inDir().FullPath());
}

}  // namespace

void ListDirs::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    namespace commondirs = tarncore::filesupport::commondirs;
    WriteDirLine(ioOut, "App Dir = ", &Dir::AppDir);
    WriteDirLine(ioOut, "Executable Dir = ", &commondirs::ExecutableDir);
    WriteDirLine(ioOut, "Resources Dir = ", &commondirs::ResourcesDir);
    WriteDirLine(ioOut, "Package Dir = ", &Dir::PackageDir);
    WriteDirLine(ioOut, "Common Files Dir = ", &Dir::CommonFilesDir);
    WriteDirLine(ioOut, "Plugins Dir = ", &commondirs::PluginsDir);
    WriteDirLine(ioOut, "Required Plugins Dir = ", &commondirs::RequiredPluginsDir);
    WriteDirLine(ioOut, "User Docs Dir = ", &Dir::UserDocsDir);
    WriteDirLine(ioOut, "Temp Dir = ", &Dir::TempDir);
    WriteDirLine(ioOut, "Pref Dir = ", &Dir::PrefDir);
    WriteDirLine(ioOut, "Global Pref Dir = ", &Dir::GlobalPrefDir);
}

void ListVols::Execute(const UTF16String&, UTF16OutputStream& ioOut) {
    text::WriteLine(ioOut, "List Volumes: ");
    for (Dir::DirIterator volume = Dir::BeginVolumes(), end = Dir::EndVolumes(); volume != end; ++volume) {
        text::Write(ioOut, "  ");
        WriteLine(ioOut, (*volume).FullPath());
    }
}

void FileExists::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    File file(inArguments);
    text::Write(ioOut, "File.FullPath: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, file.FullPath()); });
    const bool existed = file.Exists();
    text::WriteLine(ioOut, existed ? "    found." : "    not found.");
    text::Write(ioOut, "   File.Created: ");
    Guarded(ioOut, [&] { WriteTime(ioOut, file.Created()); });
    text::Write(ioOut, "   File.Modified: ");
    Guarded(ioOut, [&] { WriteTime(ioOut, file.Modified()); });
    text::Write(ioOut, " File.GetName: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, file.GetName()); });
    text::Write(ioOut, " File.GetTitle: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, file.GetTitle()); });
    text::Write(ioOut, " File.GetExtension: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, file.GetExtension(false)); });
    text::Write(ioOut, " File.GetExtension toLower: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, file.GetExtension(true)); });
    if (!existed) WalkMissing(ioOut, file, kFileWalk);

    Dir parent = file.Parent();
    text::Write(ioOut, " Parent.FullPath: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, parent.FullPath()); });
    const bool parentExisted = parent.Exists();
    text::WriteLine(ioOut, parentExisted ? "    found" : "    not found");
    text::Write(ioOut, "   Dir.Created: ");
    Guarded(ioOut, [&] { WriteTime(ioOut, parent.Created()); });
    text::Write(ioOut, "   Dir.Modified: ");
    Guarded(ioOut, [&] { WriteTime(ioOut, parent.Modified()); });
    text::Write(ioOut, " Dir.GetName: ");
    Guarded(ioOut, [&] { WriteLine(ioOut, parent.GetName()); });
    if (!parentExisted) WalkMissing(ioOut, parent, kDirWalk);

    console::WriteLineEnd(ioOut);
}

void DirExists::Execute(const UTF16String& inArguments, UTF16OutputStream& ioOut) {
    const Dir dir(inArguments);
    text::Write(ioOut, "Directory Path: ");
    WriteLine(ioOut, dir.FullPath());
    text::WriteLine(ioOut, dir.Exists() ? "    found." : "    not found.");
    text::Write(ioOut, " Dir Name: ");
    WriteLine(ioOut, dir.GetName());
    const Dir parent = dir.Parent();
    text::Write(ioOut, " Parent Path: ");
    WriteLine(ioOut, parent.FullPath());
    text::WriteLine(ioOut, parent.Exists() ? "    found" : "    not found");
    text::Write(ioOut, " Dir name: ");
    WriteLine(ioOut, parent.GetName());
    console::WriteLineEnd(ioOut);
}

}  // namespace filesupport
}  // namespace commands
}  // namespace tarncore
