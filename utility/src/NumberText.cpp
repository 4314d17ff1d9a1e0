// Numbers to and from regional UTF-16 text, reading what users type, and the calculator.
#include <tarncore/utility/NumberText.h>

#include <tarncore/utility/Locale.h>
#include <tarncore/utility/TextStreams.h>
#include <tarncore/utility/UnicodeStrings.h>

#include "RegionalSettings.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace tarncore {
namespace utility {

namespace {

template <class... Args>
std::string Format(const char* inFormat, Args... inArgs) {
    const int length = std::snprintf(nullptr, 0, inFormat, inArgs...);
    if (length <= 0) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), inFormat, inArgs...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

UTF16String Widen(const std::string& inText) { return UTF16String(inText.begin(), inText.end()); }

bool IsDigit(UTF16Char c) { return c >= '0' && c <= '9'; }

// "." and "," that stand before a digit become the regional separators, in one pass so
// that a separator put in is never changed again.
UTF16String Localize(const std::string& inText) {
    const regional::Settings& settings = regional::Get();
    UTF16String result = Widen(inText);
    for (std::size_t i = 0; i + 1 < inText.size(); ++i) {
        if (!IsDigit(static_cast<unsigned char>(inText[i + 1]))) continue;
        if (inText[i] == '.')
            result[i] = settings.decimalSeparator;
        else if (inText[i] == ',')
            result[i] = settings.thousandsSeparator;
    }
    return result;
}

// Full-width punctuation and digits and the ideographic comma and full stop to ASCII.
void NormalizeWidth(UTF16String& ioText) {
    ToNumericCase(ioText);
    for (UTF16Char& unit : ioText) {
        if (unit == 0x3001)
            unit = ',';
        else if (unit == 0x3002)
            unit = '.';
    }
}

void Delocalize(UTF16String& ioText) {
    NormalizeWidth(ioText);
    const regional::Settings& settings = regional::Get();
    for (UTF16Char& unit : ioText) {
        if (unit == settings.decimalSeparator)
            unit = '.';
        else if (unit == settings.thousandsSeparator)
            unit = ',';
    }
}

// One double from the start of the text as a stream reads it; 0 when that fails.
template <class Stream>
double ReadNumber(Stream& ioStream) {
    double value = 0;
    if (!(ioStream >> value)) return 0;
    return value;
}

}  // namespace

UTF16String NumberToString(std::int32_t inValue) { return Widen(Format("%" PRId32, inValue)); }

UTF16String NumberToString(std::int64_t inValue) { return Widen(Format("%" PRId64, inValue)); }

UTF16String NumberToHexString(std::int32_t inValue) {
    return Widen(Format("%" PRIX32, static_cast<std::uint32_t>(inValue)));
}

UTF16String NumberToString(double inValue, int inMinIntegerDigits, int inDecimals,
                           Flags<unsigned short> inFlags) {
    const bool negative = inValue < 0;
    const double magnitude = std::fabs(inValue);
    // Decimals 0 rounds half away from zero; std::round does it without the error that
    // adding 0.5 brings to large values, and beyond any integer type's range.
    std::string text =
        inDecimals == 0 ? Format("%.0f", std::round(magnitude)) : Format("%1.*f", inDecimals, magnitude);
    const bool scientific = text.size() > 22;
    if (scientific) {
        text = Format("%e", magnitude);
    } else {
        std::size_t point = text.find('.');
        std::size_t integerDigits = point == std::string::npos ? text.size() : point;
        if (inMinIntegerDigits > 0 && integerDigits < static_cast<std::size_t>(inMinIntegerDigits)) {
            const std::size_t padding = static_cast<std::size_t>(inMinIntegerDigits) - integerDigits;
            text.insert(0, padding, inFlags.Test(kNumberPadWithSpaces) ? ' ' : '0');
            integerDigits += padding;
        }
        if (inFlags.Test(kNumberGroupThousands) && integerDigits > 3) {
            std::string grouped;
            std::size_t first = integerDigits % 3 == 0 ? 3 : integerDigits % 3;
            grouped.append(text, 0, first);
            for (std::size_t i = first; i < integerDigits; i += 3) grouped.append(",").append(text, i, 3);
            grouped.append(text, integerDigits, std::string::npos);
            text.swap(grouped);
        }
    }
    if (negative)
        text.insert(0, 1, '-');
    else if (inFlags.Test(kNumberPlusSign))
        text.insert(0, 1, '+');
    else if (inFlags.Test(kNumberSpaceForSign))
        text.insert(0, 1, ' ');
    if (!scientific && inFlags.Test(kNumberTrimZeros) && text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return inFlags.Test(kNumberNotLocalized) ? Widen(text) : Localize(text);
}

UTF16String NumberToString(double inValue) { return NumberToString(inValue, 1, 2, 0); }

double StringToNumber(const UTF16String& inText, Flags<unsigned short> inFlags) {
    UTF16String text = inText;
    if (!inFlags.Test(kNumberNotDelocalized)) Delocalize(text);
    std::string narrow;
    narrow.reserve(text.size());
    // Units that are not ASCII cannot be part of a number; they end it as any other
    // non-number character would.
    for (UTF16Char unit : text) {
        if (unit == ',') continue;
        narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '\x7F');
    }
    // The calculator reads every operand through here: reuse one stream per thread
    // rather than build a stream and its locale for each.
    thread_local std::istringstream stream = [] {
        std::istringstream made;
        made.imbue(std::locale::classic());
        return made;
    }();
    stream.clear();
    stream.str(narrow);
    return ReadNumber(stream);
}

namespace {

bool IsOperator(UTF16Char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || c == 'e' || c == 'E' || c == '^';
}

bool IsDroppable(UTF16Char c) { return c == '*' || c == '/' || c == 'e' || c == 'E' || c == '^'; }

bool IsExpressionUnit(UTF16Char c) {
    return IsDigit(c) || IsOperator(c) || c == '(' || c == ')' || c == '.' || c == ',';
}

double Combine(double inLeft, UTF16Char inOperator, double inRight) {
    switch (inOperator) {
    case 'e':
    case 'E': return inLeft * std::pow(10.0, inRight);
    case '+': return inLeft + inRight;
    case '-': return inLeft - inRight;
    case '*': return inLeft * inRight;
    case '/': return inRight == 0 ? inLeft : inLeft / inRight;
    default: return std::pow(inLeft, inRight);
    }
}

// Evaluates by splitting at the loosest operator and evaluating both sides. The text is
// one buffer that each part rewrites in place (dropping operators) within its own range.
//
// Recursion is spent only on right-hand parts and on parenthesised left-hand parts:
// a chain "a+b+c+..." is walked in a loop that reuses the operator positions found by
// one scan (the left part of a split scans exactly like that prefix of its parent), so
// long flat expressions cost linear time and no stack. Nesting deeper than
// kCalculateMaxDepth makes the whole expression 0.
class Calculator {
public:
    explicit Calculator(UTF16String& ioText) : mText(ioText) {}

    double Evaluate(std::size_t inBegin, std::size_t inEnd, int inDepth) {
        if (mTooDeep) return 0;
        if (inDepth > kCalculateMaxDepth) {
            mTooDeep = true;
            return 0;
        }
        if (inEnd - inBegin <= 1) return Leaf(inBegin, inEnd);
        StripOuterParentheses(inBegin, inEnd);

        // Positions, in the rewritten text, of the operators at depth 0.
        std::vector<std::size_t> exponents, additives, multiplies, divides, powers;
        std::size_t write = inBegin;
        std::size_t firstClose = kNone;  // where the "(" at inBegin closes
        int depth = 0;
        bool hasPrevious = false;
        UTF16Char previous = 0;
        for (std::size_t read = inBegin; read < inEnd; ++read) {
            const UTF16Char c = mText[read];
            const bool dropped = depth == 0 && IsDroppable(c) && (!hasPrevious || IsOperator(previous));
            previous = c;
            hasPrevious = true;
            if (dropped) continue;  // a binary operator at the start or after another
            if (depth == 0) {
                if (c == '+' || c == '-')
                    additives.push_back(write);
                else if (c == 'e' || c == 'E')
                    exponents.push_back(write);
                else if (c == '*')
                    multiplies.push_back(write);
                else if (c == '/')
                    divides.push_back(write);
                else if (c == '^')
                    powers.push_back(write);
            }
            mText[write++] = c;
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
                if (depth == 0 && firstClose == kNone && mText[inBegin] == '(') firstClose = write - 1;
            }
        }

        struct Pending {
            UTF16Char op;
            double right;
        };
        std::vector<Pending> pending;
        std::size_t end = write;
        double value = 0;
        for (;;) {
            for (auto* list : {&exponents, &additives, &multiplies, &divides, &powers})
                while (!list->empty() && list->back() >= end) list->pop_back();
            const std::vector<std::size_t>* chosen = nullptr;
            for (auto* list : {&exponents, &additives, &multiplies, &divides, &powers}) {
                if (!list->empty()) {
                    chosen = list;
                    break;
                }
            }
            if (chosen == nullptr) {
                value = Leaf(inBegin, end);
                break;
            }
            const std::size_t split = chosen->back();
            const UTF16Char op = mText[split];
            pending.push_back({op, Evaluate(split + 1, end, inDepth + 1)});
            if (mTooDeep) return 0;
            end = split;
            if (end - inBegin <= 1) {
                value = Leaf(inBegin, end);
                break;
            }
            // A left part in parentheses of its own is evaluated afresh; any other
            // left part scans as the prefix it is.
            if (mText[inBegin] == '(' && mText[end - 1] == ')' &&
                (firstClose == kNone || firstClose >= end - 1)) {
                value = Evaluate(inBegin, end, inDepth + 1);
                break;
            }
        }
        for (std::size_t i = pending.size(); i-- > 0;)
            value = Combine(value, pending[i].op, pending[i].right);
        return mTooDeep ? 0 : value;
    }

    bool TooDeep() const { return mTooDeep; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    double Leaf(std::size_t inBegin, std::size_t inEnd) const {
        return StringToNumber(mText.substr(inBegin, inEnd - inBegin), kNumberNotLocalized);
    }

    // Removes enclosing pairs "(" ... ")" as long as what remains never closes more
    // parentheses than it opened. With k pairs removed, the prefix balance of the rest
    // is the balance from inBegin minus k, so one pass finds how many pairs may go.
    void StripOuterParentheses(std::size_t& ioBegin, std::size_t& ioEnd) const {
        std::size_t pairs = 0;
        while (2 * (pairs + 1) <= ioEnd - ioBegin && mText[ioBegin + pairs] == '(' &&
               mText[ioEnd - 1 - pairs] == ')')
            ++pairs;
        if (pairs == 0) return;
        long balance = 0;
        long lowest = static_cast<long>(pairs);  // the balance right after the opening run
        for (std::size_t i = ioBegin; i < ioEnd; ++i) {
            balance += mText[i] == '(' ? 1 : mText[i] == ')' ? -1 : 0;
            const std::size_t next = i + 1;
            if (next >= ioBegin + pairs && next <= ioEnd - pairs && balance < lowest) lowest = balance;
        }
        if (balance < 0 || lowest <= 0) return;
        const std::size_t removed = std::min(pairs, static_cast<std::size_t>(lowest));
        ioBegin += removed;
        ioEnd -= removed;
    }

    UTF16String& mText;
    bool mTooDeep = false;
};

}  // namespace

double Calculate(UTF16String inText) {
    NormalizeWidth(inText);
    std::size_t kept = 0;
    for (UTF16Char unit : inText)
        if (IsExpressionUnit(unit)) inText[kept++] = unit;
    inText.resize(kept);
    Calculator calculator(inText);
    return calculator.Evaluate(0, inText.size(), 0);
}

}  // namespace utility

namespace Locale {

double GetValueFromDisplayString(const utility::UTF16String& inText) {
    if (inText.empty()) return 0;
    iUTF16StringStream userStream(inText);
    userStream.imbue(Native());
    const double user = utility::ReadNumber(userStream);
    iUTF16StringStream classicStream(inText);
    classicStream.imbue(Default());
    const double classic = utility::ReadNumber(classicStream);
    // A classic reading of 0 ("0,5" stops at the comma) does not contradict the user's.
    if ((user > 0 && classic >= 0 && user > classic) || (user < 0 && classic <= 0 && user < classic))
        return user;
    return classic;
}

}  // namespace Locale
}  // namespace tarncore
