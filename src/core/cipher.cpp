#include "cipher.h"

#include <QRandomGenerator>

#include <array>
#include <utility>

namespace cipher {

namespace {

// The password keystream. It looks like RC4 but is not: both counters keep
// an extra 1 from step to step, so the mixing adds one more to j at every
// step after the first, and the generation only ever visits the odd state
// positions 1, 3, ..., 255. Every stored password was written with exactly
// this stream, so it must not be "fixed" into the published algorithm.
class Keystream
{
public:
    explicit Keystream(QByteArrayView key)
    {
        for (int k = 0; k < 256; ++k)
            m_s[k] = quint8(k);
        int j = 0; // 1..256 after the first step
        for (int k = 0; k < 256; ++k) {
            const int t = key.isEmpty() ? 0 : quint8(key[k % key.size()]);
            j = (j + m_s[k] + t) % 256 + 1;
            std::swap(m_s[k], m_s[j - 1]);
        }
    }

    quint8 nextByte()
    {
        m_i = (m_i + 1) % 256 + 1;
        m_j = (m_j + m_s[m_i - 1]) % 256 + 1;
        std::swap(m_s[m_i - 1], m_s[m_j - 1]);
        return m_s[(m_s[m_i - 1] + m_s[m_j - 1]) % 256];
    }

private:
    std::array<quint8, 256> m_s{};
    int m_i = 0; // both start from 0 for the generation
    int m_j = 0;
};

QByteArray effectiveKey(QByteArrayView key, QByteArrayView prefix)
{
    QByteArray full = key.toByteArray();
    full.append(prefix);
    return full;
}

// Digit of one body character: its place in "A".."Z" without regard to
// case, minus one; a character outside the alphabet counts as -2.
int bodyDigit(char c)
{
    if (c >= 'a' && c <= 'z')
        c = char(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    return -2;
}

} // namespace

QByteArray randomPrefix()
{
    QByteArray prefix(2, 'A');
    for (char &c : prefix)
        c = char('A' + QRandomGenerator::global()->bounded(26));
    return prefix;
}

QByteArray encipherText(QByteArrayView plain, QByteArrayView key, QByteArrayView prefix)
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOP";
    Keystream stream(effectiveKey(key, prefix));
    QByteArray stored = prefix.toByteArray();
    stored.reserve(prefix.size() + 2 * plain.size());
    for (const char c : plain) {
        const quint8 byte = quint8(c) ^ stream.nextByte();
        stored.append(kLetters[byte >> 4]);
        stored.append(kLetters[byte & 0x0F]);
    }
    return stored;
}

QByteArray encipherText(QByteArrayView plain, QByteArrayView key)
{
    return encipherText(plain, key, randomPrefix());
}

// The body is read in pieces of two characters (a last single character is
// a piece of its own) whose value is first digit * 16 + second digit; only
// the low 8 bits of that value count, so stray letters and other characters
// still give a byte. The text ends at the first zero byte.
QByteArray decipherText(QByteArrayView stored, QByteArrayView key)
{
    const QByteArrayView prefix = stored.first(qMin<qsizetype>(2, stored.size()));
    const QByteArrayView body = stored.size() > 2 ? stored.sliced(2) : QByteArrayView();
    Keystream stream(effectiveKey(key, prefix));
    QByteArray plain;
    plain.reserve((body.size() + 1) / 2);
    for (qsizetype p = 0; p < body.size(); p += 2) {
        int value = bodyDigit(body[p]);
        if (p + 1 < body.size())
            value = value * 16 + bodyDigit(body[p + 1]);
        const char byte = char(quint8(value & 0xFF) ^ stream.nextByte());
        if (byte == 0)
            break;
        plain.append(byte);
    }
    return plain;
}

} // namespace cipher
