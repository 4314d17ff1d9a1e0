// Tests of the buffered, run-length, CRC-32 and counting stream adapters.
#include "ByteStreamTestHelpers.h"

#include <tarncore/filesupport/StreamAdapters.h>

#include <random>
#include <stdexcept>
#include <tuple>

using namespace streamtest;

namespace {

std::string Pattern(std::size_t inSize) {
    std::string data(inSize, '\0');
    for (std::size_t i = 0; i < inSize; ++i) data[i] = static_cast<char>((i * 131) ^ (i >> 8));
    return data;
}

// inCount bytes from inPosition, by Get or by ReadBlock.
std::string ReadAt(IByteStream& in, std::uint64_t inPosition, std::uint32_t inCount, bool inByGet) {
    std::string block(inCount, '\0');
    in.CurPos(inPosition);
    if (inByGet) {
        for (auto& c : block) c = static_cast<char>(in.Get());
    } else {
        in.ReadBlock(reinterpret_cast<unsigned char*>(&block[0]), inCount);
    }
    return block;
}

std::string Pack(const std::string& inPlain) {
    std::string packed;
    OStringByteStream target(packed);
    ORLEByteStream out(target);
    out.WriteBlock(Data(inPlain), static_cast<std::uint32_t>(inPlain.size()));
    out.Flush();
    return packed;
}

std::string Unpack(const std::string& inPacked) {
    IStringByteStream source(inPacked);
    IRLEByteStream in(source);
    return CopyOf(in);
}

}  // namespace

TEST(IBufferedByteStream, WindowArithmetic) {
    const std::string data = Pattern(100000);
    RecordingSource source(data);
    IBufferedByteStream in(source, 32768, 4096);
    in.CurPos(10000);
    EXPECT_EQ(source.TakeLog(), Log{}) << "moving does not read";
    const std::tuple<std::uint64_t, std::uint32_t, Log> reads[] = {
        // 10000 lies in the granule at 8192; the one before is kept too. Inside the window
        // nothing is read.
        {10000, 1, {"pos 4096", "read 32768"}},
        {4096, 1, {}},
        {36863, 1, {}},
        // Backwards the window starts at 0 (no granule before it); only the bytes before
        // the old window are read.
        {4000, 1, {"pos 0", "read 4096"}},
        {20000, 1, {}},
        // Forwards past the window the kept tail moves to the front; the last window is
        // shorter; blocks larger than the buffer minus a granule bypass it.
        {32768, 100, {"pos 32768", "read 28672"}},
        {99999, 1, {"pos 94208", "read 5792"}},
        {50000, 28673, {"pos 50000", "read 28673"}},
    };
    for (const auto& [position, count, log] : reads) {
        EXPECT_EQ(ReadAt(in, position, count, count == 1), data.substr(position, count)) << position;
        EXPECT_EQ(source.TakeLog(), log) << position;
        EXPECT_EQ(in.CurPos(), position + count);
    }
}

TEST(IBufferedByteStream, EndsAndBadArguments) {
    const std::string bytes = Bytes({10, 20, 30});
    IStringByteStream small(bytes);
    IBufferedByteStream smallIn(small, 2, 1);
    ExpectSourceEnds(smallIn, false);
    EXPECT_THROW(smallIn.CurPos(4), eof_error);
    EXPECT_EQ(smallIn.CurPos(), 1u);

    // A block past the end is refused whole, whether it would come from the window or
    // from the source; nothing of an older window is handed out.
    const std::string data = Pattern(10);
    IStringByteStream source(data);
    IBufferedByteStream in(source, 8, 4);
    unsigned char block[12] = {};
    in.ReadBlock(block, 4);
    in.CurPos(8);
    EXPECT_THROW(in.ReadBlock(block, 3), eof_error);
    EXPECT_THROW(in.ReadBlock(block, 12), eof_error);
    EXPECT_EQ(in.CurPos(), 8u);

    for (std::uint32_t granule : {0u, 17u})
        EXPECT_THROW(IBufferedByteStream(source, 16, granule), std::invalid_argument);
    EXPECT_THROW(IBufferedByteStream(source, 0, 0), std::invalid_argument);
    OCountingByteStream nowhere;
    EXPECT_THROW(OBufferedByteStream(nowhere, 0, 0), std::invalid_argument);
}

TEST(IBufferedByteStream, RandomReadsMatchTheSource) {
    const std::string data = Pattern(5000);
    std::mt19937 random(7);
    using Sizes = std::pair<std::uint32_t, std::uint32_t>;
    for (const auto& [size, granule] : {Sizes{64, 16}, Sizes{100, 7}, Sizes{37, 37}, Sizes{4096, 512}}) {
        IStringByteStream source(data);
        IBufferedByteStream in(source, size, granule);
        for (int step = 0; step < 2000; ++step) {
            const std::uint64_t position = random() % data.size();
            const auto count = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(random() % (size + 20), data.size() - position));
            ASSERT_EQ(ReadAt(in, position, count, random() % 2 == 0), data.substr(position, count))
                << position << "+" << count;
            ASSERT_EQ(in.CurPos(), position + count);
        }
    }
}

TEST(OBufferedByteStream, FlushesWhenFullMovedAndDestroyed) {
    RecordingSink sink;
    {
        OBufferedByteStream out(sink, 16, 4);
        for (int i = 0; i < 20; ++i) {
            out.Put(static_cast<unsigned char>('a' + i));
            EXPECT_EQ(sink.TakeLog(), i == 16 ? (Log{"pos 0", "write 16"}) : Log{}) << i;
        }
        // Back inside the collected bytes (or to their end): they are overwritten.
        out.CurPos(17);
        out.Put('R');
        out.CurPos(20);
        out.Put('u');
        EXPECT_EQ(sink.TakeLog(), Log{});
        out.CurPos(24);  // outside: flushed first
        EXPECT_EQ(sink.TakeLog(), (Log{"pos 16", "write 5"}));
        out.Put('@');
        sink.mFailNextWrite = true;
        EXPECT_THROW(out.Flush(), io_error);
        out.Flush();  // a failed flush keeps the bytes for the next one
        out.Flush();
        EXPECT_EQ(sink.TakeLog(), (Log{"pos 24", "pos 24", "write 1"}));
        // A block larger than the buffer goes to the target directly, after the
        // collected bytes.
        out.Put('<');
        out.WriteBlock(Data(std::string(17, '=')), 17);
        EXPECT_EQ(sink.TakeLog(), (Log{"pos 25", "write 1", "pos 26", "write 17"}));
        out.Put('!');
    }
    EXPECT_EQ(sink.TakeLog(), (Log{"pos 43", "write 1"}));
    EXPECT_EQ(sink.Data(),
              "abcdefghijklmnopqRstu" + std::string(3, '\0') + "@<" + std::string(17, '=') + "!");
}

TEST(OBufferedByteStream, TheDestructorsFlushFailsQuietly) {
    RecordingSink sink;
    {
        OBufferedByteStream out(sink, 8, 8);
        out.Put('E');
        sink.mFailNextWrite = true;
    }
    EXPECT_EQ(sink.Data(), "");
}

TEST(RunLengthStreams, PackBitsSequences) {
    std::string distinct;
    for (int i = 0; i < 129; ++i) distinct.push_back(static_cast<char>(i));
    const std::pair<std::string, std::string> packs[] = {
        {"ABBB", Bytes({0x00, 'A', 0xFE, 'B'})},
        {"ABCC", Bytes({0x03, 'A', 'B', 'C', 'C'})},
        {"AAB", Bytes({0xFF, 'A', 0x00, 'B'})},
        {std::string(130, 'X'), Bytes({0x81, 'X', 0xFF, 'X'})},
        {distinct, '\x7F' + distinct.substr(0, 128) + Bytes({0x00, 128})},
        {"", ""},
        // Two equal bytes inside literal data stay literal; three end it.
        {"ABBC", Bytes({0x03, 'A', 'B', 'B', 'C'})},
        {"ABBBC", Bytes({0x00, 'A', 0xFE, 'B', 0x00, 'C'})},
    };
    for (const auto& [plain, packed] : packs) EXPECT_EQ(Pack(plain), packed) << plain;

    // Byte by byte, the same packets; the last one waits for Flush, and the destructor
    // does not flush.
    std::string pieces;
    OStringByteStream target(pieces);
    {
        ORLEByteStream out(target);
        for (char c : {'A', 'A', 'B'}) out.Put(c);
        EXPECT_EQ(pieces, Bytes({0xFF, 'A'}));
        out.Flush();
        EXPECT_EQ(pieces, Bytes({0xFF, 'A', 0x00, 'B'}));
        EXPECT_THROW(out.CurPos(0), byte_stream_exception);
        EXPECT_THROW(out.CurPos(), byte_stream_exception);
        out.Put('C');
    }
    EXPECT_EQ(pieces, Bytes({0xFF, 'A', 0x00, 'B'}));
}

TEST(RunLengthStreams, Decoding) {
    // 80 headers are skipped; FE 42 gives three bytes 42, then the next header is read.
    const std::string packed = Bytes({0x80, 0xFE, 0x42, 0x80, 0x80, 0x01, 'a', 'b'});
    IStringByteStream source(packed);
    IRLEByteStream in(source);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(in.Get(), 0x42);
    EXPECT_EQ(source.CurPos(), 3u);
    EXPECT_EQ(CopyOf(in), "ab");
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_THROW(in.CurPos(0), byte_stream_exception);
    EXPECT_THROW(in.CurPos(), byte_stream_exception);
    // A run header whose byte is missing leaves no repeats of an older byte behind; a
    // literal packet cut short gives what it holds.
    const std::string cut = Bytes({0x00, 'z', 0xF0});
    IStringByteStream cutSource(cut);
    IRLEByteStream cutIn(cutSource);
    EXPECT_EQ(CopyOf(cutIn), "z");
    EXPECT_THROW(cutIn.Get(), eof_error);
    EXPECT_EQ(Unpack(Bytes({0x05, 'a', 'b'})), "ab");
}

TEST(RunLengthStreams, RoundTripOfRandomData) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::string plain;
        for (auto pieces = random() % 40; pieces > 0; --pieces) {
            // Runs of every length, literal stretches, and both mixed.
            const auto length = static_cast<std::size_t>(random() % 300);
            if (random() % 2 == 0) {
                plain.append(length, static_cast<char>(random() % 4));
            } else {
                for (std::size_t i = 0; i < length; ++i) plain.push_back(static_cast<char>(random() % 3));
            }
        }
        ASSERT_EQ(Unpack(Pack(plain)), plain);
    }
}

TEST(OCRCByteStream, ChecksumsAndPassesOn) {
    RecordingSink sink;
    OCRCByteStream crc(sink);
    EXPECT_EQ(crc.Value(), 0u);
    crc.WriteBlock(Data("123456789"), 9);
    EXPECT_EQ(crc.Value(), 0xCBF43926u);
    EXPECT_EQ(sink.Data(), "123456789");
    // Moving is passed on; the checksum covers the bytes in the order written.
    crc.CurPos(0);
    crc.Put('X');
    EXPECT_EQ(crc.CurPos(), 1u);
    EXPECT_EQ(sink.Data(), "X23456789");
    EXPECT_EQ(crc.Value(), 0x6574478Fu) << "the CRC-32 of 123456789X";

    // Byte by byte, in blocks of every size and alignment: the same checksum.
    const std::string data = Pattern(3000);
    OCountingByteStream nowhere;
    OCRCByteStream reference(nowhere);
    for (unsigned char b : data) reference.Put(b);
    for (std::uint32_t block : {1u, 15u, 16u, 63u, 64u, 65u, 200u, 1024u, 3000u}) {
        for (std::uint32_t offset : {0u, 1u, 7u}) {
            OCRCByteStream blocks(nowhere);
            blocks.WriteBlock(Data(data), offset);
            for (std::uint32_t i = offset; i < data.size(); i += block)
                blocks.WriteBlock(Data(data) + i,
                                  std::min(block, static_cast<std::uint32_t>(data.size()) - i));
            EXPECT_EQ(blocks.Value(), reference.Value()) << block << " from " << offset;
        }
    }
}

TEST(OCountingByteStream, MeasuresEncodedSize) {
    OCountingByteStream counter;
    counter << tarncore::utility::UTF16String(3, 'x');
    EXPECT_EQ(counter.Count(), 8u);
    counter.CurPos(2);
    counter.Put(0);
    EXPECT_EQ(counter.CurPos(), 3u);
    counter.CurPos(100);
    EXPECT_EQ(counter.Count(), 8u) << "moving alone writes nothing";
    counter.WriteBlock(Data("12345"), 5);
    EXPECT_EQ(counter.Count(), 105u);
}
