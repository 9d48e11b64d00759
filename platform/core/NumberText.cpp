#include "platform/core/NumberText.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The characters of the text with blanks left out, as the reading sees them.
class BlankSkippingCursor {
public:
    explicit BlankSkippingCursor(std::string_view text) : m_text(text) { skip(); }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    void next() {
        ++m_pos;
        skip();
    }

private:
    void skip() {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos])) {
            ++m_pos;
        }
    }
    std::string_view m_text;
    std::size_t m_pos = 0;
};

int digitValue(char c, int radix) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        v = c - 'A' + 10;
    }
    return v < radix ? v : -1;
}

// Hexadecimal and octal constants are 16-bit or 32-bit two's complement values, so "&HFFFF"
// reads as -1 just as it does for the classic runtime.
double radixNumber(BlankSkippingCursor& cur, int radix) {
    unsigned long long value = 0;
    bool any = false;
    for (int d = digitValue(cur.peek(), radix); d >= 0; d = digitValue(cur.peek(), radix)) {
        any = true;
        if (value <= 0xFFFFFFFFull) {
            value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        }
        cur.next();
    }
    if (!any) {
        return 0;
    }
    if (value <= 0xFFFF) {
        return value > 0x7FFF ? static_cast<double>(value) - 65536.0 : static_cast<double>(value);
    }
    if (value <= 0xFFFFFFFFull) {
        return value > 0x7FFFFFFF ? static_cast<double>(value) - 4294967296.0 : static_cast<double>(value);
    }
    return static_cast<double>(value);
}

} // namespace

std::string str(long long number) {
    return number < 0 ? std::to_string(number) : " " + std::to_string(number);
}

std::string numberForFile(long long number) {
    return str(number) + " ";
}

namespace {

// The power of ten of the first significant digit of a number gathered as
// "[sign]digits[.digits][e[sign]digits]" that holds a digit other than 0.
long long orderOfMagnitude(std::string_view compact) {
    const std::size_t e = compact.find('e');
    const std::string_view mantissa = compact.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::from_chars(compact.data() + e + 1 + (compact[e + 1] == '+'), compact.data() + compact.size(), exponent);
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return exponent;
    }
    const long long place =
        first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
    return place + exponent;
}

} // namespace

double val(std::string_view text) {
    BlankSkippingCursor cur(text);
    if (cur.peek() == '&') {
        cur.next();
        const char r = cur.peek();
        if (r == 'H' || r == 'h') {
            cur.next();
            return radixNumber(cur, 16);
        }
        if (r == 'O' || r == 'o') {
            cur.next();
            return radixNumber(cur, 8);
        }
        return 0;
    }

    // Gather the number in a compact form and let the standard library do the rounding.
    std::string compact;
    if (cur.peek() == '+' || cur.peek() == '-') {
        compact += cur.peek();
        cur.next();
    }
    bool mantissaDigits = false;
    while (cur.peek() >= '0' && cur.peek() <= '9') {
        compact += cur.peek();
        mantissaDigits = true;
        cur.next();
    }
    if (cur.peek() == '.') {
        compact += '.';
        cur.next();
        while (cur.peek() >= '0' && cur.peek() <= '9') {
            compact += cur.peek();
            mantissaDigits = true;
            cur.next();
        }
    }
    if (!mantissaDigits) {
        return 0;
    }
    const char e = cur.peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        cur.next();
        std::string exponent = "e";
        if (cur.peek() == '+' || cur.peek() == '-') {
            exponent += cur.peek();
            cur.next();
        }
        bool expDigits = false;
        while (cur.peek() >= '0' && cur.peek() <= '9') {
            if (exponent.size() < 12) { // beyond this the result is 0 or infinite anyway
                exponent += cur.peek();
            }
            expDigits = true;
            cur.next();
        }
        if (expDigits) {
            compact += exponent;
        }
    }
    // from_chars ignores the C locale, which the window system may have set to a decimal comma.
    double value = 0;
    const char* first = compact.data();
    if (*first == '+') {
        ++first;
    }
    const auto [end, ec] = std::from_chars(first, compact.data() + compact.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too small or too large for a double: the power of ten of its first significant digit
        // says which, whether the exponent was written or the digits stand after many zeros.
        const bool negative = compact[0] == '-';
        if (orderOfMagnitude(compact) < 0) {
            return negative ? -0.0 : 0.0;
        }
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

} // namespace platform
