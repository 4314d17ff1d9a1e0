#include "ByteStreamTestHelpers.h"
#include "FileTestHelpers.h"

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/PlatformByteStreams.h>

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
