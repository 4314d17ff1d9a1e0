// Tests of the text streams, the debug stream buffers, the process-wide streams and SetStreamBuffer.
#include <tarncore/platform/DebugOutput.h>
#include <tarncore/utility/DebugStreamBuffers.h>
#include <tarncore/utility/ProcessStreams.h>
#include <tarncore/utility/TextStreams.h>
#include <tarncore/utility/UnicodeStrings.h>

#include <gtest/gtest.h>

#include <iomanip>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace tarncore;
using namespace tarncore::utility;

namespace {

UTF16String W(const char16_t* inText) { return MakeUTF16(inText); }
UTF8String N(const char* inText) { return MakeUTF8(inText); }

struct RecordingSink : platform::DebugOutputSink {
    platform::DebugOutputSink* previous = platform::SetDebugOutputSink(this);
    std::vector<std::string> pieces;
    ~RecordingSink() override { platform::SetDebugOutputSink(previous); }
    void Write(std::string_view inPiece) override { pieces.emplace_back(inPiece); }
};

// Records what a UTF16StreamBufferImpl hands on.
struct PieceBuffer : debug::UTF16StreamBufferImpl<> {
    std::vector<UTF16String> pieces;
    ~PieceBuffer() override { Flush(); }
    void OutputText(const UTF16Char* inText) override { pieces.emplace_back(inText); }
};

}  // namespace

TEST(TextStreams, UTF16StreamsReadAndWriteNumbersAndWords) {
    iUTF16StringStream in(W(u"12 34 -1.5e3 0x1F true"));
    int a = 0, b = 0;
    double d = 0;
    unsigned hex = 0;
    bool flag = false;
    EXPECT_TRUE(in >> a >> b >> d >> std::hex >> hex >> std::boolalpha >> flag);
    EXPECT_EQ(std::make_tuple(a, b, d, hex, flag), std::make_tuple(12, 34, -1500.0, 0x1Fu, true));

    oUTF16StringStream out;
    out << 42 << ' ' << -7L << ' ' << 3.25 << ' ' << std::hex << 255 << std::dec << ' '
        << std::setprecision(3) << 2.0 / 3 << ' ' << std::boolalpha << true << ' '
        << std::numeric_limits<std::uint64_t>::max() << ' ' << "text " << W(u"\u00e9t\u00e9");
    EXPECT_TRUE(out.good());
    EXPECT_EQ(out.str(), W(u"42 -7 3.25 ff 0.667 true 18446744073709551615 text \u00e9t\u00e9"));

    const UTF16Char words[] = {'a', 0x3000, 'b', ' ', 0x00A0, 'c', 0};
    UTF16String first, second;
    iUTF16StringStream(words) >> first >> second;
    EXPECT_EQ(first + W(u"|") + second, W(u"a|b"));  // U+3000 ideographic space separates words
    EXPECT_FALSE(iUTF16StringStream(static_cast<const UTF16Char*>(nullptr)) >> a);
}

TEST(TextStreams, UTF8StreamsReadAndWriteNumbers) {
    iUTF8StringStream in(N("  7 65535 4294967295 -9223372036854775808 2.5 x"));
    int small = 0, none = 99;
    unsigned short u16 = 0;
    std::uint32_t u32 = 0;
    std::int64_t i64 = 0;
    float f = 0;
    EXPECT_TRUE(in >> small >> u16 >> u32 >> i64 >> f);
    EXPECT_EQ(std::make_tuple(small, u16, u32, i64, f),
              std::make_tuple(7, 65535, 4294967295u, std::numeric_limits<std::int64_t>::min(), 2.5f));
    EXPECT_FALSE(in >> none);  // "x" is not a number
    EXPECT_EQ(none, 0);
    const UTF8Char bytes[] = {'4', '2', 0};
    EXPECT_TRUE(iUTF8StringStream(bytes) >> none);
    EXPECT_EQ(none, 42);

    oUTF8StringStream out;
    out << 1 << 'x' << UTF8Char('y') << 0.5 << ' ' << -0.0 << ' ' << 1e300 << N(" \xC3\xA9");
    EXPECT_EQ(out.str(), N("1xy0.5 -0 1e+300 \xC3\xA9"));
}

TEST(TextStreams, PunctuationFollowsTheLocale) {
    oUTF16StringStream out;
    out.imbue(WithTextStreamFacets(std::locale::classic(), NumberPunctuation{',', '.', "\3"}));
    out << std::fixed << std::setprecision(2) << 1234567.891;
    EXPECT_EQ(out.str(), W(u"1.234.567,89"));
    iUTF16StringStream in(W(u"1.234,5"));
    in.imbue(out.getloc());
    double value = 0;
    EXPECT_TRUE(in >> value);
    EXPECT_EQ(value, 1234.5);

    // UTF-8 streams cannot hold a separator beyond ASCII: they keep the classic one.
    oUTF8StringStream out8;
    out8.imbue(WithTextStreamFacets(std::locale::classic(), NumberPunctuation{',', 0x202F, "\3"}));
    out8 << 1234567 << ' ' << 0.5;
    EXPECT_EQ(out8.str(), N("1234567 0,5"));
    oUTF16StringStream out16;
    out16.imbue(out8.getloc());
    out16 << 1234567;
    EXPECT_EQ(out16.str(), W(u"1\u202F234\u202F567"));

    // A plain standard stream of these units formats numbers once its locale is
    // completed; completing a complete locale gives it back unchanged.
    std::basic_ostringstream<UTF16Char> plain;
    EXPECT_FALSE(HasTextStreamFacets(plain.getloc()));
    plain.imbue(WithTextStreamFacets(plain.getloc()));
    plain << 5 << ',' << 6.5;
    EXPECT_EQ(plain.str(), W(u"5,6.5"));
    EXPECT_TRUE(WithTextStreamFacets(plain.getloc()) == plain.getloc());
}

TEST(StreamBuffer, HandsOnPiecesOfAtMost255Units) {
    PieceBuffer buffer;
    UTF16OutputStream out(&buffer);
    out << UTF16String(300, 'a');
    EXPECT_EQ(buffer.pieces.size(), 1u);  // when the put area is full
    out << std::flush << std::flush;      // the second has nothing to hand on
    out << 12 << std::endl << "tail";
    EXPECT_EQ(buffer.pieces,
              (std::vector<UTF16String>{UTF16String(255, 'a'), UTF16String(45, 'a'), W(u"12\n")}));
}

TEST(ProcessStreams, DebugAsWrittenAndUTF16OutALinePerPiece) {
    RecordingSink sink;
    {
        debug::DebugStreamBuffer<> buffer;
        UTF16OutputStream(&buffer) << W(u"caf\u00e9");  // handed on when the buffer goes
    }
    streams::Debug << std::flush;  // nothing pending: nothing written
    streams::Debug << "line " << 1 << "\n" << std::flush;
    EXPECT_EQ(sink.pieces, (std::vector<std::string>{"caf\xC3\xA9", "line 1\n"}));

    // Standard output receives a line per piece.
    ::testing::internal::CaptureStdout();
    streams::UTF16Out << UTF16String(300, 'x') << std::flush << W(u"\u00e9") << std::flush;
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              std::string(255, 'x') + "\n" + std::string(45, 'x') + "\n\xC3\xA9\n");
}

TEST(SetStreamBuffer, ResetsTheStreamOverTheNewBuffer) {
    std::stringbuf first, second;
    std::ostream out(&first);
    out.setstate(std::ios::failbit);
    out << std::hex << std::setfill('*') << std::setprecision(2);
    EXPECT_EQ(SetStreamBuffer(out, &second), &first);
    EXPECT_TRUE(out.good());
    out << std::setw(4) << 255 << ' ' << 3.14159;
    EXPECT_EQ(first.str() + "|" + second.str(), "| 255 3.14159");

    PieceBuffer first16, second16;
    UTF16OutputStream out16;
    EXPECT_TRUE(out16.bad());  // no buffer yet
    EXPECT_EQ(SetStreamBuffer(out16, &first16), nullptr);
    out16 << std::hex << 255 << std::flush;
    out16.setstate(std::ios::failbit);
    EXPECT_EQ(SetStreamBuffer(out16, &second16), &first16);
    EXPECT_TRUE(out16.good());
    out16 << 255 << std::flush;  // decimal again, and numbers still work
    EXPECT_EQ(first16.pieces, std::vector<UTF16String>{W(u"ff")});
    EXPECT_EQ(second16.pieces, std::vector<UTF16String>{W(u"255")});
}
