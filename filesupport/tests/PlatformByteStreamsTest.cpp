#include "ByteStreamTestHelpers.h"
#include "FileTestHelpers.h"

#include <tarncore/filesupport/FileExceptions.h>
#include <tarncore/filesupport/PlatformByteStreams.h>
#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarncore::filesupport;
using namespace filetest;
using namespace streamtest;

TEST(PlatformByteStreams, MissingFilesAndFolders) {
    const std::string folder = TempFolder();
    const File missing(U(folder + "/missing.bin"));
    try {
        OPlatformByteStream out(missing);
        FAIL() << "a missing file is never made";
    } catch (const file_not_found_exception& e) {
        EXPECT_EQ(e.GetFile(), missing);
    }
    EXPECT_FALSE(missing.Exists());
    EXPECT_THROW(IPlatformByteStream in(missing), file_not_found_exception);
    EXPECT_THROW(IPlatformByteStream in(File(U(folder + "/no/such/file"))), file_not_found_exception);
    WriteAll(folder + "/plain", "x");
    EXPECT_THROW(IPlatformByteStream in(File(U(folder + "/plain/below"))), file_not_found_exception);

    // Other failures are io_error: a directory is no file to read or write.
    EXPECT_THROW(IPlatformByteStream in(File(U(folder))), io_error);
    EXPECT_THROW(OPlatformByteStream out(File(U(folder))), io_error);
}

TEST(PlatformByteStreams, WriteThenReadWithPositions) {
    const std::string path = TempFolder() + "/data.bin";
    File file(U(path));
    file.Create();
    {
        OPlatformByteStream out(file);
        EXPECT_EQ(out.Length(), 0u);
        out << std::uint32_t{0x01020304} << std::string("text");
        out.Put('!');
        EXPECT_EQ(out.CurPos(), 11u);
        EXPECT_EQ(out.Length(), 11u);
        out.CurPos(1);
        out.Put(0xEE);
        EXPECT_EQ(out.CurPos(), 2u);
    }
    EXPECT_EQ(ReadAll(path), Bytes({1, 0xEE, 3, 4, 0, 4, 't', 'e', 'x', 't', '!'}));

    IPlatformByteStream in(file);
    EXPECT_EQ(in.Length(), 11u);
    std::uint32_t number = 0;
    std::string text;
    in >> number >> text;
    EXPECT_EQ(number, 0x01EE0304u);
    EXPECT_EQ(text, "text");
    EXPECT_EQ(in.Get(), '!');
    // At the end: eof_error, and the position stays.
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_EQ(in.CurPos(), 11u);
    in.CurPos(8);
    unsigned char block[8] = {};
    EXPECT_THROW(in.ReadBlock(block, 8), eof_error);
    EXPECT_EQ(in.CurPos(), 8u);
    in.ReadBlock(block, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 3), "xt!");
    in.CurPos(100);
    EXPECT_THROW(in.Get(), eof_error);
}

TEST(PlatformByteStreams, WritingKeepsTheRestOfAnExistingFile) {
    const std::string path = TempFolder() + "/existing.txt";
    WriteAll(path, "abcdef");
    {
        OPlatformByteStream out{File(U(path))};
        EXPECT_EQ(out.CurPos(), 0u);
        EXPECT_EQ(out.Length(), 6u);
        const unsigned char xy[] = {'X', 'Y'};
        out.WriteBlock(xy, 2);
    }
    EXPECT_EQ(ReadAll(path), "XYcdef");
    {
        // Beyond the end, the gap reads as zeros.
        OPlatformByteStream out{File(U(path))};
        out.CurPos(8);
        out.Put('Z');
        EXPECT_EQ(out.Length(), 9u);
    }
    EXPECT_EQ(ReadAll(path), Bytes({'X', 'Y', 'c', 'd', 'e', 'f', 0, 0, 'Z'}));
}

TEST(PlatformByteStreams, FifosNeverBlockTheOpen) {
    const std::string path = TempFolder() + "/fifo";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    // Without a reader a FIFO cannot be written; without a writer it reads as empty.
    EXPECT_THROW(OPlatformByteStream out{File(U(path))}, io_error);
    IPlatformByteStream in{File(U(path))};
    EXPECT_EQ(in.Length(), 0u);
    EXPECT_THROW(in.Get(), eof_error);
}

TEST(PlatformByteStreams, BufferedOverFiles) {
    const std::string path = TempFolder() + "/buffered.bin";
    File file(U(path));
    file.Create();
    std::string expected;
    {
        OPlatformByteStream target(file);
        OBufferedByteStream out(target, 32768, 4096);
        OStringByteStream reference(expected);
        for (std::uint32_t i = 0; i < 30000; ++i) {
            out << i;
            reference << i;
        }
        out.Flush();
        EXPECT_EQ(target.Length(), 120000u);
    }
    ASSERT_EQ(ReadAll(path), expected);

    IPlatformByteStream source(file);
    IBufferedByteStream in(source, 32768, 4096);
    EXPECT_EQ(in.Length(), 120000u);
    for (std::uint32_t i = 29999; i > 0; i -= 7) {  // backwards, across windows
        in.CurPos(4ull * i);
        std::uint32_t value = 0;
        in >> value;
        ASSERT_EQ(value, i);
        if (i < 7) break;
    }
    in.CurPos(119998);
    std::uint32_t value;
    EXPECT_THROW(in >> value, eof_error);
}
