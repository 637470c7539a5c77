// Fuzzes the password cipher with any stored text and any key.
//
// Input: a key length byte, the key, then the stored text.
//
// Invariants:
//  - deciphering anything never crashes and never yields a zero byte (the
//    text ends there) nor more bytes than the body holds pairs;
//  - the enciphered form is the prefix and two letters "A".."P" per byte;
//  - what was deciphered, enciphered again under the same prefix and key,
//    deciphers to itself.
#include "core/cipher.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool isBodyLetter(char c)
{
    return c >= 'A' && c <= 'P';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype keyLength = qMin<qsizetype>(quint8(input[0]) % 64, input.size() - 1);
    const QByteArrayView key = input.sliced(1, keyLength);
    const QByteArrayView stored = input.sliced(1 + keyLength);

    const QByteArray plain = cipher::decipherText(stored, key);
    check(!plain.contains('\0'));
    const qsizetype bodySize = stored.size() > 2 ? stored.size() - 2 : 0;
    check(plain.size() <= (bodySize + 1) / 2);

    const QByteArray prefix = stored.size() >= 2 ? stored.first(2).toByteArray() : QByteArray("QZ");
    const QByteArray again = cipher::encipherText(plain, key, prefix);
    check(again.size() == 2 + 2 * plain.size());
    check(again.startsWith(prefix));
    for (qsizetype i = 2; i < again.size(); ++i)
        check(isBodyLetter(again[i]));
    check(cipher::decipherText(again, key) == plain);
    return 0;
}
