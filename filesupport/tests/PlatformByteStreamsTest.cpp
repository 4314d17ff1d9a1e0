// Tests of the file byte streams and of replacing a file in one step.
#include "ByteStreamTestHelpers.h"
#include "FileTestHelpers.h"

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace filetest;
using namespace streamtest;

TEST(PlatformByteStreams, MissingFilesAndOtherFailures) {
    const std::string folder = TempFolder();
    const File missing(U(folder + "/missing.bin"));
    try {
        OPlatformByteStream out(missing);
        FAIL() << "a missing file is never made";
    } catch (const file_not_found_exception& e) {
        EXPECT_EQ(e.GetFile(), missing);
    }
    EXPECT_FALSE(missing.Exists());
    WriteAll(folder + "/plain", "x");
    for (const char* name : {"/missing.bin", "/no/such/file", "/plain/below"})
        EXPECT_THROW(IPlatformByteStream in(File(U(folder + name))), file_not_found_exception) << name;
    // A directory is no file to read or write.
    EXPECT_THROW(IPlatformByteStream in(File(U(folder))), io_error);
    EXPECT_THROW(OPlatformByteStream out(File(U(folder))), io_error);
    // Without a reader a FIFO cannot be written; without a writer it reads as empty. The
    // open never blocks.
    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(OPlatformByteStream out{File(U(fifo))}, io_error);
    IPlatformByteStream in{File(U(fifo))};
    EXPECT_EQ(in.Length(), 0u);
    EXPECT_THROW(in.Get(), eof_error);
}

TEST(PlatformByteStreams, WritingAndReadingWithPositions) {
    const std::string path = TempFolder() + "/data.bin";
    WriteAll(path, Bytes({10, 20, 30}));
    IPlatformByteStream in{File(U(path))};
    ExpectSourceEnds(in);
    {
        // Over what the file holds, from its start, never shortening it.
        OPlatformByteStream out{File(U(path))};
        EXPECT_EQ(out.Length(), 3u);
        out << std::uint16_t{0x4142};
        EXPECT_EQ(out.CurPos(), 2u);
        out.CurPos(5);  // beyond the end: the gap reads as zeros
        out.Put('Z');
        EXPECT_EQ(out.Length(), 6u);
    }
    EXPECT_EQ(ReadAll(path), Bytes({'A', 'B', 30, 0, 0, 'Z'}));
}

namespace {

namespace fs = std::filesystem;

// The names in a folder, hidden ones included.
std::vector<std::string> NamesIn(const std::string& inFolder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(inFolder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& inPath) {
    struct stat info {};
    EXPECT_EQ(stat(inPath.c_str(), &info), 0) << inPath;
    return info.st_mode & 07777;
}

// Lets this process write files of at most inBytes bytes while it exists; a write
// beyond fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t inBytes) {
        getrlimit(RLIMIT_FSIZE, &mSaved);
        mSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{inBytes, mSaved.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mSignal);
    }

private:
    rlimit mSaved{};
    void (*mSignal)(int) = nullptr;
};

}  // namespace

TEST(ReplacingByteStream, CommitReplacesInOneStepAndKeepsThePermissions) {
    const std::string folder = TempFolder(), path = folder + "/settings.bin";
    WriteAll(path, "old contents");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    {
        OReplacingPlatformByteStream out{File(U(path))};
        // Adapters hold bytes of their own until they are flushed.
        OBufferedByteStream buffered(out, 8, 4);
        buffered << std::uint32_t{0x41424344} << std::uint16_t{0x4546};
        buffered.CurPos(8);  // beyond the end: the gap reads as zeros
        buffered.Put('Z');
        buffered.Flush();
        EXPECT_EQ(out.Length(), 9u);
        EXPECT_EQ(out.CurPos(), 9u);
        // Until the commit the file is as it was, and the new contents wait in one
        // hidden file beside it.
        EXPECT_EQ(ReadAll(path), "old contents");
        EXPECT_EQ(NamesIn(folder).size(), 2u);
        EXPECT_EQ(NamesIn(folder)[0][0], '.');
        out.Commit();
        EXPECT_EQ(ReadAll(path), Bytes({'A', 'B', 'C', 'D', 'E', 'F', 0, 0, 'Z'}));
        // The stream is closed.
        EXPECT_THROW(out.Put('x'), io_error);
        EXPECT_THROW(out.Commit(), io_error);
    }
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"settings.bin"});
}

TEST(ReplacingByteStream, WithoutCommitOrAfterAFailureTheOldFileStays) {
    const std::string folder = TempFolder(), path = folder + "/db.bin";
    WriteAll(path, "old");
    {
        OReplacingPlatformByteStream out{File(U(path))};
        out.WriteBlock(Data("never committed"), 15);
    }
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"db.bin"});

    {
        OReplacingPlatformByteStream out{File(U(path))};
        out.WriteBlock(Data("first part;"), 11);
        {
            const FileSizeLimit limit(16);
            const std::string block(64, 'x');
            EXPECT_THROW(out.WriteBlock(Data(block), 64), io_error);
        }
        // The failure gave the replacement up at once: nothing half-written can be
        // committed, and the temporary file is gone.
        EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"db.bin"});
        EXPECT_THROW(out.Put('x'), io_error);
        EXPECT_THROW(out.Commit(), io_error);
    }
    EXPECT_EQ(ReadAll(path), "old");

    // A commit that cannot rename (a directory holds the name) leaves both alone.
    fs::create_directory(folder + "/taken");
    WriteAll(folder + "/taken/inside", "i");
    OReplacingPlatformByteStream out{File(U(folder + "/taken"))};
    out.Put('x');
    EXPECT_THROW(out.Commit(), io_error);
    EXPECT_EQ(ReadAll(folder + "/taken/inside"), "i");
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"db.bin", "taken"}));
}

TEST(ReplacingByteStream, MakesAFileThatDidNotExistButNeedsItsFolder) {
    const std::string folder = TempFolder(), path = folder + "/new.bin";
    {
        OReplacingPlatformByteStream out{File(U(path))};
        EXPECT_FALSE(fs::exists(path));
        out << std::uint8_t{7};
        out.Commit();
    }
    EXPECT_EQ(ReadAll(path), Bytes({7}));
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(ModeOf(path), 0666u & ~mask);
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"new.bin"});

    const File inMissingFolder(U(folder + "/missing/new.bin"));
    try {
        OReplacingPlatformByteStream out(inMissingFolder);
        FAIL() << "a missing folder is never made";
    } catch (const file_not_found_exception& e) {
        EXPECT_EQ(e.GetFile(), inMissingFolder);
    }
    EXPECT_THROW(OReplacingPlatformByteStream out{File(U(path) + UTF16String(1, 0))}, io_error);
}
