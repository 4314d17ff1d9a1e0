// The debug stream buffers: 255-unit put areas over the debugger output and standard output.
#pragma once

#include <tarncore/platform/Export.h>
#include <tarncore/utility/StringTypes.h>

#include <streambuf>
#include <string>

namespace tarncore {
namespace debug {

/// A stream buffer that collects up to 255 units in a put area inside the object and
/// hands them on, as a NUL-terminated array, to OutputText: when the area is full, at
/// every flush of the stream and when the buffer is destroyed. A derived class's
/// destructor must call Flush(): text still pending when only the base is left has
/// nowhere to go and is dropped.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class UTF16StreamBufferImpl : public std::basic_streambuf<CharT, Traits> {
public:
    using int_type = typename Traits::int_type;
    static constexpr int kCapacity = 255;  ///< Units the put area holds.

    UTF16StreamBufferImpl() { this->setp(mArea, mArea + kCapacity); }
    UTF16StreamBufferImpl(const UTF16StreamBufferImpl&) = delete;
    UTF16StreamBufferImpl& operator=(const UTF16StreamBufferImpl&) = delete;
    ~UTF16StreamBufferImpl() override = default;

protected:
    int_type overflow(int_type inUnit) override {
        Flush();
        if (Traits::eq_int_type(inUnit, Traits::eof())) return Traits::not_eof(inUnit);
        *this->pptr() = Traits::to_char_type(inUnit);
        this->pbump(1);
        return inUnit;
    }

    int sync() override { return Flush(); }

    /// Receives one piece of pending text.
    virtual void OutputText(const CharT* inText) = 0;

    /// Hands the pending units, if any, to OutputText. Always succeeds (0).
    int Flush() {
        if (this->pptr() > this->pbase()) {
            const std::basic_string<CharT, Traits> piece(this->pbase(), this->pptr());
            this->setp(mArea, mArea + kCapacity);
            OutputText(piece.c_str());
        }
        return 0;
    }

private:
    CharT mArea[kCapacity];
};

/// Writes each piece, converted to UTF-8, to the process's debugger output
/// (tarncore/platform/DebugOutput.h) exactly as it stands.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class DebugStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
public:
    ~DebugStreamBuffer() override { this->Flush(); }

protected:
    void OutputText(const CharT* inText) override;
};

/// Writes each piece, converted to UTF-8, to standard output with puts(), which adds a
/// line feed after every piece.
template <class CharT = utility::UTF16Char, class Traits = std::char_traits<CharT>>
class UTF16StdOutStreamBuffer : public UTF16StreamBufferImpl<CharT, Traits> {
public:
    ~UTF16StdOutStreamBuffer() override { this->Flush(); }

protected:
    void OutputText(const CharT* inText) override;
};

template <>
TARNCORE_API void DebugStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText);
template <>
TARNCORE_API void UTF16StdOutStreamBuffer<utility::UTF16Char>::OutputText(const utility::UTF16Char* inText);

}  // namespace debug
}  // namespace tarncore
