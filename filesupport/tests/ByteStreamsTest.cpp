#include "ByteStreamTestHelpers.h"

#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>
#include <tarncore/utility/StringTypes.h>

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <type_traits>

using namespace tarncore::filesupport;
using namespace streamtest;
using tarncore::utility::UTF16String;

namespace {

template <class T>
std::string Encode(const T& inValue) {
    std::string bytes;
    OStringByteStream out(bytes);
    out << inValue;
    return bytes;
}

template <class T>
T Decode(const std::string& inBytes) {
    IStringByteStream in(inBytes);
    T value{};
    in >> value;
    EXPECT_EQ(in.CurPos(), inBytes.size()) << "every byte of the value is read";
    return value;
}

// Whether out << T and in >> T& compile.
template <class T, class = void>
struct Writable : std::false_type {};
template <class T>
struct Writable<T, std::void_t<decltype(std::declval<OByteStream&>() << std::declval<const T&>())>>
    : std::true_type {};
template <class T, class = void>
struct Readable : std::false_type {};
template <class T>
struct Readable<T, std::void_t<decltype(std::declval<IByteStream&>() >> std::declval<T&>())>>
    : std::true_type {};

// Every integer type goes by its own width, with nothing chosen by conversion.
template <class T>
void ExpectWidth(std::size_t inWidth) {
    static_assert(Writable<T>::value && Readable<T>::value, "integer types are encoded");
    OCountingByteStream counter;
    counter << T(1);
    EXPECT_EQ(counter.Count(), inWidth) << typeid(T).name();
    const T extreme = std::numeric_limits<T>::max();
    EXPECT_EQ(Decode<T>(Encode(extreme)), extreme) << typeid(T).name();
    const T low = std::numeric_limits<T>::min();
    EXPECT_EQ(Decode<T>(Encode(low)), low) << typeid(T).name();
}

}  // namespace

TEST(ByteStreamValues, IntegersAreBigEndianByWidth) {
    EXPECT_EQ(Encode(std::uint32_t{0x01020304}), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(Encode(std::int16_t{-2}), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(Encode(std::int64_t{-1}), std::string(8, '\xFF'));
    EXPECT_EQ(Encode(std::uint64_t{0x0102030405060708}), Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Encode(std::uint16_t{0xABCD}), Bytes({0xAB, 0xCD}));
    EXPECT_EQ(Encode(char16_t{0x20AC}), Bytes({0x20, 0xAC}));
    EXPECT_EQ(Encode(char32_t{0x1F600}), Bytes({0, 1, 0xF6, 0}));
    EXPECT_EQ(Encode('A'), "A");
    EXPECT_EQ(Encode(static_cast<signed char>(-1)), Bytes({0xFF}));
    EXPECT_EQ(Decode<std::int32_t>(Bytes({0xFF, 0xFF, 0xFF, 0xFE})), -2);
    EXPECT_EQ(Decode<std::uint32_t>(Bytes({1, 2, 3, 4})), 0x01020304u);
    EXPECT_EQ(Decode<std::int16_t>(Bytes({0x80, 0x00})), -32768);
    EXPECT_EQ(Decode<signed char>(Bytes({0x80})), -128);

    EXPECT_EQ(Encode(true), Bytes({1}));
    EXPECT_EQ(Encode(false), Bytes({0}));
    EXPECT_TRUE(Decode<bool>(Bytes({2})));
    EXPECT_FALSE(Decode<bool>(Bytes({0})));

    // Values chain.
    std::string bytes;
    OStringByteStream out(bytes);
    out << std::uint8_t{7} << std::uint16_t{0x0102} << true;
    EXPECT_EQ(bytes, Bytes({7, 1, 2, 1}));
    IStringByteStream in(bytes);
    std::uint8_t a = 0;
    std::uint16_t b = 0;
    bool c = false;
    in >> a >> b >> c;
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 0x0102);
    EXPECT_TRUE(c);
}

TEST(ByteStreamValues, EveryIntegerTypeHasItsOwnWidth) {
    // The library's 32- and 64-bit types are int and long here.
    static_assert(std::is_same<std::int32_t, int>::value, "32-bit values are int");
    static_assert(std::is_same<std::int64_t, long>::value, "64-bit values are long");
    ExpectWidth<bool>(1);
    ExpectWidth<char>(1);
    ExpectWidth<signed char>(1);
    ExpectWidth<unsigned char>(1);
    ExpectWidth<short>(2);
    ExpectWidth<unsigned short>(2);
    ExpectWidth<int>(4);
    ExpectWidth<unsigned int>(4);
    ExpectWidth<long>(8);
    ExpectWidth<unsigned long>(8);
    ExpectWidth<long long>(8);
    ExpectWidth<unsigned long long>(8);
    ExpectWidth<char16_t>(2);
    ExpectWidth<char32_t>(4);

    // No silent choices: pointers (which would go as bool) and wchar_t (whose width
    // differs between platforms) do not compile.
    static_assert(!Writable<const char*>::value, "a C string is not a bool");
    static_assert(!Writable<int*>::value, "a pointer is not a bool");
    static_assert(!Writable<wchar_t>::value, "wchar_t has no portable width");
    static_assert(!Readable<wchar_t>::value, "wchar_t has no portable width");
    static_assert(!Readable<const int>::value, "a constant is no target");
}

TEST(ByteStreamValues, StringsHaveASixteenBitLength) {
    EXPECT_EQ(Encode(std::string("ab")), Bytes({0, 2, 'a', 'b'}));
    EXPECT_EQ(Encode(std::string()), Bytes({0, 0}));
    EXPECT_EQ(Encode(UTF16String(1, 0x20AC)), Bytes({0, 1, 0x20, 0xAC}));
    EXPECT_EQ(Encode(UTF16String()), Bytes({0, 0}));
    EXPECT_EQ(Decode<std::string>(Bytes({0, 3, 'x', 0, 'y'})), std::string("x\0y", 3));
    EXPECT_EQ(Decode<UTF16String>(Bytes({0, 2, 0xD8, 0x3D, 0xDE, 0x00})), UTF16String({0xD83D, 0xDE00}));

    // The target is replaced, not appended to.
    std::string bytes = Encode(std::string("new"));
    IStringByteStream in(bytes);
    std::string target = "old";
    in >> target;
    EXPECT_EQ(target, "new");

    // 65535 units fit; one more cannot be told by the length, and nothing is written.
    const std::string longest(0xFFFF, 'x');
    const std::string encoded = Encode(longest);
    EXPECT_EQ(encoded.size(), 2u + 0xFFFF);
    EXPECT_EQ(encoded.substr(0, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(Decode<std::string>(encoded), longest);
    std::string sink = "kept";
    OStringByteStream out(sink);
    EXPECT_THROW(out << std::string(0x10000, 'x'), encoding_error);
    EXPECT_THROW(out << UTF16String(0x10000, 'x'), encoding_error);
    EXPECT_EQ(sink, "kept");
    EXPECT_EQ(Decode<UTF16String>(Encode(UTF16String(0xFFFF, 0x1234))), UTF16String(0xFFFF, 0x1234));

    // A length that promises more than the source holds.
    const std::string shortBytes = Bytes({0, 5, 'a', 'b'});
    IStringByteStream shortSource(shortBytes);
    EXPECT_THROW(shortSource >> target, eof_error);
    const std::string shortUnitBytes = Bytes({0, 2, 0, 'a', 0});
    IStringByteStream shortUnits(shortUnitBytes);
    UTF16String units;
    EXPECT_THROW(shortUnits >> units, eof_error);
}

TEST(ByteStreamValues, FloatingPointIsDecimalText) {
    EXPECT_EQ(Encode(1.5), Bytes({0, 3, '1', '.', '5'}));
    EXPECT_EQ(Encode(1.5f), Encode(1.5));
    EXPECT_EQ(Encode(-0.25L), Bytes({0, 5, '-', '0', '.', '2', '5'}));
    // 36 significant digits of the double nearest to 0.1.
    EXPECT_EQ(Encode(0.1).substr(2), "0.100000000000000005551115123125782702");

    const double doubles[] = {0.1, -1e300, 5e-324, 123456789.123456789, 1.0 / 3.0,
                              std::numeric_limits<double>::max(), -0.0,
                              std::numeric_limits<double>::infinity()};
    for (double value : doubles) {
        const std::string bytes = Encode(value);
        for (std::size_t i = 2; i < bytes.size(); ++i)
            EXPECT_TRUE(bytes[i] > ' ' && bytes[i] < 0x7F) << "ASCII text";
        const double back = Decode<double>(bytes);
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value));
    }
    EXPECT_TRUE(std::isnan(Decode<double>(Encode(std::nan("")))));
    EXPECT_EQ(Decode<double>(Encode(-std::numeric_limits<double>::infinity())),
              -std::numeric_limits<double>::infinity());
    for (float value : {0.1f, 3.4e38f, 1e-45f, -7.25f}) EXPECT_EQ(Decode<float>(Encode(value)), value);
    for (long double value : {0.1L, 1.0L / 3.0L, 1e4000L}) EXPECT_EQ(Decode<long double>(Encode(value)), value);

    // Whatever standard extraction reads is accepted.
    EXPECT_EQ(Decode<double>(Encode(std::string(" +2.5e1"))), 25.0);
    EXPECT_EQ(Decode<double>(Encode(std::string("7 and more"))), 7.0);
    EXPECT_EQ(Decode<float>(Encode(std::string("1e2"))), 100.0f);
    // Text that holds no number of the type is an error; the target keeps its value.
    for (const char* text : {"", "abc", "-", "1e400"}) {
        const std::string bytes = Encode(std::string(text));
        IStringByteStream in(bytes);
        double target = 42;
        EXPECT_THROW(in >> target, encoding_error) << text;
        EXPECT_EQ(target, 42);
    }
    const std::string tooLargeForFloat = Encode(1e300);
    IStringByteStream in(tooLargeForFloat);
    float small = 1;
    EXPECT_THROW(in >> small, encoding_error);
}

namespace {
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};
}  // namespace

TEST(ByteStreamValues, FloatingPointTextIgnoresTheGlobalLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    const std::string bytes = Encode(1234.5);
    const double back = Decode<double>(bytes);
    std::locale::global(previous);
    EXPECT_EQ(bytes.substr(2), "1234.5");
    EXPECT_EQ(back, 1234.5);
}

TEST(ByteStreamBase, SlotsAndCallbacks) {
    const int first = ByteStream_base::xalloc();
    EXPECT_EQ(ByteStream_base::xalloc(), first + 1);

    static std::vector<std::pair<int, int>> calls;
    calls.clear();
    {
        std::string bytes;
        OStringByteStream stream(bytes);
        std::int32_t& slot = stream.iword(5);
        EXPECT_EQ(slot, 0);
        slot = 17;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(stream.iword(i), 0);
        EXPECT_EQ(stream.iword(5), 17);
        EXPECT_EQ(stream.pword(2), nullptr);
        int marker = 0;
        stream.pword(2) = &marker;
        EXPECT_EQ(stream.pword(2), &marker);
        EXPECT_THROW(stream.iword(-1), std::out_of_range);
        EXPECT_THROW(stream.pword(-1), std::out_of_range);

        const auto record = [](ByteStream_base::event inEvent, ByteStream_base& inStream, int inIndex) {
            calls.emplace_back(static_cast<int>(inEvent), inIndex);
            // The slots are still there while the callbacks run.
            if (inIndex == 2) {
                EXPECT_EQ(inStream.iword(5), 17);
            }
        };
        stream.register_callback(record, 2);
        stream.register_callback(record, 1);
        EXPECT_TRUE(calls.empty());
    }
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 2}, {0, 1}}));
}

TEST(MemoryByteStreams, BufferSourceEndsAndPositions) {
    const unsigned char data[] = {10, 20, 30};
    IBufferByteStream in(data, 3);
    EXPECT_EQ(in.Length(), 3u);
    EXPECT_EQ(in.Get(), 10);
    EXPECT_EQ(in.Get(), 20);
    EXPECT_EQ(in.Get(), 30);
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_EQ(in.CurPos(), 3u);
    in.CurPos(0);
    EXPECT_EQ(in.Get(), 10);

    // A block that does not fit is not read, and the position stays.
    unsigned char block[4] = {};
    EXPECT_THROW(in.ReadBlock(block, 3), eof_error);
    EXPECT_EQ(in.CurPos(), 1u);
    in.ReadBlock(block, 2);
    EXPECT_EQ(block[1], 30);

    // A position far beyond the end is harmless until something is read there.
    in.CurPos(std::numeric_limits<std::uint64_t>::max());
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_THROW(in.ReadBlock(block, 1), eof_error);

    IBufferByteStream empty(nullptr, 0);
    EXPECT_THROW(empty.Get(), eof_error);
    empty.ReadBlock(block, 0);
}

TEST(MemoryByteStreams, BufferSinkCapacityAndCount) {
    unsigned char data[4] = {};
    OBufferByteStream out(data, 4);
    EXPECT_EQ(out.Capacity(), 4u);
    for (unsigned char b : {1, 2, 3, 4}) out.Put(b);
    EXPECT_THROW(out.Put(5), eof_error);
    EXPECT_EQ(out.Count(), 4u);
    out.CurPos(1);
    out.Put(9);
    EXPECT_EQ(out.Count(), 4u);
    EXPECT_EQ(data[1], 9);
    EXPECT_EQ(out.CurPos(), 2u);

    // A block that does not fit stores nothing.
    const unsigned char block[3] = {7, 7, 7};
    EXPECT_THROW(out.WriteBlock(block, 3), eof_error);
    EXPECT_EQ(data[2], 3);
    EXPECT_EQ(out.CurPos(), 2u);
    out.WriteBlock(block, 2);
    EXPECT_EQ(data[3], 7);

    // Count() never exceeds the buffer, wherever the position goes.
    unsigned char other[8] = {};
    OBufferByteStream sparse(other, 8);
    sparse.CurPos(5);
    EXPECT_EQ(sparse.Count(), 5u);
    sparse.CurPos(1000);
    EXPECT_EQ(sparse.Count(), 8u);
    EXPECT_THROW(sparse.Put(1), eof_error);
}

TEST(MemoryByteStreams, DequesAndStrings) {
    std::deque<unsigned char> deque;
    ODequeByteStream out(deque);
    out << std::uint16_t{0x4142};
    out.CurPos(0);  // ignored: writes append
    out.Put('C');
    EXPECT_EQ(out.CurPos(), 3u);
    EXPECT_EQ(deque, (std::deque<unsigned char>{'A', 'B', 'C'}));

    IDequeByteStream in(deque);
    EXPECT_EQ(in.Length(), 3u);
    in.CurPos(2);
    EXPECT_EQ(in.Get(), 'C');
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_EQ(in.CurPos(), 3u);
    deque.push_back('D');  // a growing deque is followed
    EXPECT_EQ(in.Length(), 4u);
    EXPECT_EQ(in.Get(), 'D');
    in.CurPos(100);
    EXPECT_THROW(in.Get(), eof_error);
    unsigned char block[2];
    in.CurPos(3);
    EXPECT_THROW(in.ReadBlock(block, 2), eof_error);
    EXPECT_EQ(in.CurPos(), 3u);

    std::string text = "xy";
    OStringByteStream sout(text);
    sout << std::string("z");
    EXPECT_EQ(text, Bytes({'x', 'y', 0, 1, 'z'}));
    EXPECT_EQ(sout.CurPos(), 5u);
    IStringByteStream sin(text);
    sin.CurPos(2);
    std::string z;
    sin >> z;
    EXPECT_EQ(z, "z");
    EXPECT_THROW(sin.Get(), eof_error);
}

TEST(ByteStreamCopy, KnownAndUnknownLength) {
    std::deque<unsigned char> source;
    for (int i = 0; i < 10; ++i) source.push_back(static_cast<unsigned char>(i));
    std::deque<unsigned char> target;
    IDequeByteStream in(source);
    ODequeByteStream out(target);
    out << in;
    EXPECT_EQ(target, source);

    // From the middle, the rest is copied.
    in.CurPos(7);
    std::string rest;
    OStringByteStream restOut(rest);
    restOut << in;
    EXPECT_EQ(rest, Bytes({7, 8, 9}));

    // A source of unknown length is copied to its end; the end is no error.
    std::string packed = Bytes({0xFD, 'a', 1, 'b', 'c'});
    IStringByteStream packedIn(packed);
    IRLEByteStream unpacked(packedIn);
    ASSERT_EQ(unpacked.Length(), 0u);
    std::string plain;
    OStringByteStream plainOut(plain);
    plainOut << unpacked;
    EXPECT_EQ(plain, "aaaabc");

    // Larger than one copy block.
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    IStringByteStream bigIn(big);
    std::string bigCopy;
    OStringByteStream bigOut(bigCopy);
    bigOut << bigIn;
    EXPECT_EQ(bigCopy, big);

    // Other failures pass through.
    struct Failing : IByteStream {
        unsigned char Get() override { throw io_error(); }
        void CurPos(std::uint64_t) override {}
        std::uint64_t CurPos() const override { return 0; }
    } failing;
    EXPECT_THROW(plainOut << failing, io_error);
}

TEST(StdByteStreams, ReadWriteAndEnd) {
    std::stringstream stream;
    OStdByteStream out(stream);
    out << std::uint32_t{0x61626364};
    out.Put('e');
    EXPECT_EQ(out.CurPos(), 5u);
    out.CurPos(1);
    out.Put('B');
    EXPECT_EQ(stream.str(), "aBcde");

    IStdByteStream in(stream);
    EXPECT_EQ(in.Length(), 5u);
    EXPECT_EQ(in.CurPos(), 0u);
    in.CurPos(3);
    EXPECT_EQ(in.Get(), 'd');
    EXPECT_EQ(in.Length(), 5u);
    EXPECT_EQ(in.CurPos(), 4u) << "asking the length leaves the position";
    EXPECT_EQ(in.Get(), 'e');
    // The end shows as eof_error as well as in the stream's state.
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_TRUE(stream.eof());
    stream.clear();
    in.CurPos(0);
    unsigned char block[8];
    EXPECT_THROW(in.ReadBlock(block, 8), eof_error);

    // Copying an empty stream ends.
    std::istringstream empty;
    IStdByteStream emptyIn(empty);
    EXPECT_EQ(emptyIn.Length(), 0u);
    std::string copy;
    OStringByteStream copyOut(copy);
    copyOut << emptyIn;
    EXPECT_TRUE(copy.empty());
}
