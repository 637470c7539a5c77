#include "core/inidocument.h"
#include "platform/gbkcodec.h"

#include <QTest>

namespace {

QByteArray gbk(QStringView text)
{
    return gbkCodec().encode(text);
}

// A literal with its embedded NUL bytes.
template <size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace

class TestIniDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void value_data();
    void value();
    void setValue_data();
    void setValue();
    void refusedNamesLeaveTheTextAlone_data();
    void refusedNamesLeaveTheTextAlone();
    void writtenValuesReadBack_data();
    void writtenValuesReadBack();
};

void TestIniDocument::value_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray zbt = "zbt";
    QTest::newRow("crlf") << QByteArray("[zbt]\r\na=1\r\nb=2\r\n") << zbt << QByteArray("b") << true
                          << QByteArray("2");
    QTest::newRow("lf") << QByteArray("[zbt]\na=1\nb=2\n") << zbt << QByteArray("b") << true
                        << QByteArray("2");
    QTest::newRow("no final newline")
        << QByteArray("[zbt]\r\nb=2") << zbt << QByteArray("b") << true << QByteArray("2");
    QTest::newRow("blanks and tabs stripped")
        << QByteArray("  [ zbt ]\t\r\n \t b \t=  two words \t\r\n") << zbt << QByteArray("b")
        << true << QByteArray("two words");
    QTest::newRow("ideographic space kept")
        << QByteArray("[zbt]\r\nb=") + gbk(u"\u3000x\u3000") + "\r\n"
        << zbt << QByteArray("b") << true << gbk(u"\u3000x\u3000");
    QTest::newRow("double quotes") << QByteArray("[zbt]\r\nb= \" a b \" \r\n") << zbt
                                   << QByteArray("b") << true << QByteArray(" a b ");
    QTest::newRow("single quotes")
        << QByteArray("[zbt]\r\nb='x'\r\n") << zbt << QByteArray("b") << true << QByteArray("x");
    QTest::newRow("empty quotes") << QByteArray("[zbt]\r\nb=\"\"\r\n") << zbt << QByteArray("b")
                                  << true << QByteArray("");
    QTest::newRow("lone quote kept")
        << QByteArray("[zbt]\r\nb=\"\r\n") << zbt << QByteArray("b") << true << QByteArray("\"");
    QTest::newRow("mismatched quotes kept") << QByteArray("[zbt]\r\nb=\"x'\r\n") << zbt
                                            << QByteArray("b") << true << QByteArray("\"x'");
    QTest::newRow("only one pair removed") << QByteArray("[zbt]\r\nb=\"\"x\"\"\r\n") << zbt
                                           << QByteArray("b") << true << QByteArray("\"x\"");
    QTest::newRow("empty value present")
        << QByteArray("[zbt]\r\nb=\r\n") << zbt << QByteArray("b") << true << QByteArray("");
    QTest::newRow("equals inside value")
        << QByteArray("[zbt]\r\nb=x=y\r\n") << zbt << QByteArray("b") << true << QByteArray("x=y");
    QTest::newRow("ascii case folded")
        << QByteArray("[ZbT]\r\nKEY=v\r\n") << zbt << QByteArray("key") << true << QByteArray("v");
    QTest::newRow("query names stripped") << QByteArray("[zbt]\r\nb=v\r\n") << QByteArray(" zbt\t")
                                          << QByteArray(" b ") << true << QByteArray("v");
    QTest::newRow("chinese key") << QByteArray("[zbt]\r\n") + gbk(u"主标题") + "=t\r\n"
                                 << zbt << gbk(u"主标题") << true << QByteArray("t");
    // 0x81 0x41 and 0x81 0x61 are two different GBK characters.
    QTest::newRow("gbk trail byte not folded") << QByteArray("[zbt]\r\n\x81\x41=upper\r\n") << zbt
                                               << QByteArray("\x81\x61") << false << QByteArray();
    QTest::newRow("full-width letters not folded")
        << QByteArray("[zbt]\r\n") + gbk(u"Ａ") + "=v\r\n"
        << zbt << gbk(u"ａ") << false << QByteArray();
    QTest::newRow("first duplicate key wins") << QByteArray("[zbt]\r\nb=1\r\nB=2\r\n") << zbt
                                              << QByteArray("b") << true << QByteArray("1");
    QTest::newRow("first duplicate section wins")
        << QByteArray("[zbt]\r\na=1\r\n[x]\r\n[zbt]\r\na=2\r\nb=3\r\n") << zbt << QByteArray("b")
        << false << QByteArray();
    QTest::newRow("line without equals is no key")
        << QByteArray("[zbt]\r\nb\r\n") << zbt << QByteArray("b") << false << QByteArray();
    QTest::newRow("key before any section")
        << QByteArray("b=1\r\n[zbt]\r\n") << zbt << QByteArray("b") << false << QByteArray();
    QTest::newRow("key of another section")
        << QByteArray("[zbt]\r\n[x]\r\nb=1\r\n") << zbt << QByteArray("b") << false << QByteArray();
    QTest::newRow("text after bracket") << QByteArray("[zbt] ;note\r\nb=1\r\n") << zbt
                                        << QByteArray("b") << true << QByteArray("1");
    // Without its "]" a line is no header but a key of the section above.
    QTest::newRow("unclosed bracket is no section")
        << QByteArray("[zbt\r\nb=1\r\n") << zbt << QByteArray("b") << false << QByteArray();
    QTest::newRow("unclosed bracket stays in the section above")
        << QByteArray("[zbt]\r\na=1\r\n[x\r\nb=2\r\n") << zbt << QByteArray("b") << true
        << QByteArray("2");
    // 0x81 0x5D is one GBK character whose second byte looks like "]".
    QTest::newRow("bracket inside a gbk character closes nothing")
        << QByteArray("[zbt]\r\n[\x81]\r\nb=1\r\n") << zbt << QByteArray("b") << true
        << QByteArray("1");
    QTest::newRow("doubled cr before lf")
        << QByteArray("[zbt]\r\nlx=") + gbk(u"真") + "\r\r\nb=2\r\n"
        << zbt << QByteArray("lx") << true << gbk(u"真");
    QTest::newRow("trailing vt ff and ctrl-z stripped")
        << QByteArray("[zbt]\r\nlx=") + gbk(u"真") + "\v\f\x1A\r\n"
        << zbt << QByteArray("lx") << true << gbk(u"真");
    QTest::newRow("ctrl-z at the end of the file")
        << QByteArray("[zbt]\r\nb=2\x1A") << zbt << QByteArray("b") << true << QByteArray("2");
    QTest::newRow("control characters inside a value kept")
        << QByteArray("[zbt]\r\nb=x\vy\r\n") << zbt << QByteArray("b") << true
        << QByteArray("x\vy");
    QTest::newRow("cr-only line ends")
        << QByteArray("[x]\ra=1\r[zbt]\ra=2\rb=3\r") << zbt << QByteArray("b") << true
        << QByteArray("3");
    QTest::newRow("cr-only line ends, first key")
        << QByteArray("[x]\ra=1\r[zbt]\ra=2\rb=3") << zbt << QByteArray("a") << true
        << QByteArray("2");
    QTest::newRow("utf-8 bom before the header")
        << QByteArray("\xEF\xBB\xBF[zbt]\r\nb=1\r\n") << zbt << QByteArray("b") << true
        << QByteArray("1");
    // In UTF-8 no byte of a character is ASCII, so the letter after one
    // folds; read as GBK its last byte and the letter would be one pair.
    QTest::newRow("utf-8 names fold letters after a character")
        << QByteArray("\xEF\xBB\xBF[zbt]\r\n\xE4\xB8\xAD" "A=1\r\n") << zbt
        << QByteArray("\xE4\xB8\xAD" "a") << true << QByteArray("1");
    QTest::newRow("without bom the same bytes are gbk")
        << QByteArray("[zbt]\r\n\xE4\xB8\xAD" "A=1\r\n") << zbt << QByteArray("\xE4\xB8\xAD" "a")
        << false << QByteArray();
    QTest::newRow("nul bytes kept raw")
        << raw("[zbt]\r\nb=x\0y\r\n") << zbt << QByteArray("b") << true << raw("x\0y");
    QTest::newRow("empty text") << QByteArray() << zbt << QByteArray("b") << false << QByteArray();
}

void TestIniDocument::value()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, expected);

    const std::optional<QByteArray> got = IniDocument(text).value(section, key);
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(*got, expected);
}

void TestIniDocument::setValue_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new document uses crlf")
        << QByteArray() << QByteArray("k") << QByteArray("v") << QByteArray("[zbt]\r\nk=v\r\n");
    QTest::newRow("replace keeps other lines")
        << QByteArray(";c\r\n[zbt]\r\n  K = old \r\nz = 1\r\n\r\n") << QByteArray("k")
        << QByteArray("new") << QByteArray(";c\r\n[zbt]\r\n  K =new\r\nz = 1\r\n\r\n");
    QTest::newRow("replace keeps lf") << QByteArray("[zbt]\nk=1\nz=2\n") << QByteArray("k")
                                      << QByteArray("3") << QByteArray("[zbt]\nk=3\nz=2\n");
    QTest::newRow("replace last line without newline")
        << QByteArray("[zbt]\r\nk=1") << QByteArray("k") << QByteArray("22")
        << QByteArray("[zbt]\r\nk=22");
    QTest::newRow("first duplicate key written")
        << QByteArray("[zbt]\r\nk=1\r\nk=2\r\n") << QByteArray("k") << QByteArray("9")
        << QByteArray("[zbt]\r\nk=9\r\nk=2\r\n");
    QTest::newRow("first duplicate section written")
        << QByteArray("[zbt]\r\na=1\r\n\r\n[ZBT]\r\nk=2\r\n") << QByteArray("k") << QByteArray("9")
        << QByteArray("[zbt]\r\na=1\r\nk=9\r\n\r\n[ZBT]\r\nk=2\r\n");
    QTest::newRow("new key before blank lines and next section")
        << QByteArray("[zbt]\na=1\n\n[x]\nb=2\n") << QByteArray("k") << QByteArray("v")
        << QByteArray("[zbt]\na=1\nk=v\n\n[x]\nb=2\n");
    QTest::newRow("new key after unterminated last line")
        << QByteArray("[zbt]\r\na=1") << QByteArray("k") << QByteArray("v")
        << QByteArray("[zbt]\r\na=1\r\nk=v\r\n");
    QTest::newRow("new section after unterminated text") << QByteArray(
        "[x]\nb=2") << QByteArray("k") << QByteArray("v") << QByteArray("[x]\nb=2\n[zbt]\nk=v\n");
    QTest::newRow("line break in value cut")
        << QByteArray("[zbt]\r\nk=1\r\n") << QByteArray("k") << QByteArray("a\r\n[x]\r\nb=c")
        << QByteArray("[zbt]\r\nk=a\r\n");
    QTest::newRow("empty value") << QByteArray("[zbt]\r\nk=1\r\n") << QByteArray("k")
                                 << QByteArray() << QByteArray("[zbt]\r\nk=\r\n");
    // Files other tools wrote: the line of the key is rewritten, nothing else.
    QTest::newRow("cr-only: the key's own line replaced")
        << QByteArray("[zbt]\ra=1\rk=1\rz=2\r") << QByteArray("k") << QByteArray("9")
        << QByteArray("[zbt]\ra=1\rk=9\rz=2\r");
    QTest::newRow("cr-only: a new key ends with cr")
        << QByteArray("[zbt]\ra=1\r[x]\rb=2") << QByteArray("k") << QByteArray("v")
        << QByteArray("[zbt]\ra=1\rk=v\r[x]\rb=2");
    QTest::newRow("cr-only: a new section after a final cr")
        << QByteArray("[x]\rb=2\r") << QByteArray("k") << QByteArray("v")
        << QByteArray("[x]\rb=2\r[zbt]\rk=v\r");
    QTest::newRow("doubled cr kept on the replaced line")
        << QByteArray("[zbt]\r\nk=1\r\r\nz=2\r\n") << QByteArray("k") << QByteArray("9")
        << QByteArray("[zbt]\r\nk=9\r\r\nz=2\r\n");
    QTest::newRow("doubled cr: a new key ends with crlf")
        << QByteArray("[zbt]\r\r\na=1\r\r\n") << QByteArray("k") << QByteArray("v")
        << QByteArray("[zbt]\r\r\na=1\r\r\nk=v\r\n");
    QTest::newRow("trailing controls replaced with the old value")
        << QByteArray("[zbt]\r\nk=1\x1A\r\n") << QByteArray("k") << QByteArray("9")
        << QByteArray("[zbt]\r\nk=9\r\n");
    QTest::newRow("line without equals gets the value")
        << QByteArray("[zbt]\r\n  noeq \r\nz=1\r\n") << QByteArray("noeq") << QByteArray("v")
        << QByteArray("[zbt]\r\n  noeq=v\r\nz=1\r\n");
    QTest::newRow("unclosed header: a real section is added")
        << QByteArray("[zbt\r\nk=1\r\n") << QByteArray("k") << QByteArray("v")
        << QByteArray("[zbt\r\nk=1\r\n[zbt]\r\nk=v\r\n");
    QTest::newRow("bom: the key after it replaced")
        << QByteArray("\xEF\xBB\xBF[zbt]\r\nk=1\r\n") << QByteArray("k") << QByteArray("9")
        << QByteArray("\xEF\xBB\xBF[zbt]\r\nk=9\r\n");
    QTest::newRow("bom alone: the section goes after it")
        << QByteArray("\xEF\xBB\xBF") << QByteArray("k") << QByteArray("v")
        << QByteArray("\xEF\xBB\xBF[zbt]\r\nk=v\r\n");
}

void TestIniDocument::setValue()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);

    IniDocument document(before);
    document.setValue("zbt", key, value);
    QCOMPARE(document.toBytes(), after);
}

void TestIniDocument::refusedNamesLeaveTheTextAlone_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");

    QTest::newRow("empty section") << QByteArray() << QByteArray("k");
    QTest::newRow("blank key") << QByteArray("zbt") << QByteArray(" \t");
    QTest::newRow("equals in key") << QByteArray("zbt") << QByteArray("a=b");
    QTest::newRow("key opens a section") << QByteArray("zbt") << QByteArray("[k");
    QTest::newRow("line break in section") << QByteArray("z\nbt") << QByteArray("k");
    QTest::newRow("nul in key") << QByteArray("zbt") << raw("k\0x");
    // Half a GBK character would take the closing "]" for its second byte.
    QTest::newRow("section ending in half a character") << QByteArray("z\x81") << QByteArray("k");
}

void TestIniDocument::refusedNamesLeaveTheTextAlone()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);

    QVERIFY(!IniDocument::canStore(section, key));
    const QByteArray text("[zbt]\r\nk=1\r\n");
    IniDocument document(text);
    document.setValue(section, key, "v");
    QCOMPARE(document.toBytes(), text);
}

void TestIniDocument::writtenValuesReadBack_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("readBack");

    QTest::newRow("plain") << QByteArray("zbt") << QByteArray("k") << QByteArray("v")
                           << QByteArray("v");
    QTest::newRow("blanks stripped")
        << QByteArray("zbt") << QByteArray("k") << QByteArray("  v w  ") << QByteArray("v w");
    QTest::newRow("quotes stripped")
        << QByteArray("zbt") << QByteArray("k") << QByteArray("'v'") << QByteArray("v");
    QTest::newRow("gbk names") << gbk(u"颜色") << gbk(u"主标题字体") << gbk(u"宋体")
                               << gbk(u"宋体");
    QTest::newRow("section with bracket")
        << QByteArray("a]b") << QByteArray("k") << QByteArray("v") << QByteArray("v");
    QTest::newRow("trailing controls stripped")
        << QByteArray("zbt") << QByteArray("k") << QByteArray("v\v\x1A") << QByteArray("v");
    QTest::newRow("value cut at a lone cr")
        << QByteArray("zbt") << QByteArray("k") << QByteArray("v\rw=1") << QByteArray("v");
}

void TestIniDocument::writtenValuesReadBack()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, readBack);

    IniDocument document("[other]\r\nk=0\r\n");
    document.setValue(section, key, value);
    document.setValue("other", "k2", "1");
    const IniDocument reread(document.toBytes());
    QCOMPARE(reread.value(section, key), std::optional<QByteArray>(readBack));
    QCOMPARE(reread.value("other", "k"), std::optional<QByteArray>("0"));
    QCOMPARE(reread.value("other", "k2"), std::optional<QByteArray>("1"));
}

QTEST_GUILESS_MAIN(TestIniDocument)
#include "test_inidocument.moc"
