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
    QTest::newRow("unclosed bracket")
        << QByteArray("[zbt\r\nb=1\r\n") << zbt << QByteArray("b") << true << QByteArray("1");
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
