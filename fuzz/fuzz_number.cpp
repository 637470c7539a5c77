// Fuzzes the value conventions: text to number, to integer, and "%.13g".
//
// Input: a mode byte, then either UTF-16 code units (so full-width forms and
// lone surrogates arrive), UTF-8 text, or the eight bytes of a double.
//
// Invariants:
//  - textToNumber never gives an infinity or NaN;
//  - textToInt is textToNumber truncated and saturated;
//  - formatG13 text reads back within its 13 significant digits, and that
//    read-back value prints as the same text again.
#include "core/values.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

qint32 expectedInt(double x)
{
    if (x >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    if (x <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    return qint32(std::trunc(x));
}

void checkRoundTrip(double x)
{
    const QString text = values::formatG13(x);
    check(!text.isEmpty() && text.size() <= 24);
    const double y = values::textToNumber(text);
    check(std::isfinite(y));
    // 13 significant digits: half a unit of the 13th digit, plus the
    // rounding of the read-back to the nearest double.
    const double tolerance = std::abs(x) * 6e-13 + std::numeric_limits<double>::denorm_min();
    check(std::abs(y - x) <= tolerance);
    check(values::formatG13(y) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    QString text;
    switch (data[0] % 3) {
    case 0:
        text = QString(reinterpret_cast<const QChar *>(bytes), length / 2);
        break;
    case 1:
        text = QString::fromUtf8(bytes, length);
        break;
    default: {
        double d = 0;
        if (length < qsizetype(sizeof d))
            return 0;
        std::memcpy(&d, bytes, sizeof d);
        if (std::isfinite(d))
            checkRoundTrip(d);
        return 0;
    }
    }
    const double x = values::textToNumber(text);
    check(std::isfinite(x));
    check(values::textToInt(text) == expectedInt(x));
    checkRoundTrip(x);
    return 0;
}
