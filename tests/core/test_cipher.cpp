#include "core/cipher.h"
#include "platform/gbkcodec.h"

#include <QTest>

#include <array>
#include <utility>

namespace {

const QByteArray kKey(cipher::kPasswordKey);

// The password keystream written out step by step from its description,
// with 1-based counters that keep their added 1, kept apart from the
// program's code so that the two check each other.
QByteArray referenceKeystream(const QByteArray &effectiveKey, int count)
{
    std::array<int, 256> S{};
    std::array<int, 256> T{};
    for (int k = 0; k < 256; ++k) {
        S[k] = k;
        T[k] = quint8(effectiveKey.at(k % effectiveKey.size()));
    }
    int j = 0;
    for (int k = 0; k <= 255; ++k) {
        j = ((j + S[k] + T[k]) % 256) + 1;
        std::swap(S[k], S[j - 1]);
    }
    int i = 0;
    j = 0;
    QByteArray out;
    for (int n = 0; n < count; ++n) {
        i = ((i + 1) % 256) + 1;
        j = ((j + S[i - 1]) % 256) + 1;
        std::swap(S[i - 1], S[j - 1]);
        out.append(char(S[(S[i - 1] + S[j - 1]) % 256]));
    }
    return out;
}

// The published RC4, which must not read or write our stored passwords.
QByteArray publishedRc4(const QByteArray &key, int count)
{
    std::array<quint8, 256> S{};
    for (int k = 0; k < 256; ++k)
        S[k] = quint8(k);
    int j = 0;
    for (int k = 0; k < 256; ++k) {
        j = (j + S[k] + quint8(key.at(k % key.size()))) % 256;
        std::swap(S[k], S[j]);
    }
    int i = 0;
    j = 0;
    QByteArray out;
    for (int n = 0; n < count; ++n) {
        i = (i + 1) % 256;
        j = (j + S[i]) % 256;
        std::swap(S[i], S[j]);
        out.append(char(S[(S[i] + S[j]) % 256]));
    }
    return out;
}

// Enciphering zero bytes leaves the keystream itself in the body.
QByteArray keystreamOfProgram(const QByteArray &prefix, int count)
{
    const QByteArray stored = cipher::encipherText(QByteArray(count, '\0'), kKey, prefix);
    QByteArray stream;
    for (qsizetype p = prefix.size(); p + 1 < stored.size(); p += 2)
        stream.append(char((stored[p] - 'A') * 16 + (stored[p + 1] - 'A')));
    return stream;
}

QByteArray cutAtZero(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

} // namespace

class TestCipher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedVectors_data();
    void storedVectors();
    void keystream_data();
    void keystream();
    void roundTrip_data();
    void roundTrip();
    void randomPrefix();
    void gbkPassword();
    void bodyCase();
    void oddLengthBody();
    void shortStoredText_data();
    void shortStoredText();
    void strayBodyCharacters_data();
    void strayBodyCharacters();
    void zeroByteEndsText();
};

// Stored passwords worked out apart from this program (a separate script
// written from the cipher's description): the encipher with the given
// prefix must give exactly these texts, and the decipher must read them.
void TestCipher::storedVectors_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("prefix");
    QTest::addColumn<QByteArray>("stored");
    QTest::addRow("ascii") << QByteArray("Secret 123!") << QByteArray("KM")
                           << QByteArray("KMPFNCJGILBHHPFIBAPGLEHA");
    // "密码" in GBK.
    QTest::addRow("gbk bytes of a chinese password")
        << QByteArray("\xC3\xDC\xC2\xEB") << QByteArray("HB") << QByteArray("HBLBAGDOPE");
    QTest::addRow("letter case") << QByteArray("abcABC") << QByteArray("QZ")
                                 << QByteArray("QZJAPICEJLEJPH");
}

void TestCipher::storedVectors()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, prefix);
    QFETCH(QByteArray, stored);
    QCOMPARE(cipher::encipherText(plain, kKey, prefix), stored);
    QCOMPARE(cipher::decipherText(stored, kKey), plain);
}

void TestCipher::keystream_data()
{
    QTest::addColumn<QByteArray>("prefix");
    QTest::addRow("AB") << QByteArray("AB");
    QTest::addRow("ZQ") << QByteArray("ZQ");
    QTest::addRow("lower-case prefix") << QByteArray("xy");
    QTest::addRow("no prefix") << QByteArray();
}

// 300 bytes run the generation counter past its wrap from 256 back to 2.
void TestCipher::keystream()
{
    QFETCH(QByteArray, prefix);
    const QByteArray effective = kKey + prefix;
    const QByteArray ours = keystreamOfProgram(prefix, 300);
    QCOMPARE(ours.toHex(), referenceKeystream(effective, 300).toHex());
    QVERIFY(ours.left(16) != publishedRc4(effective, 16));
}

void TestCipher::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("prefix");
    QByteArray everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte.append(char(b));
    QTest::addRow("ascii") << QByteArray("Secret 123!") << QByteArray("KM");
    QTest::addRow("empty") << QByteArray() << QByteArray("QA");
    QTest::addRow("leading and trailing blanks") << QByteArray("  pw  ") << QByteArray("ZZ");
    QTest::addRow("every non-zero byte") << everyByte << QByteArray("CD");
}

void TestCipher::roundTrip()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, prefix);
    const QByteArray stored = cipher::encipherText(plain, kKey, prefix);
    QCOMPARE(stored.size(), 2 + 2 * plain.size());
    QVERIFY(stored.startsWith(prefix));
    for (qsizetype p = 2; p < stored.size(); ++p)
        QVERIFY2(stored[p] >= 'A' && stored[p] <= 'P', stored.constData());

    // Body letters are the XOR of plain and keystream, high half first.
    const QByteArray stream = referenceKeystream(kKey + prefix, int(plain.size()));
    for (qsizetype n = 0; n < plain.size(); ++n) {
        const int x = quint8(plain[n]) ^ quint8(stream[n]);
        QCOMPARE(stored[2 + 2 * n], char('A' + (x >> 4)));
        QCOMPARE(stored[3 + 2 * n], char('A' + (x & 15)));
    }
    QCOMPARE(cipher::decipherText(stored, kKey), plain);
}

void TestCipher::randomPrefix()
{
    QSet<QByteArray> seen;
    for (int n = 0; n < 60; ++n) {
        const QByteArray prefix = cipher::randomPrefix();
        QCOMPARE(prefix.size(), 2);
        for (const char c : prefix)
            QVERIFY(c >= 'A' && c <= 'Z');
        seen.insert(prefix);
        const QByteArray stored = cipher::encipherText("same", kKey);
        QCOMPARE(cipher::decipherText(stored, kKey), QByteArray("same"));
    }
    // 60 draws from 676 prefixes all alike would mean no randomness at all.
    QVERIFY(seen.size() > 1);
}

void TestCipher::gbkPassword()
{
    const QByteArray bytes = gbkCodec().encode(u"密码");
    QCOMPARE(bytes, QByteArray("\xC3\xDC\xC2\xEB"));
    const QByteArray stored = cipher::encipherText(bytes, kKey, "HF");
    QCOMPARE(stored.size(), 10);
    QCOMPARE(gbkCodec().decode(cipher::decipherText(stored, kKey)), QStringLiteral("密码"));
}

// The body is read without regard to case; the prefix is part of the key as
// stored, so its case matters.
void TestCipher::bodyCase()
{
    const QByteArray plain("Abc9");
    const QByteArray stored = cipher::encipherText(plain, kKey, "RT");
    const QByteArray lowerBody = stored.left(2) + stored.mid(2).toLower();
    QCOMPARE(cipher::decipherText(lowerBody, kKey), plain);
    const QByteArray lowerPrefix = stored.left(2).toLower() + stored.mid(2);
    QVERIFY(cipher::decipherText(lowerPrefix, kKey) != plain);
}

// A last single letter is a piece of its own: its value is its digit.
void TestCipher::oddLengthBody()
{
    const QByteArray stored = cipher::encipherText("ab", kKey, "MN") + "G"; // digit 6
    const QByteArray stream = referenceKeystream(kKey + "MN", 3);
    const QByteArray expected = cutAtZero(QByteArray("ab") + char(6 ^ quint8(stream[2])));
    QCOMPARE(cipher::decipherText(stored, kKey), expected);
}

void TestCipher::shortStoredText_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addRow("nothing") << QByteArray();
    QTest::addRow("one letter") << QByteArray("Q");
    QTest::addRow("one digit") << QByteArray("7");
    QTest::addRow("prefix alone") << QByteArray("AB");
    QTest::addRow("lower-case prefix alone") << QByteArray("zz");
}

void TestCipher::shortStoredText()
{
    QFETCH(QByteArray, stored);
    QCOMPARE(cipher::decipherText(stored, kKey), QByteArray());
}

// Piece values worked out by hand from the reading rule: digit = place in
// "A".."Z" minus one, -2 for anything else; value = first * 16 + second;
// only the low 8 bits count.
void TestCipher::strayBodyCharacters_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<int>("byteValue");
    QTest::addRow("QR beyond P") << QByteArray("QR") << (16 * 16 + 17) % 256;
    QTest::addRow("ZZ") << QByteArray("ZZ") << 169;           // 425
    QTest::addRow("lower zz") << QByteArray("zz") << 169;
    QTest::addRow("digit first") << QByteArray("1B") << 225;  // -32 + 1
    QTest::addRow("digit second") << QByteArray("B1") << 14;  // 16 - 2
    QTest::addRow("two symbols") << QByteArray("?!") << 222;  // -34
    QTest::addRow("non-ASCII byte") << QByteArray("\xD7P") << 239; // -32 + 15 = -17
}

// The odd piece sits second, so the keystream position is checked as well.
void TestCipher::strayBodyCharacters()
{
    QFETCH(QByteArray, piece);
    QFETCH(int, byteValue);
    const QByteArray stream = referenceKeystream(kKey + "CE", 2);
    const char first = 'x';
    const int firstCipher = quint8(first) ^ quint8(stream[0]);
    QByteArray stored("CE");
    stored.append(char('A' + (firstCipher >> 4))).append(char('A' + (firstCipher & 15)));
    stored.append(piece);
    const QByteArray expected = cutAtZero(QByteArray(1, first) + char(byteValue ^ quint8(stream[1])));
    QCOMPARE(cipher::decipherText(stored, kKey), expected);
}

void TestCipher::zeroByteEndsText()
{
    const QByteArray stored = cipher::encipherText(QByteArray("ab\0cd", 5), kKey, "PP");
    QCOMPARE(stored.size(), 12);
    QCOMPARE(cipher::decipherText(stored, kKey), QByteArray("ab"));
    const QByteArray leadingZero = cipher::encipherText(QByteArray("\0x", 2), kKey, "PP");
    QCOMPARE(cipher::decipherText(leadingZero, kKey), QByteArray());
}

QTEST_APPLESS_MAIN(TestCipher)
#include "test_cipher.moc"
