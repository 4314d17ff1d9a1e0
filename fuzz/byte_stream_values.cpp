// Arbitrary bytes read as encoded values of every type, directly and through a buffer.
// The values are read through an IBufferByteStream: each value is announced by a byte
// (its type, or a move of the position), and the same sequence is read at once through
// an IBufferedByteStream of a buffer size and granule taken from the first byte. Both
// must agree on every value, every exception and every position; only eof_error and
// encoding_error may come out; and an integer or string read must encode to exactly
// the bytes it came from.
#include <tarncore/filesupport/StandardByteStreams.h>
#include <tarncore/filesupport/StreamAdapters.h>
#include <tarncore/utility/StringTypes.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace tarncore::filesupport;
using tarncore::utility::UTF16String;

namespace {

enum class Outcome { kValue, kEnd, kBadValue };

template <class T>
bool Same(const T& a, const T& b) {
    if constexpr (std::is_floating_point<T>::value) {
        return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
    } else {
        return a == b;
    }
}

template <class T>
Outcome Read(IByteStream& in, T& outValue) {
    try {
        in >> outValue;
        return Outcome::kValue;
    } catch (const eof_error&) {
        return Outcome::kEnd;
    } catch (const encoding_error&) {
        return Outcome::kBadValue;
    }
}

template <class T>
void Check(const unsigned char* inData, IByteStream& inPlain, IByteStream& inBuffered, bool inReencode) {
    const std::uint64_t start = inPlain.CurPos();
    T a{}, b{};
    const Outcome plain = Read(inPlain, a);
    const Outcome buffered = Read(inBuffered, b);
    if (plain != buffered || inPlain.CurPos() != inBuffered.CurPos()) std::abort();
    if (plain != Outcome::kValue) return;
    if (!Same(a, b)) std::abort();
    if (!inReencode) return;
    std::string bytes;
    OStringByteStream out(bytes);
    out << a;
    const std::uint64_t end = inPlain.CurPos();
    if (bytes.size() != end - start || std::memcmp(bytes.data(), inData + start, bytes.size()) != 0)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t bufferSize = 1 + (data[0] & 0x3F) * 3;
    const std::uint32_t granule = std::max<std::uint32_t>(1, bufferSize >> (data[0] >> 6));
    const unsigned char* bytes = data + 1;
    const std::uint64_t length = size - 1;

    IBufferByteStream plain(bytes, length);
    IBufferByteStream source(bytes, length);
    IBufferedByteStream buffered(source, bufferSize, granule);

    // Moves backwards could repeat forever; the number of steps is bounded.
    for (std::size_t step = 0; step < 4 * size + 16; ++step) {
        unsigned char op = 0, op2 = 0;
        const Outcome a = Read(plain, op), b = Read(buffered, op2);
        if (a != b || op != op2) std::abort();
        if (a != Outcome::kValue) break;
        switch (op % 20) {
        case 0: Check<bool>(bytes, plain, buffered, false); break;
        case 1: Check<char>(bytes, plain, buffered, true); break;
        case 2: Check<signed char>(bytes, plain, buffered, true); break;
        case 3: Check<unsigned char>(bytes, plain, buffered, true); break;
        case 4: Check<short>(bytes, plain, buffered, true); break;
        case 5: Check<unsigned short>(bytes, plain, buffered, true); break;
        case 6: Check<int>(bytes, plain, buffered, true); break;
        case 7: Check<unsigned int>(bytes, plain, buffered, true); break;
        case 8: Check<long>(bytes, plain, buffered, true); break;
        case 9: Check<unsigned long>(bytes, plain, buffered, true); break;
        case 10: Check<long long>(bytes, plain, buffered, true); break;
        case 11: Check<unsigned long long>(bytes, plain, buffered, true); break;
        case 12: Check<char16_t>(bytes, plain, buffered, true); break;
        case 13: Check<char32_t>(bytes, plain, buffered, true); break;
        case 14: Check<float>(bytes, plain, buffered, false); break;
        case 15: Check<double>(bytes, plain, buffered, false); break;
        case 16: Check<long double>(bytes, plain, buffered, false); break;
        case 17: Check<std::string>(bytes, plain, buffered, true); break;
        case 18: Check<UTF16String>(bytes, plain, buffered, true); break;
        default: {
            // A move to a position inside the data (or to its end).
            unsigned short where = 0, where2 = 0;
            const Outcome c = Read(plain, where), d = Read(buffered, where2);
            if (c != d || where != where2) std::abort();
            if (c != Outcome::kValue) break;
            const std::uint64_t position = where % (length + 1);
            plain.CurPos(position);
            buffered.CurPos(position);
            break;
        }
        }
    }
    return 0;
}
