#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The stored form of the settings password: a two-letter random prefix, then
// two letters "A".."P" per enciphered byte. The keystream is an RC4 variant
// whose counters keep an extra +1; stored passwords depend on it exactly.
namespace cipher {

// The program's fixed key text.
inline constexpr char kPasswordKey[] = "qelvorin";

// Two random letters "A".."Z".
QByteArray randomPrefix();

QByteArray encipherText(QByteArrayView plain, QByteArrayView key, QByteArrayView prefix);
QByteArray encipherText(QByteArrayView plain, QByteArrayView key); // random prefix
QByteArray decipherText(QByteArrayView stored, QByteArrayView key);

} // namespace cipher
