// The thirteen built-in commands: their listing, and what each writes and changes, byte for byte.
#include <tarncore/commands/BuiltInCommands.h>
#include <tarncore/console/Command.h>
#include <tarncore/debug/DebugDatabase.h>
#include <tarncore/debug/Trace.h>
#include <tarncore/filesupport/CommonDirs.h>
#include <tarncore/filesupport/File.h>
#include <tarncore/utility/NativePaths.h>
#include <tarncore/utility/UnicodeStrings.h>
#include <tarncore_testing/RecordingErrorManager.h>
#include <tarncore_testing/TestEnvironment.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

namespace {

using tarncore::UTF16OutputStream;
using tarncore::debug::DebugDatabase;
using tarncore::filesupport::Dir;
using tarncore::utility::UTF16Char;
using tarncore::utility::UTF16String;
using tarncore::utility::UTF8String;
namespace console = tarncore::console;
namespace fs = std::filesystem;

UTF16String W(const std::string& inUTF8) {
    return tarncore::utility::UTF8to16(UTF8String(inUTF8.begin(), inUTF8.end()));
}
std::string N(const UTF16String& inText) {
    const UTF8String bytes = tarncore::utility::UTF16to8(inText);
    return std::string(bytes.begin(), bytes.end());
}
UTF8String U8(const std::string& inText) { return UTF8String(inText.begin(), inText.end()); }

std::string Path(const Dir& inDir) { return N(inDir.FullPath()); }

std::string ReadFile(const std::string& inPath) {
    std::ifstream in(inPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a line; what it wrote, or "(not run)" when ExecuteCommand gave false.
std::string RunLine(const std::string& inLine) {
    std::basic_stringbuf<UTF16Char> buffer;
    UTF16OutputStream out(&buffer);
    if (!console::ExecuteCommand(W(inLine), out)) return "(not run)" + N(buffer.str());
    return N(buffer.str());
}

// File times vary from run to run: each becomes "T".
std::string WithoutTimes(const std::string& inText) {
    return std::regex_replace(inText, std::regex("(Created|Modified): [0-9]+\r\n"), "$1: T\r\n");
}

// Every test sees the built-ins registered, and an error manager that throws.
class BuiltInCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sErrors = new tarncore::testing::RecordingErrorManager(
            tarncore::testing::RecordingErrorManager::kThrowAfterRecording);
        console::Initialize();
    }
    static void TearDownTestSuite() {
        console::Terminate();
        delete sErrors;
        sErrors = nullptr;
    }
    static tarncore::testing::RecordingErrorManager* sErrors;
};
tarncore::testing::RecordingErrorManager* BuiltInCommandsTest::sErrors = nullptr;

TEST_F(BuiltInCommandsTest, DebugCommandsReadAndChangeTheDatabase) {
    EXPECT_EQ(RunLine("debug.set a.b = 1"), "");
    EXPECT_EQ(RunLine("debug.set a = b = c"), "");
    EXPECT_EQ(RunLine("debug.set   k\xC3\xA9y\t=  two w\xE2\x82\xAC  "), "");
    EXPECT_EQ(RunLine("debug.set flag.only"), "");  // no "=": the whole argument is the key
    const std::string file =
        tarncore::filesupport::File(Dir::PrefDir(), W("Debug Database.txt")).FullPathMultiByte();
    EXPECT_EQ(ReadFile(file), "a\tb\r\na.b\t1\r\nflag.only\t\r\nk\xC3\xA9y\ttwo w\xE2\x82\xAC\r\n");

    EXPECT_EQ(RunLine("debug.get missing"), "missing = \r\n");
    EXPECT_EQ(RunLine("debug.get a.b"), "a.b = 1\r\n");
    EXPECT_EQ(RunLine("debug.list"), "Listing contents of debug database!\r\n" + std::string(35, '-') +
                                         "\r\n"
                                         "a = b\r\n"
                                         "a.b = 1\r\n"
                                         "flag.only = \r\n"
                                         "k\xC3\xA9y = two w\xE2\x82\xAC\r\n"
                                         "missing = \r\n");
    EXPECT_EQ(RunLine("debug.clear"), "Clearing contents of debug database!\r\n");
    EXPECT_FALSE(DebugDatabase::Instance().HasEntry(U8("a.b")));
}

TEST_F(BuiltInCommandsTest, TraceCommandsSetAndReportVolumes) {
    using tarncore::debug::GetTraceVolume;
    EXPECT_EQ(RunLine("trace.set My 3"), "trace category My set to volume 3.\r\n");
    EXPECT_EQ(RunLine("trace.set \"My Cat\" 4"), "trace category My Cat set to volume 4.\r\n");
    // Without quotes the second word is the volume: "Cat" reads as 0.
    EXPECT_EQ(RunLine("trace.set My Cat 3"), "trace category My set to volume 0.\r\n");
    EXPECT_EQ(GetTraceVolume(U8("My")), 0);
    EXPECT_EQ(RunLine("trace.set Neg -2x"), "trace category Neg set to volume -2.\r\n");
    EXPECT_EQ(RunLine("trace.set Big 99999999999"), "trace category Big set to volume 2147483647.\r\n");

    // Without a volume, trace.set answers like trace.get, making the category.
    EXPECT_EQ(RunLine("trace.set Fresh"), "trace volume for category Fresh is 5.\r\n");

    EXPECT_EQ(RunLine("trace.get My Cat"), "trace volume for category My Cat is 4.\r\n");
    EXPECT_EQ(RunLine("trace.get \"My Cat\" ignored"), "trace volume for category My Cat is 4.\r\n");
    EXPECT_EQ(RunLine("trace.get \"Half"), "trace volume for category Half is 5.\r\n");

    EXPECT_EQ(RunLine("trace.set.master loud"), "Master trace volume set to 0.\r\n");
    EXPECT_EQ(RunLine("trace.set.master   +10"), "Master trace volume set to 10.\r\n");
    EXPECT_EQ(RunLine("trace.get.master"), "Master trace volume is 10.\r\n");

    const std::string categories = RunLine("trace.getcategories");
    EXPECT_EQ(categories.rfind("Trace Categories:\r\n", 0), 0u);
    for (const char* name : {"My", "My Cat", "Neg", "Big", "Fresh", "Half", "Master"})
        EXPECT_NE(categories.find(std::string("\r\n") + name + "\r\n"), std::string::npos) << name;
}

TEST_F(BuiltInCommandsTest, ListsTheSpecialFoldersAndTheVolumes) {
    namespace commondirs = tarncore::filesupport::commondirs;
    EXPECT_EQ(RunLine("filesupport.listdirs"),
              "App Dir = \t\t" + Path(Dir::AppDir()) + "\r\nExecutable Dir = \t\t" +
                  Path(commondirs::ExecutableDir()) + "\r\nResources Dir = \t\t" +
                  Path(commondirs::ResourcesDir()) + "\r\nPackage Dir = \t\t" + Path(Dir::PackageDir()) +
                  "\r\nCommon Files Dir = \t\t" + Path(Dir::CommonFilesDir()) + "\r\nPlugins Dir = \t\t" +
                  Path(commondirs::PluginsDir()) + "\r\nRequired Plugins Dir = \t\t" +
                  Path(commondirs::RequiredPluginsDir()) + "\r\nUser Docs Dir = \t\t" +
                  Path(Dir::UserDocsDir()) + "\r\nTemp Dir = \t\t" + Path(Dir::TempDir()) +
                  "\r\nPref Dir = \t\t" + Path(Dir::PrefDir()) + "\r\nGlobal Pref Dir = \t\t" +
                  Path(Dir::GlobalPrefDir()) + "\r\n");

    std::string volumes = "List Volumes: \r\n";
    for (Dir::DirIterator volume = Dir::BeginVolumes(); volume != Dir::EndVolumes(); ++volume)
        volumes += "  " + Path(*volume) + "\r\n";
    EXPECT_EQ(RunLine("filesupport.listvols"), volumes);
    EXPECT_NE(volumes.find("\r\n  /\r\n"), std::string::npos);
}

TEST_F(BuiltInCommandsTest, FileWalkMakesRenamesAndRemovesAMissingFileOnly) {
    const std::string folder = tarncore::testing::MakeTempFolder("walk");
    const std::string name = fs::path(folder).filename().string();
    const std::string path = folder + "/Notes.TXT";
    EXPECT_EQ(WithoutTimes(RunLine("filesupport.file " + path)),
              "File.FullPath: " + path +
                  "\r\n    not found.\r\n   File.Created: Threw file_exception\r\n"
                  "   File.Modified: Threw file_exception\r\n"
                  " File.GetName: Notes.TXT\r\n File.GetTitle: Notes\r\n File.GetExtension: .TXT\r\n"
                  " File.GetExtension toLower: .txt\r\n"
                  "     File.Delete: Threw file_exception\r\n     File.Create: Succeeded\r\n"
                  "     File.Created: T\r\n     File.Modified: T\r\n"
                  "     other = File\r\n    other == File true\r\n"
                  "     other.Rename( 'house' ) Succeeded\r\n     other == File false\r\n"
                  "     other.Rename( File.GetName() ) Succeeded\r\n     other == File true\r\n"
                  "     File.Delete: Succeeded\r\n Parent.FullPath: " +
                  folder + "\r\n    found\r\n   Dir.Created: T\r\n   Dir.Modified: T\r\n Dir.GetName: " +
                  name + "\r\n\r\n");
    EXPECT_TRUE(fs::is_empty(folder));

    // An existing file is only looked at.
    std::ofstream(path) << "kept";
    RunLine("filesupport.file " + path);
    EXPECT_EQ(ReadFile(path), "kept");

    // The walk never replaces a file called house.
    std::ofstream(folder + "/house") << "someone's";
    const std::string out = RunLine("filesupport.file " + folder + "/new");
    EXPECT_NE(out.find("     other.Rename( 'house' ) Threw file_exception\r\n"
                       "     other == File true\r\n"
                       "     other.Rename( File.GetName() ) Threw file_exception\r\n"
                       "     other == File true\r\n"
                       "     File.Delete: Succeeded\r\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(ReadFile(folder + "/house"), "someone's");
    EXPECT_FALSE(fs::exists(folder + "/new"));
}

TEST_F(BuiltInCommandsTest, FileWalkMakesAndRemovesAMissingFolder) {
    const std::string folder = tarncore::testing::MakeTempFolder("missing");
    const std::string sub = folder + "/Sub";
    EXPECT_EQ(WithoutTimes(RunLine("filesupport.file " + sub + "/f")),
              "File.FullPath: " + sub +
                  "/f\r\n    not found.\r\n   File.Created: Threw file_exception\r\n"
                  "   File.Modified: Threw file_exception\r\n"
                  " File.GetName: f\r\n File.GetTitle: f\r\n File.GetExtension: \r\n"
                  " File.GetExtension toLower: \r\n"
                  "     File.Delete: Threw file_exception\r\n     File.Create: Threw file_exception\r\n"
                  "     File.Created: Threw file_exception\r\n     File.Modified: Threw file_exception\r\n"
                  "     other = File\r\n    other == File true\r\n"
                  "     other.Rename( 'house' ) Threw file_exception\r\n     other == File true\r\n"
                  "     other.Rename( File.GetName() ) Threw file_exception\r\n     other == File true\r\n"
                  " Parent.FullPath: " +
                  sub +
                  "\r\n    not found\r\n   Dir.Created: Threw dir_exception\r\n"
                  "   Dir.Modified: Threw dir_exception\r\n Dir.GetName: Sub\r\n"
                  "     Dir.Delete: Threw dir_exception\r\n     Dir.Create: Succeeded\r\n"
                  "     Dir.Created: T\r\n     Dir.Modified: T\r\n"
                  "     otherDir = Dir\r\n    otherDir == Dir true\r\n"
                  "     otherDir.Rename( 'house' ) Succeeded\r\n     otherDir == Dir false\r\n"
                  "     otherDir.Rename( Dir.GetName() ) Succeeded\r\n     otherDir == Dir true\r\n"
                  "     Dir.Delete: Succeeded\r\n\r\n");
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(BuiltInCommandsTest, DirReportsAFolderAndItsParent) {
    const std::string folder = tarncore::testing::MakeTempFolder("dir");
    const std::string name = fs::path(folder).filename().string();
    EXPECT_EQ(RunLine("filesupport.dir " + folder + "/Missing"),
              "Directory Path: " + folder +
                  "/Missing\r\n    not found.\r\n Dir Name: Missing\r\n Parent Path: " + folder +
                  "\r\n    found\r\n Dir name: " + name + "\r\n\r\n");
    EXPECT_EQ(RunLine("FileSupport.Dir " + folder + "/"),
              "Directory Path: " + folder + "\r\n    found.\r\n Dir Name: " + name + "\r\n Parent Path: " +
                  fs::path(folder).parent_path().string() + "\r\n    found\r\n Dir name: tmp\r\n\r\n");
}

TEST_F(BuiltInCommandsTest, TerminateHandsBackWhatRanAndInitializeRegistersTheThirteenAgain) {
    EXPECT_EQ(RunLine("trace.get.master"), "Master trace volume is 10.\r\n");
    console::Terminate();
    EXPECT_FALSE(console::CommandRegistry::IsCommandRegistered(W("trace.get.master")));
    EXPECT_EQ(RunLine("trace.get.master"), "(not run)");
    console::Initialize();
    EXPECT_EQ(RunLine("trace.get.master"), "Master trace volume is 10.\r\n");

    // The listing: the help texts in name order.
    std::basic_stringbuf<UTF16Char> buffer;
    UTF16OutputStream out(&buffer);
    console::ListCommands(out);
    EXPECT_EQ(
        N(buffer.str()),
        "Currently installed commands.\r\n"
        "-----------------------------\r\n"
        "debug.clear - clears the contents of the debug database.\r\n"
        "debug.get <variable path> - Gets the value of the debug variable from the debug database.\r\n"
        "debug.list - displays the entire contents of the debug database.\r\n"
        "debug.set <variable path> = <value> - Sets the value of the debug variable in the debug "
        "database.\r\n"
        "filesupport.dir <file path> - given a path, echos the path and indicates if the directory "
        "exists\r\n"
        "filesupport.file <file path> - given a file name, echos the path and indicates if the file "
        "exists\r\n"
        "filesupport.listdirs - list the special directoriees.\r\n"
        "filesupport.listvols - list the mounted volumes.\r\n"
        "trace.get <category> - Gets the volume of this trace category.\r\n"
        "trace.get.master - Gets the master trace volume. This is the highest volume that will be "
        "traced.\r\n"
        "trace.getcategories - Lists all catagories that have been traced.\r\n"
        "trace.set <category> <volume> - Sets the volume of this trace category.\r\n"
        "trace.set.master <volume> - Sets the master trace volume. This is the highest volume that will "
        "be traced.\r\n"
        "\r\n");
}

}  // namespace
