#include "ByteStreamTestHelpers.h"

#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>
#include <tarncore/utility/StringTypes.h>

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace tarncore::filesupport;
using namespace streamtest;
using Log = std::vector<std::string>;

namespace {

std::string Pattern(std::size_t inSize) {
    std::string data(inSize, '\0');
    for (std::size_t i = 0; i < inSize; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 8));
    return data;
}

std::string Pack(const std::string& inPlain) {
    std::string packed;
    OStringByteStream target(packed);
    ORLEByteStream out(target);
    out.WriteBlock(reinterpret_cast<const unsigned char*>(inPlain.data()),
                   static_cast<std::uint32_t>(inPlain.size()));
    out.Flush();
    return packed;
}

std::string Unpack(const std::string& inPacked) {
    IStringByteStream source(inPacked);
    IRLEByteStream in(source);
    std::string plain;
    OStringByteStream out(plain);
    out << in;
    return plain;
}

}  // namespace

TEST(IBufferedByteStream, WindowArithmetic) {
    const std::string data = Pattern(100000);
    RecordingSource source(data);
    IBufferedByteStream in(source, 32768, 4096);
    EXPECT_EQ(in.Length(), 100000u);

    // 10000 lies in the granule at 8192; the one before is kept too.
    in.CurPos(10000);
    EXPECT_TRUE(source.TakeLog().empty()) << "moving does not read";
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[10000]));
    EXPECT_EQ(source.TakeLog(), (Log{"pos 4096", "read 32768"}));

    // Inside the window nothing is read.
    in.CurPos(4096);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[4096]));
    in.CurPos(36863);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[36863]));
    EXPECT_TRUE(source.TakeLog().empty());

    // Backwards: the window starts at 0 (the granule there has none before it), and
    // only the bytes before the old window are read.
    in.CurPos(4000);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[4000]));
    EXPECT_EQ(source.TakeLog(), (Log{"pos 0", "read 4096"}));
    in.CurPos(20000);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[20000]));
    EXPECT_TRUE(source.TakeLog().empty());

    // Forwards past the window: the kept tail moves to the front.
    in.CurPos(32768);
    unsigned char block[100];
    in.ReadBlock(block, 100);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 100), data.substr(32768, 100));
    EXPECT_EQ(source.TakeLog(), (Log{"pos 32768", "read 28672"}));

    // The last window is shorter.
    in.CurPos(99999);
    EXPECT_EQ(in.Get(), static_cast<unsigned char>(data[99999]));
    EXPECT_EQ(source.TakeLog(), (Log{"pos 94208", "read 5792"}));

    // Blocks larger than the buffer minus a granule bypass it.
    std::string large(28673, '\0');
    in.CurPos(50000);
    in.ReadBlock(reinterpret_cast<unsigned char*>(&large[0]), 28673);
    EXPECT_EQ(large, data.substr(50000, 28673));
    EXPECT_EQ(source.TakeLog(), (Log{"pos 50000", "read 28673"}));
    EXPECT_EQ(in.CurPos(), 78673u);
}

TEST(IBufferedByteStream, EndsAndBadArguments) {
    const std::string data = Pattern(10);
    RecordingSource source(data);
    IBufferedByteStream in(source, 8, 4);
    in.CurPos(10);
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_THROW(in.CurPos(11), eof_error);
    EXPECT_EQ(in.CurPos(), 10u);

    // A block past the end is refused whole, whether it would come from the window or
    // from the source; nothing of an older window is handed out.
    in.CurPos(0);
    unsigned char block[12] = {};
    in.ReadBlock(block, 4);
    in.CurPos(8);
    EXPECT_THROW(in.ReadBlock(block, 3), eof_error);
    EXPECT_THROW(in.ReadBlock(block, 12), eof_error);
    EXPECT_EQ(in.CurPos(), 8u);
    in.ReadBlock(block, 2);
    EXPECT_EQ(block[1], static_cast<unsigned char>(data[9]));

    EXPECT_THROW(IBufferedByteStream(source, 0, 0), std::invalid_argument);
    EXPECT_THROW(IBufferedByteStream(source, 16, 0), std::invalid_argument);
    EXPECT_THROW(IBufferedByteStream(source, 16, 17), std::invalid_argument);
    // A granule as large as the buffer works: every block goes to the source.
    IBufferedByteStream whole(source, 16, 16);
    whole.CurPos(9);
    EXPECT_EQ(whole.Get(), static_cast<unsigned char>(data[9]));
}

TEST(IBufferedByteStream, RandomReadsMatchTheSource) {
    const std::string data = Pattern(5000);
    std::mt19937 random(7);
    for (const auto& sizes : {std::pair<std::uint32_t, std::uint32_t>{64, 16}, {100, 7}, {37, 37}, {4096, 512}}) {
        IStringByteStream source(data);
        IBufferedByteStream in(source, sizes.first, sizes.second);
        for (int step = 0; step < 2000; ++step) {
            const std::uint64_t position = random() % data.size();
            const auto count = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(random() % (sizes.first + 20), data.size() - position));
            in.CurPos(position);
            std::string block(count, '\0');
            if (random() % 2 == 0) {
                in.ReadBlock(reinterpret_cast<unsigned char*>(&block[0]), count);
            } else {
                for (auto& c : block) c = static_cast<char>(in.Get());
            }
            ASSERT_EQ(block, data.substr(position, count)) << position << "+" << count;
            ASSERT_EQ(in.CurPos(), position + count);
        }
    }
}

TEST(OBufferedByteStream, FlushesWhenFullMovedAndDestroyed) {
    RecordingSink sink;
    {
        OBufferedByteStream out(sink, 16, 4);
        for (int i = 0; i < 16; ++i) out.Put(static_cast<unsigned char>('a' + i));
        EXPECT_TRUE(sink.TakeLog().empty());
        out.Put('q');
        EXPECT_EQ(sink.TakeLog(), (Log{"pos 0", "write 16"}));
        for (int i = 0; i < 3; ++i) out.Put(static_cast<unsigned char>('r' + i));
        EXPECT_EQ(out.CurPos(), 20u);
        EXPECT_TRUE(sink.TakeLog().empty());
    }
    EXPECT_EQ(sink.TakeLog(), (Log{"pos 16", "write 4"}));
    EXPECT_EQ(sink.Data(), "abcdefghijklmnopqrst");

    RecordingSink moved;
    {
        OBufferedByteStream out(moved, 16, 4);
        const unsigned char block[4] = {'w', 'x', 'y', 'z'};
        out.WriteBlock(block, 4);
        // Back inside the collected bytes (or to their end): they are overwritten.
        out.CurPos(1);
        out.Put('X');
        out.CurPos(4);
        out.Put('!');
        EXPECT_TRUE(moved.TakeLog().empty());
        // Outside: flushed first.
        out.CurPos(10);
        EXPECT_EQ(moved.TakeLog(), (Log{"pos 0", "write 5"}));
        out.Put('@');
        out.Flush();
        EXPECT_EQ(moved.TakeLog(), (Log{"pos 10", "write 1"}));
        out.Flush();
        EXPECT_TRUE(moved.TakeLog().empty()) << "nothing left to flush";

        // A block larger than the buffer goes to the target directly, after the
        // collected bytes.
        out.Put('<');
        const std::string big(17, '=');
        out.WriteBlock(reinterpret_cast<const unsigned char*>(big.data()), 17);
        EXPECT_EQ(moved.TakeLog(), (Log{"pos 11", "write 1", "pos 12", "write 17"}));
        EXPECT_EQ(out.CurPos(), 29u);
    }
    EXPECT_TRUE(moved.TakeLog().empty());
    EXPECT_EQ(moved.Data(), std::string("wXyz!") + std::string(5, '\0') + "@<" + std::string(17, '='));

    EXPECT_THROW(OBufferedByteStream(sink, 0, 0), std::invalid_argument);
}

TEST(OBufferedByteStream, AFailedFlushKeepsTheBytes) {
    RecordingSink sink;
    {
        OBufferedByteStream out(sink, 8, 8);
        out << std::uint32_t{0x41424344};
        sink.mFailNextWrite = true;
        EXPECT_THROW(out.Flush(), io_error);
        EXPECT_TRUE(sink.Data().empty());
        out.Flush();
        EXPECT_EQ(sink.Data(), "ABCD");

        // The destructor's flush fails quietly rather than ending the program.
        out.Put('E');
        sink.mFailNextWrite = true;
    }
    EXPECT_EQ(sink.Data(), "ABCD");
}

TEST(RunLengthStreams, PackBitsSequences) {
    EXPECT_EQ(Pack("ABBB"), Bytes({0x00, 'A', 0xFE, 'B'}));
    EXPECT_EQ(Pack("ABCC"), Bytes({0x03, 'A', 'B', 'C', 'C'}));
    EXPECT_EQ(Pack("AAB"), Bytes({0xFF, 'A', 0x00, 'B'}));
    EXPECT_EQ(Pack(std::string(130, 'X')), Bytes({0x81, 'X', 0xFF, 'X'}));
    EXPECT_EQ(Pack(""), "");

    std::string distinct;
    for (int i = 0; i < 129; ++i) distinct.push_back(static_cast<char>(i));
    const std::string packed = Pack(distinct);
    ASSERT_EQ(packed.size(), 1u + 128 + 2);
    EXPECT_EQ(packed[0], '\x7F');
    EXPECT_EQ(packed.substr(1, 128), distinct.substr(0, 128));
    EXPECT_EQ(packed.substr(129), Bytes({0x00, 128}));

    // Two equal bytes inside literal data stay literal; three end it.
    EXPECT_EQ(Pack("ABBC"), Bytes({0x03, 'A', 'B', 'B', 'C'}));
    EXPECT_EQ(Pack("ABBBC"), Bytes({0x00, 'A', 0xFE, 'B', 0x00, 'C'}));

    // Byte by byte, in pieces, the same packets.
    std::string pieces;
    OStringByteStream target(pieces);
    ORLEByteStream out(target);
    out.Put('A');
    out.Put('A');
    out.Put('B');
    EXPECT_EQ(pieces, Bytes({0xFF, 'A'})) << "the last packet waits for Flush";
    out.Flush();
    EXPECT_EQ(pieces, Bytes({0xFF, 'A', 0x00, 'B'}));
    EXPECT_THROW(out.CurPos(0), byte_stream_exception);
    EXPECT_THROW(out.CurPos(), byte_stream_exception);
}

TEST(RunLengthStreams, DestructionDoesNotFlush) {
    std::string packed;
    OStringByteStream target(packed);
    {
        ORLEByteStream out(target);
        out.Put('A');
        out.Put('B');
    }
    EXPECT_TRUE(packed.empty());
}

TEST(RunLengthStreams, Decoding) {
    // 80 headers are skipped; FE 42 gives three bytes 42, then the next header is read.
    const std::string packed = Bytes({0x80, 0xFE, 0x42, 0x80, 0x80, 0x01, 'a', 'b'});
    IStringByteStream source(packed);
    IRLEByteStream in(source);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(in.Get(), 0x42);
    EXPECT_EQ(source.CurPos(), 3u);
    EXPECT_EQ(in.Get(), 'a');
    EXPECT_EQ(in.Get(), 'b');
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_EQ(in.Length(), 0u);
    EXPECT_THROW(in.CurPos(0), byte_stream_exception);
    EXPECT_THROW(in.CurPos(), byte_stream_exception);

    // A run header whose byte is missing leaves no repeats of an older byte behind.
    const std::string cutBytes = Bytes({0x00, 'z', 0xF0});
    IStringByteStream cut(cutBytes);
    IRLEByteStream cutIn(cut);
    EXPECT_EQ(cutIn.Get(), 'z');
    EXPECT_THROW(cutIn.Get(), eof_error);
    EXPECT_THROW(cutIn.Get(), eof_error);
    // A literal packet cut short.
    EXPECT_EQ(Unpack(Bytes({0x05, 'a', 'b'})), "ab");
}

TEST(RunLengthStreams, RoundTripOfRandomData) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string plain;
        const int pieces = static_cast<int>(random() % 40);
        for (int piece = 0; piece < pieces; ++piece) {
            // Runs of every length, literal stretches, and both mixed.
            const auto length = static_cast<std::size_t>(random() % 300);
            if (random() % 2 == 0) {
                plain.append(length, static_cast<char>(random() % 4));
            } else {
                for (std::size_t i = 0; i < length; ++i) plain.push_back(static_cast<char>(random() % 3));
            }
        }
        const std::string packed = Pack(plain);
        ASSERT_EQ(Unpack(packed), plain);
        for (std::size_t i = 0; i < packed.size();) {
            const auto header = static_cast<signed char>(packed[i]);
            ASSERT_NE(header, -128) << "the writer never makes a no-op header";
            i += header >= 0 ? 2 + header : 2;
        }
    }
}

TEST(OCRCByteStream, ChecksumsAndPassesOn) {
    std::string passed;
    OStringByteStream target(passed);
    OCRCByteStream crc(target);
    EXPECT_EQ(crc.Value(), 0u);
    const std::string check = "123456789";
    crc.WriteBlock(reinterpret_cast<const unsigned char*>(check.data()), 9);
    EXPECT_EQ(crc.Value(), 0xCBF43926u);
    EXPECT_EQ(passed, check);

    // Byte by byte, in blocks of every size and alignment: the same checksum.
    const std::string data = Pattern(3000);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    OCountingByteStream nowhere;
    OCRCByteStream reference(nowhere);
    for (unsigned char b : data) reference.Put(b);
    for (std::uint32_t block : {1u, 15u, 16u, 63u, 64u, 65u, 200u, 1024u, 3000u}) {
        for (std::uint32_t offset : {0u, 1u, 7u}) {
            OCRCByteStream blocks(nowhere);
            for (std::uint32_t i = 0; i < offset; ++i) blocks.Put(bytes[i]);
            for (std::uint32_t i = offset; i < data.size(); i += block)
                blocks.WriteBlock(bytes + i, std::min<std::uint32_t>(block, static_cast<std::uint32_t>(data.size()) - i));
            EXPECT_EQ(blocks.Value(), reference.Value()) << block << " from " << offset;
        }
    }

    // Moving is passed on; the checksum covers the bytes in the order written.
    RecordingSink sink;
    OCRCByteStream moving(sink);
    moving.Put('1');
    moving.CurPos(0);
    EXPECT_EQ(moving.CurPos(), 0u);
    moving.Put('2');
    EXPECT_EQ(sink.Data(), "2");
    OCountingByteStream none;
    OCRCByteStream straight(none);
    straight.Put('1');
    straight.Put('2');
    EXPECT_EQ(moving.Value(), straight.Value());
}

TEST(OCountingByteStream, MeasuresEncodedSize) {
    OCountingByteStream counter;
    counter << tarncore::utility::UTF16String(3, 'x');
    EXPECT_EQ(counter.Count(), 8u);
    counter.CurPos(2);
    counter.Put(0);
    EXPECT_EQ(counter.CurPos(), 3u);
    EXPECT_EQ(counter.Count(), 8u);
    counter.CurPos(100);
    EXPECT_EQ(counter.Count(), 8u) << "moving alone writes nothing";
    const unsigned char block[5] = {};
    counter.WriteBlock(block, 5);
    EXPECT_EQ(counter.Count(), 105u);
}
