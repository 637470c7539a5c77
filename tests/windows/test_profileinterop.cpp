// Our settings file against the Windows profile functions, both ways: what
// one writes the other must read back exactly, in code page 936. With
// LUNORA_INTEROP_RUNDIR set, the data files the program wrote there are read
// through both and compared key by key.
#include "core/cipher.h"
#include "core/config.h"
#include "core/keys.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

namespace {

QByteArray native(const QString &path) { return QDir::toNativeSeparators(path).toLocal8Bit(); }
QByteArray gbk(QStringView text) { return gbkCodec().encode(text); }

// GetPrivateProfileStringA with an empty default: the bytes the system reads.
QByteArray systemRead(const QString &file, const QByteArray &section, const QByteArray &key)
{
    QByteArray buffer(65536, '\0');
    const DWORD n = GetPrivateProfileStringA(section.isNull() ? nullptr : section.constData(),
                                             key.isNull() ? nullptr : key.constData(), "",
                                             buffer.data(), DWORD(buffer.size()), native(file).constData());
    buffer.truncate(int(n));
    return buffer;
}

bool systemWrite(const QString &file, const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    return WritePrivateProfileStringA(section.constData(), key.constData(), value.constData(),
                                      native(file).constData());
}

// A list of NUL-separated names, as the profile functions return them.
QList<QByteArray> names(const QByteArray &list)
{
    QList<QByteArray> out = list.split('\0');
    out.removeAll(QByteArray());
    return out;
}

} // namespace

class TestProfileInterop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void values_data();
    void weWriteSystemReads();
    void weWriteSystemReads_data() { values_data(); }
    void systemWritesWeRead();
    void systemWritesWeRead_data() { values_data(); }
    void blanksAroundHandWrittenValues();
    void newSectionAndKeyInTheOthersFile();
    void handEditedFiles_data();
    void handEditedFiles();
    void passwordBothWays_data();
    void passwordBothWays();
    void filesTheProgramWrote();
};

void TestProfileInterop::values_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("Chinese value") << "zbt" << "主标题" << "幸运大抽奖·年会";
    QTest::newRow("window mode") << "zbt" << "界面大小" << "全屏";
    QTest::newRow("Chinese section") << "中奖记录" << "一等奖" << "3";
    QTest::newRow("digits") << "yanse" << "主标题字体大小" << "36";
    QTest::newRow("empty value") << "zbt" << "副标题" << "";
    QTest::newRow("inner blanks") << "zbt" << "背景音乐" << "wav/我的 音乐.mp3";
    QTest::newRow("extended GBK") << "zbt" << "样式" << "丂亐乚€";
}

// A fresh file per row: the writer creates it, with its section and key.
void TestProfileInterop::weWriteSystemReads()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir run;
    SettingsFile settings(run.path(), gbkCodec());
    QVERIFY(settings.write(DataFile::Config, section, key, value));
    const QString path = settings.path(DataFile::Config);
    QCOMPARE(gbkCodec().decode(systemRead(path, gbk(section), gbk(key))), value);
    // An empty value may be stored as an empty entry or as none: both read
    // as empty everywhere. A value is found under exactly its key.
    const QList<QByteArray> keys = names(systemRead(path, gbk(section), QByteArray()));
    if (value.isEmpty())
        QVERIFY(keys.isEmpty() || keys == QList<QByteArray>{gbk(key)});
    else
        QCOMPARE(keys, QList<QByteArray>{gbk(key)});
}

void TestProfileInterop::systemWritesWeRead()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir run;
    SettingsFile settings(run.path(), gbkCodec());
    QVERIFY(systemWrite(settings.path(DataFile::Results), gbk(section), gbk(key), gbk(value)));
    QCOMPARE(settings.read(DataFile::Results, section, key), value);
    // Empty equals missing for us; the system agrees that nothing is there.
    QCOMPARE(settings.read(DataFile::Results, section, key, u"缺省"), value.isEmpty() ? u"缺省"_qs : value);
}

// Blanks around a value and around the "=" are not part of it for either.
void TestProfileInterop::blanksAroundHandWrittenValues()
{
    QTemporaryDir run;
    SettingsFile settings(run.path(), gbkCodec());
    QFile f(settings.path(DataFile::Config));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.write(gbk(u"[zbt]\r\n  主标题 =   抽 奖  \r\n计次=\t8\t\r\n空=   \r\n")) > 0);
    f.close();
    const QString path = settings.path(DataFile::Config);
    const struct { QStringView key; QStringView value; } expected[] = {
        {u"主标题", u"抽 奖"}, {u"计次", u"8"}, {u"空", u""}};
    for (const auto &e : expected) {
        QCOMPARE(gbkCodec().decode(systemRead(path, "zbt", gbk(e.key))), e.value.toString());
        QCOMPARE(settings.read(DataFile::Config, u"zbt", e.key), e.value.toString());
    }
    // A value written with blanks around reads back without them for both.
    QVERIFY(systemWrite(path, "zbt", gbk(u"副标题"), gbk(u"  欢迎  ")));
    QCOMPARE(settings.read(DataFile::Config, u"zbt", u"副标题"), u"欢迎"_qs);
    QVERIFY(settings.write(DataFile::Config, u"zbt", u"副标题", u"  再见  "));
    QCOMPARE(gbkCodec().decode(systemRead(path, "zbt", gbk(u"副标题"))), u"再见"_qs);
}

// Each adds to a file the other made: its keys stay, the new ones show.
void TestProfileInterop::newSectionAndKeyInTheOthersFile()
{
    QTemporaryDir run;
    SettingsFile settings(run.path(), gbkCodec());
    const QString path = settings.path(DataFile::Results);
    QVERIFY(systemWrite(path, gbk(u"奖项"), gbk(u"一"), gbk(u"电视")));
    QVERIFY(settings.write(DataFile::Results, u"奖项", u"二", u"冰箱"));      // new key
    QVERIFY(settings.write(DataFile::Results, u"记录", u"次数", u"12"));      // new section
    QVERIFY(systemWrite(path, gbk(u"记录"), gbk(u"最后"), gbk(u"一等奖"))); // new key, ours
    QVERIFY(systemWrite(path, gbk(u"新"), gbk(u"键"), gbk(u"值")));           // new section, ours

    const QList<QByteArray> sections = names(systemRead(path, QByteArray(), QByteArray()));
    QCOMPARE(sections, (QList<QByteArray>{gbk(u"奖项"), gbk(u"记录"), gbk(u"新")}));
    QCOMPARE(gbkCodec().decode(systemRead(path, gbk(u"奖项"), gbk(u"二"))), u"冰箱"_qs);
    QCOMPARE(gbkCodec().decode(systemRead(path, gbk(u"记录"), gbk(u"次数"))), u"12"_qs);
    QCOMPARE(settings.read(DataFile::Results, u"奖项", u"一"), u"电视"_qs);
    QCOMPARE(settings.read(DataFile::Results, u"记录", u"最后"), u"一等奖"_qs);
    QCOMPARE(settings.read(DataFile::Results, u"记录", u"次数"), u"12"_qs);
    QCOMPARE(settings.read(DataFile::Results, u"新", u"键"), u"值"_qs);
}

void TestProfileInterop::handEditedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("CR CR LF") << gbk(u"[zbt]\r\nlx=真\r\r\n计次=4\r\n");
    QTest::newRow("trailing VT") << gbk(u"[zbt]\r\nlx=真\x0b\r\n计次=4\x0b\r\n");
    QTest::newRow("trailing FF") << gbk(u"[zbt]\r\nlx=真\x0c\r\n计次=4\r\n");
    QTest::newRow("trailing SUB") << gbk(u"[zbt]\r\nlx=真\x1a\r\n计次=4\r\n");
    QTest::newRow("end of file SUB") << gbk(u"[zbt]\r\nlx=真\r\n计次=4\r\n\x1a");
    QTest::newRow("lone CR") << gbk(u"[zbt]\rlx=真\r计次=4\r");
    QTest::newRow("lone CR, no last end") << gbk(u"[zbt]\rlx=真\r计次=4");
    QTest::newRow("LF only") << gbk(u"[zbt]\nlx=真\n计次=4\n");
    QTest::newRow("mixed ends") << gbk(u"[zbt]\nlx=真\r\n计次=4\r主标题=年会\n");
    QTest::newRow("header without ]") << gbk(u"[zbt\r\nlx=假\r\n[zbt]\r\n计次=4\r\n");
    QTest::newRow("only a header without ]") << gbk(u"[zbt\r\nlx=假\r\n");
    QTest::newRow("key without =") << gbk(u"[zbt]\r\nnoeq\r\nlx=真\r\n");
    QTest::newRow("key without =, then one with") << gbk(u"[zbt]\r\nnoeq\r\nnoeq=2\r\n");
    QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF") + u"[zbt]\r\nlx=真\r\n主标题=年会·抽奖\r\n"_qs.toUtf8();
}

// Files edited by hand, in whatever editor was at hand: both sides read
// every key alike, and after either writes one key, the other reads the new
// value there and the old values everywhere else.
void TestProfileInterop::handEditedFiles()
{
    QFETCH(QByteArray, content);
    const QStringList keys = {u"lx"_qs, u"计次"_qs, u"noeq"_qs, u"主标题"_qs};
    const QString written = u"新值"_qs;
    for (const bool weWrite : {true, false}) {
        for (int target = 0; target < keys.size(); ++target) {
            QTemporaryDir run;
            SettingsFile settings(run.path(), gbkCodec());
            const QString path = settings.path(DataFile::Config);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
            f.close();
            QStringList before;
            for (const QString &key : keys) {
                before << gbkCodec().decode(systemRead(path, "zbt", gbk(key)));
                QCOMPARE(settings.read(DataFile::Config, u"zbt", key), before.last());
            }
            if (weWrite)
                QVERIFY(settings.write(DataFile::Config, u"zbt", keys[target], written));
            else
                QVERIFY(systemWrite(path, "zbt", gbk(keys[target]), gbk(written)));
            for (int i = 0; i < keys.size(); ++i) {
                const QString expected = i == target ? written : before[i];
                const QString what = QStringLiteral("%1 wrote %2; reading %3")
                                         .arg(weWrite ? u"we" : u"the system", keys[target], keys[i]);
                QVERIFY2(gbkCodec().decode(systemRead(path, "zbt", gbk(keys[i]))) == expected,
                         qPrintable(what + u" through the system"));
                QVERIFY2(settings.read(DataFile::Config, u"zbt", keys[i]) == expected,
                         qPrintable(what + u" through ours"));
            }
        }
    }
}

void TestProfileInterop::passwordBothWays_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("ASCII") << "admin123";
    QTest::newRow("Chinese") << "抽奖密码";
    QTest::newRow("one letter") << "x";
}

// The password is stored enciphered as letters; either side's copy is the
// other's password.
void TestProfileInterop::passwordBothWays()
{
    QFETCH(QString, plain);
    QTemporaryDir run;
    SettingsFile settings(run.path(), gbkCodec());
    const QString path = settings.path(DataFile::Config);
    const QByteArray bytes = gbk(plain);

    QVERIFY(Config(settings).setPassword(bytes));
    const QByteArray stored = systemRead(path, "zbt", "password");
    QVERIFY(!stored.isEmpty());
    QCOMPARE(cipher::decipherText(stored, cipher::kPasswordKey), bytes);

    QVERIFY(systemWrite(path, "zbt", "password", cipher::encipherText(bytes, cipher::kPasswordKey, "QZ")));
    QCOMPARE(Config(settings).password(), bytes);
}

// Every key of the data files a run of the program left, through both.
void TestProfileInterop::filesTheProgramWrote()
{
    const QString runDir = qEnvironmentVariable("LUNORA_INTEROP_RUNDIR");
    if (runDir.isEmpty())
        QSKIP("LUNORA_INTEROP_RUNDIR not set: no run folder of the program to compare");
    SettingsFile settings(runDir, gbkCodec());
    int compared = 0;
    for (const DataFile file : {DataFile::Config, DataFile::Results}) {
        const QString path = settings.path(file);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        for (const QByteArray &section : names(systemRead(path, QByteArray(), QByteArray()))) {
            for (const QByteArray &key : names(systemRead(path, section, QByteArray()))) {
                const QString ours = settings.read(file, gbkCodec().decode(section), gbkCodec().decode(key));
                QCOMPARE(ours, gbkCodec().decode(systemRead(path, section, key)));
                ++compared;
            }
        }
    }
    qInfo("compared %d keys", compared);
    QVERIFY(compared > 0);
}

QTEST_GUILESS_MAIN(TestProfileInterop)
#include "test_profileinterop.moc"
