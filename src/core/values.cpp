#include "values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace values {

namespace {

// Full-width forms U+FF01..U+FF5E are the ASCII characters 0x21..0x7E moved
// up by 0xFEE0; the ideographic space stands for a blank.
char16_t foldWidth(char16_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return char16_t(c - 0xFEE0);
    if (c == 0x3000)
        return u' ';
    return c;
}

bool isLeadingBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The leading decimal number of already folded text, as ASCII without its
// sign; empty when the text does not start with one.
struct Scanned
{
    bool negative = false;
    std::string digits; // mantissa and exponent, e.g. "12.5e+3"
};

Scanned scanNumber(const std::u16string &text)
{
    Scanned out;
    size_t i = 0;
    while (i < text.size() && isLeadingBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        out.negative = text[i++] == u'-';
    bool anyDigit = false;
    for (; i < text.size() && isDigit(text[i]); ++i, anyDigit = true)
        out.digits += char(text[i]);
    if (i < text.size() && text[i] == u'.') {
        out.digits += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, anyDigit = true)
            out.digits += char(text[i]);
    }
    if (!anyDigit)
        return {};
    // An exponent counts only when at least one digit follows "e" or "e+".
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            out.digits += 'e';
            out.digits.append(text.begin() + i + 1, text.begin() + j); // the sign, if any
            for (; j < text.size() && isDigit(text[j]); ++j)
                out.digits += char(text[j]);
        }
    }
    return out;
}

// Whether a number out of double's range is too large (rather than too
// small): its decimal exponent is positive.
bool isOverflow(const std::string &digits)
{
    const size_t e = digits.find('e');
    const std::string mantissa = digits.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        size_t j = e + 1;
        const bool negative = j < digits.size() && digits[j] == '-';
        if (j < digits.size() && (digits[j] == '+' || digits[j] == '-'))
            ++j;
        for (; j < digits.size() && exponent < 100000000; ++j)
            exponent = exponent * 10 + (digits[j] - '0');
        if (negative)
            exponent = -exponent;
    }
    const size_t firstSignificant = mantissa.find_first_not_of("0.");
    const size_t point = mantissa.find('.');
    const size_t intEnd = point == std::string::npos ? mantissa.size() : point;
    // Position of the first significant digit relative to the point.
    const long long magnitude = firstSignificant < intEnd
        ? static_cast<long long>(intEnd - firstSignificant)
        : -static_cast<long long>(firstSignificant - intEnd - 1);
    return exponent + magnitude > 0;
}

} // namespace

double textToNumber(QStringView text)
{
    std::u16string folded;
    folded.reserve(size_t(text.size()));
    for (const QChar c : text)
        folded += foldWidth(c.unicode());
    const Scanned scanned = scanNumber(folded);
    if (scanned.digits.empty())
        return 0.0;
    const std::string &s = scanned.digits;
    double value = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range)
        value = isOverflow(s) ? std::numeric_limits<double>::max() : 0.0;
    else if (error != std::errc() || !std::isfinite(value))
        value = 0.0;
    return scanned.negative ? -value : value;
}

qint32 truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483648.0)
        return std::numeric_limits<qint32>::max();
    if (value <= -2147483649.0)
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}

qint32 textToInt(QStringView text)
{
    return truncToInt(textToNumber(text));
}

QString formatG13(double value)
{
    // to_chars formats as printf does in the C locale, whatever the
    // process locale says about decimal points.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 13);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString flagText(bool value)
{
    return (value ? kTrue : kFalse).toString();
}

bool isTrueFlag(QStringView text)
{
    return text == kTrue;
}

} // namespace values
