#include "support_lockfiles.h"
#include "support_settingsfolder.h"

#include "core/config.h"
#include "core/settingsfile.h"
#include "core/values.h"
#include "core/wholefile.h"
#include "platform/gbkcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {

// What the system shows for a lead byte with nothing after it: ICU's
// replacement character, or the default character of Windows' code page 936.
#ifdef Q_OS_WIN
const QString kHalfCharacter = QStringLiteral("?");
#else
const QString kHalfCharacter = QStringLiteral("\uFFFD");
#endif

QByteArray gbk(QStringView text)
{
    return gbkCodec().encode(text);
}

template <size_t N> QByteArray raw(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QString addOne(const QString &count)
{
    return values::formatG13(values::textToNumber(count) + 1);
}

// The child side of the lock test: count a win `times` times.
int countWins(const QString &dir, int times)
{
    SettingsFile settings(dir, gbkCodec());
    for (int i = 0; i < times; ++i) {
        if (!settings.update(DataFile::Results, u"zjjg", u"j1", addOne))
            return 1;
    }
    return 0;
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void paths();
    void read_data();
    void read();
    void newFileIsCrlfGbk();
    void writeKeepsEveryOtherLine();
    void longValuesAreCut();
    void badBytes_data();
    void badBytes();
    void fiftyMegabyteFile();
    void missingFolder();
    void targetIsADirectory();
    void filesOfOtherTools_data();
    void filesOfOtherTools();
    void utf8Files_data();
    void utf8Files();
    void utf8FileWithoutRoomForACopyStaysUtf8();
    void refusedNames();
    void writtenValueIsOneCString();
    void updateSeesCurrentValue();
    void writeManyIsAllOrNothing();
    void twoProcessesCountEveryWin();

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
};

void TestSettingsFile::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
}

void TestSettingsFile::paths()
{
    QCOMPARE(m_settings->path(DataFile::Config), m_folder->path() + u"/config.a");
    QCOMPARE(m_settings->path(DataFile::Results), m_folder->path() + u"/jieguo.a");
}

void TestSettingsFile::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("fallback");
    QTest::addColumn<QString>("expected");

    const QByteArray head = "[zbt]\r\n";
    const QString title = u"主标题"_qs;
    const QString prompt = u"购物有奖活动"_qs;
    QTest::newRow("no file") << QByteArray() << title << prompt << prompt;
    QTest::newRow("missing key") << head + "x=1\r\n" << title << prompt << prompt;
    QTest::newRow("empty equals missing")
        << head + gbk(u"主标题=\r\n") << title << prompt << prompt;
    QTest::newRow("blank equals missing")
        << head + gbk(u"主标题=  \r\n") << title << prompt << prompt;
    QTest::newRow("empty quotes equal missing")
        << head + gbk(u"主标题=\"\"\r\n") << title << prompt << prompt;
    QTest::newRow("blanks around title dropped")
        << head + gbk(u"主标题=  新年抽奖 \t\r\n") << title << prompt << u"新年抽奖"_qs;
    QTest::newRow("quoted title") << head + gbk(u"主标题=\" 新年 \"\r\n") << title << prompt
                                  << u" 新年 "_qs;
    QTest::newRow("value from nul on is dropped")
        << head + raw("lx=ab\0cd\r\n") << u"lx"_qs << QString() << u"ab"_qs;
    QTest::newRow("value starting with nul is empty")
        << head + raw("lx=\0cd\r\n") << u"lx"_qs << u"d"_qs << u"d"_qs;
    QTest::newRow("half a character at the end is shown, not dropped")
        << head + raw("x=ab\xd6\r\n") << u"x"_qs << QString() << u"ab"_qs + kHalfCharacter;
    QTest::newRow("whole characters before it are kept")
        << head + gbk(u"x=中文") + raw("\xd6") << u"x"_qs << QString() << u"中文"_qs + kHalfCharacter;
    QTest::newRow("empty key name") << head + "=1\r\n" << QString() << u"d"_qs << QString();
}

void TestSettingsFile::read()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, fallback);
    QFETCH(QString, expected);

    if (!file.isEmpty())
        QVERIFY(putFile(m_settings->path(DataFile::Config), file));
    QCOMPARE(m_settings->readSetting(key, fallback), expected);
}

void TestSettingsFile::newFileIsCrlfGbk()
{
    QVERIFY(m_settings->writeSetting(u"界面大小", u"全屏"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Config)), gbk(u"[zbt]\r\n界面大小=全屏\r\n"));
    QVERIFY(m_settings->write(DataFile::Results, u"zjjg", u"j3", u"1"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Results)), QByteArray("[zjjg]\r\nj3=1\r\n"));
    // Neither the lock nor a temporary file is left behind.
    QCOMPARE(filesLeftIn(m_folder->path()).size(), 2);
}

void TestSettingsFile::writeKeepsEveryOtherLine()
{
    const QByteArray before
        = gbk(u"; 注释\n[yanse]\n主标题字体 = 宋体 \n\n[ZBT]\n\t一=1\n二 =  2\n[zbt]\n一=9");
    QVERIFY(putFile(m_settings->path(DataFile::Config), before));
    QVERIFY(m_settings->writeSetting(u"二", u"7"));
    QVERIFY(m_settings->writeSetting(u"三", u"4"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Config)),
        gbk(u"; 注释\n[yanse]\n主标题字体 = 宋体 \n\n[ZBT]\n\t一=1\n二 =7\n三=4\n[zbt]\n一=9"));
    QCOMPARE(m_settings->readSetting(u"一"), u"1"_qs);
    QCOMPARE(m_settings->read(DataFile::Config, u"yanse", u"主标题字体"), u"宋体"_qs);
}

void TestSettingsFile::longValuesAreCut()
{
    const QString exact(SettingsFile::kMaxValueLength, u'测');
    QVERIFY(m_settings->writeSetting(u"主标题", exact));
    QCOMPARE(m_settings->readSetting(u"主标题"), exact);
    QVERIFY(m_settings->writeSetting(u"主标题", QString(exact + u"多余")));
    QCOMPARE(m_settings->readSetting(u"主标题"), exact);

    // A one-megabyte line neither hides the keys after it nor is lost by a
    // write of another key.
    const QByteArray line = "big=" + QByteArray(1 << 20, 'x') + "\r\n";
    const QByteArray before = "[zbt]\r\n" + line + "after=1\r\n";
    QVERIFY(putFile(m_settings->path(DataFile::Config), before));
    QCOMPARE(m_settings->readSetting(u"big").size(), SettingsFile::kMaxValueLength);
    QCOMPARE(m_settings->readSetting(u"after"), u"1"_qs);
    QVERIFY(m_settings->writeSetting(u"after", u"2"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Config)), "[zbt]\r\n" + line + "after=2\r\n");
}

void TestSettingsFile::badBytes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("readKey");
    QTest::addColumn<QString>("expected");

    QByteArray noise(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(20240607);
    for (char &byte : noise)
        byte = char(generator.generate() & 0xFF);
    QTest::newRow("random bytes") << noise << u"k"_qs << u"fallback"_qs;
    // A lead byte without a valid trail: the text decodes to something, and
    // the key after it is untouched.
    QTest::newRow("invalid gbk") << raw("[zbt]\r\nk=\x81\x20\xff\r\nm=5\r\n") << u"m"_qs << u"5"_qs;
    QTest::newRow("nul lines") << raw("[zbt]\r\n\0\0\0\r\nk=\0\r\nm=5\r\n") << u"m"_qs << u"5"_qs;
    QTest::newRow("invalid gbk in names") << raw("[z\xff"
                                                 "bt]\r\nm=1\r\n[zbt]\r\n\x81=2\r\nm=5\r\n")
                                          << u"m"_qs << u"5"_qs;
}

void TestSettingsFile::badBytes()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, readKey);
    QFETCH(QString, expected);

    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, file));
    QCOMPARE(m_settings->readSetting(readKey, u"fallback"), expected);
    QVERIFY(!m_settings->readSetting(u"k", u"fallback").isEmpty());

    QVERIFY(m_settings->writeSetting(u"新键", u"值"));
    QCOMPARE(m_settings->readSetting(u"新键"), u"值"_qs);
    // The new line went in after every original byte.
    const QByteArray after = readWholeFile(path);
    QVERIFY(after.startsWith(file));
    QVERIFY(after.sliced(file.size()).contains(gbk(u"新键=值")));
    QCOMPARE(m_settings->readSetting(readKey, u"fallback"), expected);
}

void TestSettingsFile::fiftyMegabyteFile()
{
    QByteArray big;
    big.reserve(52 << 20);
    big += "[fill]\r\n";
    for (int i = 0; big.size() < (50 << 20); ++i)
        big += "key" + QByteArray::number(i) + "=" + QByteArray(40, 'v') + "\r\n";
    big += "[zbt]\r\nk=last\r\n";
    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, big));

    QCOMPARE(m_settings->readSetting(u"k"), u"last"_qs);
    QCOMPARE(m_settings->read(DataFile::Config, u"fill", u"key123456"), QString(40, u'v'));
    QVERIFY(m_settings->writeSetting(u"k", u"new"));
    big.replace(big.size() - 6, 4, "new");
    QVERIFY(readWholeFile(path) == big);
}

void TestSettingsFile::missingFolder()
{
    SettingsFile missing(m_folder->path() + u"/gone", gbkCodec());
    QCOMPARE(missing.readSetting(u"k", u"d"), u"d"_qs);
    QVERIFY(!missing.writeSetting(u"k", u"v"));
    QVERIFY(!QFileInfo::exists(m_folder->path() + u"/gone"));
}

// A data file name taken by a folder can be neither read nor replaced, on
// every system and for every user.
void TestSettingsFile::targetIsADirectory()
{
    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(m_settings->readSetting(u"k", u"d"), u"d"_qs);
    QVERIFY(!m_settings->writeSetting(u"k", u"v"));
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QDir(path).isEmpty());
}

// Files other tools wrote: read as the platform reads them, and a write
// changes the key's own line in the file's own encoding.
void TestSettingsFile::filesOfOtherTools_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("doubled cr") << gbk(u"[zbt]\r\nlx=真\r\r\nx=1\r\r\n") << u"lx"_qs << u"真"_qs
                                << u"假"_qs << gbk(u"[zbt]\r\nlx=假\r\r\nx=1\r\r\n");
    QTest::newRow("ctrl-z after the value")
        << gbk(u"[zbt]\r\nlx=真\x1A\r\n") << u"lx"_qs << u"真"_qs << u"假"_qs
        << gbk(u"[zbt]\r\nlx=假\r\n");
    QTest::newRow("cr-only line ends")
        << gbk(u"[zbt]\r一=1\r二=2\r[yanse]\rc=3\r") << u"二"_qs << u"2"_qs << u"7"_qs
        << gbk(u"[zbt]\r一=1\r二=7\r[yanse]\rc=3\r");
    QTest::newRow("header without bracket")
        << QByteArray("[zbt\r\nlx=1\r\n") << u"lx"_qs << QString() << u"2"_qs
        << QByteArray("[zbt\r\nlx=1\r\n[zbt]\r\nlx=2\r\n");
    QTest::newRow("key line without equals")
        << QByteArray("[zbt]\r\nnoeq\r\nx=1\r\n") << u"noeq"_qs << QString() << u"5"_qs
        << QByteArray("[zbt]\r\nnoeq=5\r\nx=1\r\n");
    // UTF-8 in which none of the program's keys is found stays GBK text.
    QTest::newRow("utf-8 without the program's keys is gbk")
        << u"[zbt]\r\nx=春节\r\n"_qs.toUtf8() << u"x"_qs
        << gbkCodec().decode(u"春节"_qs.toUtf8()) << u"新年"_qs
        << u"[zbt]\r\nx="_qs.toUtf8() + gbk(u"新年") + "\r\n";
}

void TestSettingsFile::filesOfOtherTools()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, read);
    QFETCH(QString, written);
    QFETCH(QByteArray, after);

    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, before));
    QCOMPARE(m_settings->readSetting(key), read);
    QVERIFY(m_settings->writeSetting(key, written));
    QCOMPARE(readWholeFile(path), after);
    QCOMPARE(m_settings->readSetting(key), written);
}

// A file an editor saved as UTF-8 reads as meant; its first write stores it
// in GBK with the same values, keeps the original beside it and says so
// once, naming what GBK cannot hold.
void TestSettingsFile::utf8Files_data()
{
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("storedTitle");
    QTest::addColumn<QString>("unstorable");
    QTest::newRow("with byte order mark") << QByteArray("\xEF\xBB\xBF") << u"春节·年会"_qs
                                          << u"春节·年会"_qs << QString();
    QTest::newRow("without byte order mark") << QByteArray() << u"春节·年会"_qs
                                             << u"春节·年会"_qs << QString();
    QTest::newRow("characters gbk lacks") << QByteArray() << u"年会😀𠀀😀"_qs
                                          << u"年会???"_qs << u"😀𠀀"_qs;
}

void TestSettingsFile::utf8Files()
{
    QFETCH(QByteArray, mark);
    QFETCH(QString, title);
    QFETCH(QString, storedTitle);
    QFETCH(QString, unstorable);
    const QByteArray original = mark
        + (u"[zbt]\r\n主标题=" + title + u"\r\n一=3\r\n二=\r\nlx=真\r\n[yanse]\r\n主标题字体=宋体\r\n").toUtf8();
    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, original));
    QList<SettingsFile::Converted> told;
    m_settings->setConvertedHandler([&](const SettingsFile::Converted &c) { told << c; });

    QCOMPARE(m_settings->readSetting(u"主标题"), title);
    QCOMPARE(m_settings->readSetting(u"一"), u"3"_qs);
    QVERIFY(m_settings->writeSetting(u"二", u"5"));
    QCOMPARE(readWholeFile(path),
             gbk(QString(u"[zbt]\r\n主标题=" + storedTitle + u"\r\n一=3\r\n二=5\r\nlx=真\r\n[yanse]\r\n主标题字体=宋体\r\n")));
    QCOMPARE(readWholeFile(path + u".utf8"), original);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told[0].copyPath, path + u".utf8");
    QCOMPARE(told[0].unstorable, unstorable);
    QCOMPARE(Config(*m_settings).unstorable(title), unstorable);

    // Now GBK: later writes convert nothing and leave the copy alone.
    QVERIFY(m_settings->writeSetting(u"三", u"7"));
    QCOMPARE(m_settings->read(DataFile::Config, u"yanse", u"主标题字体"), u"宋体"_qs);
    QCOMPARE(told.size(), 1);
    QCOMPARE(readWholeFile(path + u".utf8"), original);
}

// Without its copy the original would be lost: the file stays UTF-8.
void TestSettingsFile::utf8FileWithoutRoomForACopyStaysUtf8()
{
    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, u"[zbt]\r\n主标题=年会😀\r\n"_qs.toUtf8()));
    QVERIFY(QDir().mkdir(path + u".utf8"));
    QVERIFY(m_settings->writeSetting(u"一", u"4"));
    QCOMPARE(readWholeFile(path), u"[zbt]\r\n主标题=年会😀\r\n一=4\r\n"_qs.toUtf8());
    QCOMPARE(m_settings->readSetting(u"主标题"), u"年会😀"_qs);
}

void TestSettingsFile::refusedNames()
{
    QVERIFY(m_settings->writeSetting(u"k", u"1"));
    const QByteArray before = readWholeFile(m_settings->path(DataFile::Config));
    QVERIFY(!m_settings->writeSetting(u"a=b", u"2"));
    QVERIFY(!m_settings->writeSetting(QString(), u"2"));
    QVERIFY(!m_settings->write(DataFile::Config, QString(), u"k", u"2"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Config)), before);
    QCOMPARE(m_settings->read(DataFile::Config, QString(), u"k", u"d"), QString());
}

void TestSettingsFile::writtenValueIsOneCString()
{
    QVERIFY(m_settings->writeSetting(u"a", QStringView(u"x\0y", 3)));
    QVERIFY(m_settings->writeSetting(u"b", u"first\r\n[zbt]\r\na=injected"));
    QCOMPARE(readWholeFile(m_settings->path(DataFile::Config)), QByteArray("[zbt]\r\na=x\r\nb=first\r\n"));
    QCOMPARE(m_settings->readSetting(u"a"), u"x"_qs);
}

// Several keys in one rewrite: the same lines sequential writes would give,
// and nothing at all when one name cannot be stored or the write fails.
void TestSettingsFile::writeManyIsAllOrNothing()
{
    const QString path = m_settings->path(DataFile::Config);
    QVERIFY(putFile(path, gbk(u"[zbt]\r\n一=9\r\n[yanse]\r\nc=1\r\n")));
    QVERIFY(m_settings->writeMany(DataFile::Config, u"zbt",
        { { u"二", u"2"_qs }, { u"一", u"1"_qs }, { u"三", u"x\r\n[zbt]\r\n四=injected"_qs } }));
    QCOMPARE(readWholeFile(path), gbk(u"[zbt]\r\n一=1\r\n二=2\r\n三=x\r\n[yanse]\r\nc=1\r\n"));

    const QByteArray before = readWholeFile(path);
    QVERIFY(!m_settings->writeMany(DataFile::Config, u"zbt", { { u"一", u"5"_qs }, { u"a=b", u"6"_qs } }));
    QCOMPARE(readWholeFile(path), before);

    SettingsFile missing(m_folder->filePath(u"missing"_qs), gbkCodec());
    QVERIFY(!missing.writeMany(DataFile::Results, u"zjjg", { { u"j1", u"0"_qs } }));
    QVERIFY(!QFileInfo::exists(missing.runDir()));
}

void TestSettingsFile::updateSeesCurrentValue()
{
    QStringList seen;
    const auto record = [&seen](const QString &current) {
        seen << current;
        return QString(current + u'+');
    };
    QVERIFY(m_settings->update(DataFile::Results, u"zjjg", u"j1", record));
    QVERIFY(m_settings->update(DataFile::Results, u"zjjg", u"j1", record));
    QCOMPARE(seen, QStringList({ QString(), u"+"_qs }));
    QCOMPARE(m_settings->read(DataFile::Results, u"zjjg", u"j1"), u"++"_qs);
}

void TestSettingsFile::twoProcessesCountEveryWin()
{
    constexpr int kEach = 500;
    QProcess first;
    QProcess second;
    const QStringList arguments { u"--count-wins"_qs, m_folder->path(), QString::number(kEach) };
    first.start(QCoreApplication::applicationFilePath(), arguments);
    second.start(QCoreApplication::applicationFilePath(), arguments);
    QVERIFY(first.waitForFinished(180000));
    QVERIFY(second.waitForFinished(180000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(m_settings->read(DataFile::Results, u"zjjg", u"j1"), QString::number(2 * kEach));
    QVERIFY(kLockFilesStay || !QFileInfo::exists(m_settings->path(DataFile::Results) + u".lock"));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--count-wins") == 0)
        return countWins(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestSettingsFile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_settingsfile.moc"
