// Tests of the values' byte layout, the stream slots and callbacks, and the memory and standard streams.
#include "ByteStreamTestHelpers.h"

#include <tarncore/filesupport/StreamAdapters.h>

#include <cmath>
#include <deque>
#include <limits>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <type_traits>

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

// The value read into a target that holds inValue before; every byte must be used.
template <class T>
T Decode(const std::string& inBytes, T inValue = T{}) {
    IStringByteStream in(inBytes);
    in >> inValue;
    EXPECT_EQ(in.CurPos(), inBytes.size());
    return inValue;
}

// Whether out << T compiles.
template <class T, class = void>
struct Writable : std::false_type {};
template <class T>
struct Writable<T, std::void_t<decltype(std::declval<OByteStream&>() << std::declval<const T&>())>>
    : std::true_type {};

// Each integer type goes by its own width, big-endian, with nothing chosen by conversion.
template <std::size_t Width, class... Types>
void ExpectWidth() {
    const auto expect = [](auto inOne) {
        using T = decltype(inOne);
        EXPECT_EQ(Encode(T(1)), std::string(Width - 1, '\0') + '\1') << typeid(T).name();
        for (T value : {std::numeric_limits<T>::min(), std::numeric_limits<T>::max()})
            EXPECT_EQ(Decode<T>(Encode(value)), value) << typeid(T).name();
    };
    (expect(Types{}), ...);
}

}  // namespace

TEST(ByteStreamValues, EncodedByteForByte) {
    static_assert(std::is_same<std::int32_t, int>::value && std::is_same<std::int64_t, long>::value,
                  "32-bit values are int, 64-bit values long");
    ExpectWidth<1, bool, char, signed char, unsigned char>();
    ExpectWidth<2, short, unsigned short, char16_t>();
    ExpectWidth<4, int, unsigned int, char32_t>();
    ExpectWidth<8, long, unsigned long, long long, unsigned long long>();
    // No silent choices: a pointer would go as bool, and wchar_t has no portable width.
    static_assert(!Writable<const char*>::value && !Writable<int*>::value, "a pointer is not a bool");
    static_assert(!Writable<wchar_t>::value, "wchar_t has no portable width");

    const std::pair<std::string, std::string> encodings[] = {
        {Encode(std::uint32_t{0x01020304}), Bytes({1, 2, 3, 4})},
        {Encode(std::int16_t{-2}), Bytes({0xFF, 0xFE})},
        {Encode(std::int64_t{-1}), std::string(8, '\xFF')},
        {Encode(true), Bytes({1})},
        {Encode(std::uint64_t{0x0102030405060708}), Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
        {Encode(std::string("ab")), Bytes({0, 2, 'a', 'b'})},
        {Encode(std::string()), Bytes({0, 0})},
        {Encode(UTF16String(1, 0x20AC)), Bytes({0, 1, 0x20, 0xAC})},
        {Encode(UTF16String()), Bytes({0, 0})},
        {Encode(1.5), Bytes({0, 3, '1', '.', '5'})},
        {Encode(1.5f), Bytes({0, 3, '1', '.', '5'})},
        {Encode(-0.25L), Bytes({0, 5, '-', '0', '.', '2', '5'})},
        // 36 significant digits of the double nearest to 0.1.
        {Encode(0.1), Bytes({0, 38}) + "0.100000000000000005551115123125782702"},
        {Encode(-std::numeric_limits<double>::infinity()), Bytes({0, 4}) + "-inf"},
    };
    for (const auto& [encoded, expected] : encodings) EXPECT_EQ(encoded, expected);
    EXPECT_EQ(Decode<std::int16_t>(Bytes({0x80, 0x00})), -32768);
    EXPECT_TRUE(Decode<bool>(Bytes({2})));
    EXPECT_EQ(Decode<std::string>(Bytes({0, 3, 'x', 0, 'y'}), "old"), std::string("x\0y", 3));
    EXPECT_EQ(Decode<UTF16String>(Bytes({0, 2, 0xD8, 0x3D, 0xDE, 0x00})), UTF16String({0xD83D, 0xDE00}));
}

TEST(ByteStreamValues, StringLengthsAreChecked) {
    // 65535 units fit; one more cannot be told by the length, and nothing is written.
    const std::string longest(0xFFFF, 'x');
    EXPECT_EQ(Encode(longest).substr(0, 2), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(Decode<std::string>(Encode(longest)), longest);
    std::string sink = "kept";
    OStringByteStream out(sink);
    EXPECT_THROW(out << std::string(0x10000, 'x'), encoding_error);
    EXPECT_THROW(out << UTF16String(0x10000, 'x'), encoding_error);
    EXPECT_EQ(sink, "kept");
    // A length that promises more than the source holds.
    EXPECT_THROW(Decode<std::string>(Bytes({0, 5, 'a', 'b'})), eof_error);
    EXPECT_THROW(Decode<UTF16String>(Bytes({0, 2, 0, 'a', 0})), eof_error);
}

TEST(ByteStreamValues, FloatingPointRoundTrips) {
    // The text is the classic one whatever the global locale: here one with a decimal comma.
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    struct Restore {
        std::locale mPrevious;
        ~Restore() { std::locale::global(mPrevious); }
    } restore{std::locale::global(std::locale(std::locale::classic(), new CommaDecimal))};
    EXPECT_EQ(Encode(1234.5).substr(2), "1234.5");

    const double inf = std::numeric_limits<double>::infinity();
    for (double value :
         {0.1, -1e300, 5e-324, 1234.5, 1.0 / 3.0, std::numeric_limits<double>::max(), -0.0, inf, -inf}) {
        const double back = Decode<double>(Encode(value));
        EXPECT_TRUE(back == value && std::signbit(back) == std::signbit(value)) << value;
    }
    EXPECT_TRUE(std::isnan(Decode<double>(Encode(std::nan("")))));
    for (float value : {0.1f, 3.4e38f, 1e-45f, -7.25f}) EXPECT_EQ(Decode<float>(Encode(value)), value);
    for (long double value : {0.1L, 1.0L / 3.0L, 1e4000L})
        EXPECT_EQ(Decode<long double>(Encode(value)), value);

    // Whatever standard extraction reads is accepted; text that holds no number of the
    // type is an error, and the target keeps its value.
    EXPECT_EQ(Decode<double>(Encode(std::string(" +2.5e1"))), 25.0);
    EXPECT_EQ(Decode<double>(Encode(std::string("7 and more"))), 7.0);
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

TEST(ByteStreamBase, SlotsAndCallbacks) {
    const int first = ByteStream_base::xalloc();
    EXPECT_EQ(ByteStream_base::xalloc(), first + 1);
    static std::vector<std::pair<int, int>> calls;
    {
        OCountingByteStream stream;
        EXPECT_EQ(stream.iword(5), 0);
        stream.iword(5) = 17;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(stream.iword(i), 0);
        stream.pword(2) = &calls;
        EXPECT_EQ(stream.pword(1), nullptr);
        EXPECT_THROW(stream.iword(-1), std::out_of_range);
        const auto record = [](ByteStream_base::event inEvent, ByteStream_base& inStream, int inIndex) {
            EXPECT_TRUE(inStream.iword(5) == 17 && inStream.pword(2) == &calls)
                << "the slots are still there";
            calls.emplace_back(static_cast<int>(inEvent), inIndex);
        };
        stream.register_callback(record, 2);
        stream.register_callback(record, 1);
        EXPECT_TRUE(calls.empty());
    }
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{0, 2}, {0, 1}}));
}

TEST(MemoryByteStreams, SourcesEndAndPosition) {
    const std::string text = Bytes({10, 20, 30});
    std::deque<unsigned char> deque(text.begin(), text.end());
    IBufferByteStream buffer(Data(text), 3), empty(nullptr, 0);
    IStringByteStream string(text);
    IDequeByteStream fromDeque(deque);
    for (IByteStream* in : std::initializer_list<IByteStream*>{&buffer, &string, &fromDeque})
        ExpectSourceEnds(*in);
    buffer.CurPos(std::numeric_limits<std::uint64_t>::max());
    EXPECT_THROW(buffer.Get(), eof_error);
    deque.push_back(40);
    fromDeque.CurPos(3);
    EXPECT_EQ(fromDeque.Get(), 40) << "a growing deque is followed";
    EXPECT_THROW(empty.Get(), eof_error);
    empty.ReadBlock(nullptr, 0);
}

TEST(MemoryByteStreams, Sinks) {
    unsigned char data[4] = {};
    OBufferByteStream out(data, 4);
    for (unsigned char b : {1, 2, 3, 4}) out.Put(b);
    EXPECT_THROW(out.Put(5), eof_error);
    out.CurPos(1);
    out.Put(9);
    EXPECT_EQ(out.Count(), 4u);
    // A block that does not fit stores nothing.
    EXPECT_THROW(out.WriteBlock(Data("777"), 3), eof_error);
    EXPECT_EQ(out.CurPos(), 2u);
    out.WriteBlock(Data("77"), 2);
    EXPECT_EQ(std::string(data, data + 4), Bytes({1, 9, '7', '7'}));
    // Count() never exceeds the buffer, wherever the position goes.
    out.CurPos(1000);
    EXPECT_EQ(out.Count(), 4u);

    // Deques and strings append whatever the position.
    std::deque<unsigned char> deque{'x'};
    std::string text = "x";
    ODequeByteStream toDeque(deque);
    OStringByteStream toString(text);
    for (OByteStream* sink : std::initializer_list<OByteStream*>{&toDeque, &toString}) {
        sink->CurPos(0);
        sink->Put('C');
        EXPECT_EQ(sink->CurPos(), 2u);
    }
    EXPECT_EQ(std::string(deque.begin(), deque.end()) + text, "xCxC");
}

TEST(ByteStreamCopy, KnownAndUnknownLength) {
    std::deque<unsigned char> source{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, target;
    IDequeByteStream in(source);
    ODequeByteStream out(target);
    out << in;
    EXPECT_EQ(target, source);

    // From a position on, the rest is copied, also when it is larger than a copy block.
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    IStringByteStream bigIn(big);
    bigIn.CurPos(7);
    EXPECT_EQ(CopyOf(bigIn), big.substr(7));

    // A source of unknown length is copied to its end; the end is no error, but any
    // other failure passes through.
    const std::string packed = Bytes({0xFD, 'a', 1, 'b', 'c'});
    IStringByteStream packedIn(packed);
    IRLEByteStream unpacked(packedIn);
    ASSERT_EQ(unpacked.Length(), 0u);
    EXPECT_EQ(CopyOf(unpacked), "aaaabc");
    struct Failing : IRLEByteStream {
        using IRLEByteStream::IRLEByteStream;
        unsigned char Get() override { throw io_error(); }
    } failing(packedIn);
    EXPECT_THROW(CopyOf(failing), io_error);
}

TEST(StdByteStreams, ReadWriteAndEnd) {
    std::stringstream stream;
    OStdByteStream out(stream);
    out << std::uint32_t{0x61626364};
    EXPECT_EQ(out.CurPos(), 4u);
    out.CurPos(1);
    out.Put('B');
    EXPECT_EQ(stream.str(), "aBcd");

    IStdByteStream in(stream);
    in.CurPos(2);
    EXPECT_EQ(in.Get(), 'c');
    EXPECT_EQ(in.Length(), 4u);
    EXPECT_EQ(in.CurPos(), 3u) << "asking the length leaves the position";
    EXPECT_EQ(in.Get(), 'd');
    // The end shows as eof_error as well as in the stream's state, so that a copy of a
    // stream of unknown length ends.
    EXPECT_THROW(in.Get(), eof_error);
    EXPECT_TRUE(stream.eof());
    stream.clear();
    in.CurPos(0);
    unsigned char block[8];
    EXPECT_THROW(in.ReadBlock(block, 8), eof_error);
    std::istringstream empty;
    IStdByteStream emptyIn(empty);
    EXPECT_EQ(emptyIn.Length(), 0u);
    EXPECT_EQ(CopyOf(emptyIn), "");
}
