#include "platform/environment.h"
#include "platform/hotkey.h"
#include "platform/runfolderlock.h"
#include "platform/unpackfolder.h"
#include "support_platformsound.h"
#include "platform/wave.h"

#include <QBuffer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray le32(quint32 v)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(v >> (8 * i));
    return out;
}

QByteArray le16(quint16 v) { return le32(v).first(2); }

QByteArray chunk(const char *id, const QByteArray &body, quint32 declared)
{
    return QByteArray(id, 4) + le32(declared) + body + (declared % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray chunk(const char *id, const QByteArray &body) { return chunk(id, body, quint32(body.size())); }

QByteArray fmt(int tag, int channels, int rate, int bits, int blockAlign = -1)
{
    if (blockAlign < 0)
        blockAlign = channels * bits / 8;
    return chunk("fmt ", le16(quint16(tag)) + le16(quint16(channels)) + le32(quint32(rate))
                             + le32(quint32(rate * blockAlign)) + le16(quint16(blockAlign)) + le16(quint16(bits)));
}

QByteArray riff(const QByteArray &chunks, const char *kind = "WAVE")
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + QByteArray(kind, 4) + chunks;
}

// WAVE_FORMAT_EXTENSIBLE carrying PCM in its sub-format GUID.
QByteArray extensibleFmt()
{
    const QByteArray guidTail = QByteArray::fromHex("000000001000800000aa00389b71");
    return chunk("fmt ", le16(0xFFFE) + le16(2) + le32(48000) + le32(48000 * 4) + le16(4) + le16(16) + le16(22)
                             + le16(16) + le32(3) + le16(1) + guidTail);
}

QByteArray stereoWave(const QByteArray &pcm) { return riff(fmt(1, 2, 44100, 16) + chunk("data", pcm)); }

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes, qint64 size = -1)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    if (size >= 0)
        file.resize(size); // sparse: no disk is spent on the zeros
    return file.fileName();
}

// Counts the presses of other keys than modifiers that reach it.
class KeyTarget : public QWidget
{
public:
    explicit KeyTarget(QWidget *parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            ++presses;
    }
};

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hotKeyIsLocalOffscreen();
    void hotKeyInFocusedChild_data();
    void hotKeyInFocusedChild();
    void hotKeyIgnoresOtherWindows();
    void hotKeyTypesInTextBoxes();
    void hotKeyGoneWithItsObject();
    void parseWave_data();
    void parseWave();
    void musicFromUnplayableFiles_data();
    void musicFromUnplayableFiles();
    void stopWithoutMusic();
    void waveKeepsOnlyTheLatest();
    void mediaBackend_data();
    void mediaBackend();
    void archiveFolderRule_data();
    void archiveFolderRule();
    void runFolderLockTakesOnlyWhatNobodyHolds();
};

void TestPlatform::hotKeyIsLocalOffscreen()
{
#ifdef Q_OS_WIN
    QSKIP("Windows registers the hot key with the system on every platform plugin");
#endif
    QWidget window;
    GlobalHotKey hotKey(&window);
    QVERIFY(!hotKey.isGlobal());
}

void TestPlatform::hotKeyInFocusedChild_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("isHotKey");

    QTest::newRow("shift+q") << int(Qt::Key_Q) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("shift+q on the keypad") << int(Qt::Key_Q) << (Qt::ShiftModifier | Qt::KeypadModifier) << true;
    QTest::newRow("q") << int(Qt::Key_Q) << Qt::KeyboardModifiers() << false;
    QTest::newRow("ctrl+q") << int(Qt::Key_Q) << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("ctrl+shift+q") << int(Qt::Key_Q) << (Qt::ControlModifier | Qt::ShiftModifier) << false;
    QTest::newRow("alt+shift+q") << int(Qt::Key_Q) << (Qt::AltModifier | Qt::ShiftModifier) << false;
    QTest::newRow("shift+w") << int(Qt::Key_W) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
}

void TestPlatform::hotKeyInFocusedChild()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, isHotKey);
#ifdef Q_OS_WIN
    QSKIP("Windows registers the hot key with the system, and keys a test sends to a widget never reach it");
#endif

    QWidget window;
    auto *target = new KeyTarget(new QWidget(&window));
    GlobalHotKey hotKey(&window);
    QSignalSpy spy(&hotKey, &GlobalHotKey::activated);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    target->setFocus();

    QTest::keyClick(target, Qt::Key(key), modifiers);
    QCOMPARE(spy.count(), isHotKey ? 1 : 0);
    // The hot key is taken before the control sees it, as a registered
    // system hot key would be; other keys pass on untouched.
    QCOMPARE(target->presses, isHotKey ? 0 : 1);
}

// In the window's own text box Shift+Q is a capital Q; a read-only box
// takes no text, so there it is the hot key again.
void TestPlatform::hotKeyTypesInTextBoxes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows registers the hot key with the system, and keys a test sends to a widget never reach it");
#endif
    QWidget window;
    auto *box = new QLineEdit(&window);
    GlobalHotKey hotKey(&window);
    QSignalSpy spy(&hotKey, &GlobalHotKey::activated);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("QQ"));
    QCOMPARE(box->text(), QStringLiteral("QQ"));
    QCOMPARE(spy.count(), 0);
    box->setReadOnly(true);
    QTest::keyClick(box, Qt::Key_Q, Qt::ShiftModifier);
    QCOMPARE(spy.count(), 1);
}

void TestPlatform::hotKeyIgnoresOtherWindows()
{
    QWidget window;
    QWidget other;
    auto *target = new KeyTarget(&other);
    GlobalHotKey hotKey(&window);
    QSignalSpy spy(&hotKey, &GlobalHotKey::activated);
    window.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    target->setFocus();

    QTest::keyClick(target, Qt::Key_Q, Qt::ShiftModifier);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(target->presses, 1);
}

void TestPlatform::hotKeyGoneWithItsObject()
{
    QWidget window;
    auto *target = new KeyTarget(&window);
    delete new GlobalHotKey(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    target->setFocus();

    QTest::keyClick(target, Qt::Key_Q, Qt::ShiftModifier);
    QCOMPARE(target->presses, 1);
}

void TestPlatform::parseWave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("pcm");

    const QByteArray eight("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    const QByteArray stereo = stereoWave(eight);
    const QByteArray s16 = fmt(1, 2, 44100, 16);
    const QByteArray none;

    QTest::newRow("stereo 16-bit") << stereo << true << 44100 << 2 << 16 << eight;
    QTest::newRow("mono 8-bit") << riff(fmt(1, 1, 8000, 8) + chunk("data", "abc")) << true << 8000 << 1 << 8
                                << QByteArray("abc");
    QTest::newRow("extensible PCM") << riff(extensibleFmt() + chunk("data", eight)) << true << 48000 << 2 << 16
                                    << eight;
    QTest::newRow("odd chunk before data is padded")
        << riff(s16 + chunk("LIST", "12345") + chunk("data", eight)) << true << 44100 << 2 << 16 << eight;
    QTest::newRow("data before fmt") << riff(chunk("data", eight) + s16) << true << 44100 << 2 << 16 << eight;
    QTest::newRow("odd data size keeps whole frames")
        << stereoWave(eight.first(7)) << true << 44100 << 2 << 16 << eight.first(4);
    QTest::newRow("data cut short plays what is there")
        << riff(s16 + chunk("data", eight, 100)).first(44 + 6) << true << 44100 << 2 << 16 << eight.first(4);

    QTest::newRow("empty") << QByteArray() << false << 0 << 0 << 0 << none;
    QTest::newRow("header cut short") << stereo.first(30) << false << 0 << 0 << 0 << none;
    QTest::newRow("fmt cut short") << riff(s16).first(12 + 8 + 10) << false << 0 << 0 << 0 << none;
    QTest::newRow("not RIFF") << "RIFX" + stereo.mid(4) << false << 0 << 0 << 0 << none;
    QTest::newRow("not WAVE") << riff(s16 + chunk("data", eight), "AVI ") << false << 0 << 0 << 0 << none;
    QTest::newRow("float samples") << riff(fmt(3, 2, 44100, 32) + chunk("data", eight)) << false << 0 << 0 << 0
                                   << none;
    QTest::newRow("24-bit") << riff(fmt(1, 2, 44100, 24) + chunk("data", eight + "1234")) << false << 0 << 0 << 0
                            << none;
    QTest::newRow("block align wrong") << riff(fmt(1, 2, 44100, 16, 2) + chunk("data", eight)) << false << 0 << 0
                                       << 0 << none;
    QTest::newRow("no channels") << riff(fmt(1, 0, 44100, 16, 0) + chunk("data", eight)) << false << 0 << 0 << 0
                                 << none;
    QTest::newRow("no data chunk") << riff(s16 + chunk("LIST", "abcd")) << false << 0 << 0 << 0 << none;
    QTest::newRow("no whole frame") << stereoWave("abc") << false << 0 << 0 << 0 << none;
    QTest::newRow("JPEG bytes") << QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000") << false << 0
                                << 0 << 0 << none;
}

void TestPlatform::parseWave()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);

    const std::optional<WaveData> wave = ::parseWave(bytes);
    QCOMPARE(wave.has_value(), ok);
    if (!ok)
        return;
    QTEST(wave->sampleRate, "rate");
    QTEST(wave->channels, "channels");
    QTEST(wave->bitsPerSample, "bits");
    QTEST(wave->pcm.toByteArray(), "pcm");
}

void TestPlatform::musicFromUnplayableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("reportsError");

    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    picture.save(&jpeg, "JPG");

    // A JPEG is taken for a stream of one picture that ends at once, so the
    // player reports no error for it.
    QTest::newRow("missing") << QByteArray() << qint64(-1) << false << false;
    QTest::newRow("empty") << QByteArray() << qint64(-1) << true << true;
    QTest::newRow("JPEG") << jpeg.data() << qint64(-1) << true << false;
    QTest::newRow("200 MB of nothing") << QByteArray("junk") << qint64(200) * 1024 * 1024 << true << true;
}

void TestPlatform::musicFromUnplayableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QFETCH(bool, exists);
    QFETCH(bool, reportsError);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = exists ? writeFile(dir, "bjyy.mp3", content, size) : dir.filePath("bjyy.mp3");
    QVERIFY(!path.isEmpty());

    const std::unique_ptr<PlatformSound> player = makePlatformSound();
    PlatformSound &sound = *player;
    sound.playLooped(path);
    if (!exists)
        QVERIFY(!sound.hasMusic());
    // A player that reported an error is let go by itself; stop() then has
    // nothing left that could wait.
    // Windows' MCI may take seconds to turn a file down (Wine: 6 s for a JPEG).
    if (reportsError)
        QTRY_VERIFY_WITH_TIMEOUT(!sound.hasMusic(), 60000);
    sound.stop();
    QVERIFY(!sound.hasMusic());
    sound.playLooped(path);
    sound.stop();
    QVERIFY(!sound.hasMusic());
}

void TestPlatform::stopWithoutMusic()
{
    const std::unique_ptr<PlatformSound> player = makePlatformSound();
    PlatformSound &sound = *player;
    sound.stop();
    sound.stop();
    QVERIFY(!sound.hasMusic());

    const std::unique_ptr<Sound> system = createSystemSound();
    QVERIFY(system);
    system->stop();
    system->playWave(QByteArray("not a wave"));
    system->stop();
}

// A new end sound replaces the one before; one that cannot play silences
// it, whatever the device does with them.
void TestPlatform::waveKeepsOnlyTheLatest()
{
    const std::unique_ptr<PlatformSound> player = makePlatformSound();
    PlatformSound &sound = *player;
    const QByteArray first(44100 * 4 / 10, '\1');
    const QByteArray second(44100 * 4 / 10, '\2');

    sound.playWave(stereoWave(first));
    QCOMPARE(sound.acceptedSamples(), first);
    sound.playWave(stereoWave(second));
    QCOMPARE(sound.acceptedSamples(), second);
    // On Linux no device is given, so nothing is handed out; on Windows
    // PlaySound takes it where there is a device.
#ifndef Q_OS_WIN
    QVERIFY(!sound.hasWave());
#endif
    sound.playWave(QByteArray("RIFF\0\0\0\0WAVE", 12));
    QVERIFY(sound.acceptedSamples().isEmpty());
    QVERIFY(!sound.hasWave());
}

void TestPlatform::mediaBackend_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
#if defined(Q_OS_LINUX)
    QTest::newRow("unset") << QByteArray() << QByteArray("gstreamer");
#endif
    QTest::newRow("chosen by the user") << QByteArray("ffmpeg") << QByteArray("ffmpeg");
}

void TestPlatform::mediaBackend()
{
    QFETCH(QByteArray, before);
    const QByteArray saved = qgetenv("QT_MEDIA_BACKEND");
    const bool wasSet = qEnvironmentVariableIsSet("QT_MEDIA_BACKEND");
    if (before.isNull())
        qunsetenv("QT_MEDIA_BACKEND");
    else
        qputenv("QT_MEDIA_BACKEND", before);

    preparePlatformEnvironment();
    const QByteArray after = qgetenv("QT_MEDIA_BACKEND");

    if (wasSet)
        qputenv("QT_MEDIA_BACKEND", saved);
    else
        qunsetenv("QT_MEDIA_BACKEND");
    QTEST(after, "after");
}

void TestPlatform::archiveFolderRule_data()
{
    QTest::addColumn<QString>("runDir");
    QTest::addColumn<QString>("temp");
    QTest::addColumn<bool>("caseMatters");
    QTest::addColumn<bool>("within");

    const QString temp = QStringLiteral("C:\\Users\\张三\\AppData\\Local\\Temp\\");
    QTest::newRow("Explorer") << QStringLiteral("C:\\Users\\张三\\AppData\\Local\\Temp\\Temp1_lunora-2.0.0.zip\\lunora-2.0.0")
                              << temp << false << true;
    QTest::newRow("7-Zip") << QStringLiteral("C:/Users/张三/AppData/Local/Temp/7zO4C2A1B3E/lunora-2.0.0") << temp
                           << false << true;
    QTest::newRow("WinRAR") << QStringLiteral("c:\\users\\张三\\appdata\\local\\temp\\Rar$EXa9876.12345") << temp
                            << false << true;
    QTest::newRow("the folder itself") << QStringLiteral("C:\\Users\\张三\\AppData\\Local\\Temp") << temp << false
                                       << true;
    QTest::newRow("dot-dot back into it")
        << QStringLiteral("C:\\Users\\张三\\Desktop\\..\\AppData\\Local\\Temp\\x") << temp << false << true;
    QTest::newRow("a name that only starts alike")
        << QStringLiteral("C:\\Users\\张三\\AppData\\Local\\Temporary\\lunora") << temp << false << false;
    QTest::newRow("dot-dot out of it") << QStringLiteral("C:\\Users\\张三\\AppData\\Local\\Temp\\..\\lunora") << temp
                                       << false << false;
    QTest::newRow("unzipped on the desktop") << QStringLiteral("C:\\Users\\张三\\Desktop\\lunora-2.0.0") << temp
                                             << false << false;
    QTest::newRow("a USB stick") << QStringLiteral("E:\\lunora") << temp << false << false;
    QTest::newRow("no temporary folder") << QStringLiteral("/tmp/lunora") << QString() << true << false;
    QTest::newRow("case minds") << QStringLiteral("/TMP/lunora") << QStringLiteral("/tmp") << true << false;
}

void TestPlatform::archiveFolderRule()
{
    QFETCH(QString, runDir);
    QFETCH(QString, temp);
    QFETCH(bool, caseMatters);
    QFETCH(bool, within);
    QCOMPARE(folderLiesWithin(runDir, temp, caseMatters ? Qt::CaseSensitive : Qt::CaseInsensitive), within);
}

void TestPlatform::runFolderLockTakesOnlyWhatNobodyHolds()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    {
        // Left by a copy that ended, naming a process of ours that runs now,
        // as after a restart that gave its number to the next start.
        QFile file(dir.filePath(RunFolderLock::kFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray info = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
            + QCoreApplication::applicationFilePath().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
        QCOMPARE(file.write(info), info.size());
    }
    {
        const RunFolderLock first(dir.path());
        QCOMPARE(first.state(), RunFolderLock::State::Held);
        const RunFolderLock second(dir.path());
        QCOMPARE(second.state(), RunFolderLock::State::HeldByAnother);
        QCOMPARE(second.holder(), QCoreApplication::applicationPid());
    }
    // Let go at the end.
    QCOMPARE(RunFolderLock(dir.path()).state(), RunFolderLock::State::Held);
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
