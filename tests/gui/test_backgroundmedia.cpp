// The background picture and the roll music as the operator changes them
// through the popup menu, on the real main window, offscreen, with every
// file dialog and message box answered by its seam and a silent sound.
#include "support_mainwindow.h"
#include "support_pictures.h"
#include "support_runfolder.h"

#include "core/wholefile.h"
#include "core/roll.h"
#include "display/backgroundpicture.h"
#include "display/wineffects.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QTest>

namespace {

const QString kPictureFilter = QStringLiteral("图形文件(*.jpg)|*.jpg");
const QString kMusicFilter = QStringLiteral("音乐文件(*.mp3)|*.mp3");

// Far wider than any screen is high, so a picture that kept its aspect
// would leave most of the window red.
QByteArray wideJpeg(const QColor &colour)
{
    return solidJpeg({64, 4}, colour, 100);
}

// Bytes no text or image routine would leave alone: every byte value,
// zeros and CR/LF included.
QByteArray binaryBytes(int size, int salt)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + salt) % 256);
    return bytes;
}



// The bottom left corner: no control covers it at start.
QColor cornerColour(QWidget *window)
{
    const QImage image = window->grab().toImage();
    return image.pixelColor(2, image.height() - 2);
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

int countOf(const QStringList &calls, const QString &prefix)
{
    int n = 0;
    for (const QString &call : calls)
        n += call.startsWith(prefix) ? 1 : 0;
    return n;
}

} // namespace

class TestBackgroundMedia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void replaceBackgroundCopiesAndShowsIt();
    void cancelledReplaceStillHidesResult();
    void clearBackgroundRemovesFileAndPicture();
    void clearWithoutBackgroundOnlyHidesResult();
    void musicItemsWriteTheFlag();
    void storedMusicSwitch_data();
    void storedMusicSwitch();
    void disablingDuringRollKeepsPlaying();
    void rollEndingByItselfStopsTheMusic();
    void replaceMusicMakesByteIdenticalCopy();
    void cancelledMusicReplaceLeavesFile();

private:
    std::unique_ptr<RunFolder> m_run;
    std::unique_ptr<RunFolder> m_elsewhere; // where the operator's chosen files live
    std::unique_ptr<messagebox::Seam> m_boxes;
    std::unique_ptr<filedialog::Seam> m_files;
};

void TestBackgroundMedia::init()
{
    m_boxes = std::make_unique<messagebox::Seam>();
    m_files = std::make_unique<filedialog::Seam>();
    m_run = std::make_unique<RunFolder>();
    m_elsewhere = std::make_unique<RunFolder>();
}

void TestBackgroundMedia::cleanup()
{
    // No handler here may ask the operator anything.
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(u'|')));
    m_files.reset();
    m_boxes.reset();
    m_elsewhere.reset();
    m_run.reset();
}

void TestBackgroundMedia::replaceBackgroundCopiesAndShowsIt()
{
    const QByteArray chosen = wideJpeg(QColor(0, 0, 255));
    m_elsewhere->writeBytes(QStringLiteral("海报.jpg"), chosen);
    auto w = m_run->openWindow();
    MainControls &c = parts(w).controls();
    c.resultPicture->show();
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));

    m_files->queueChoice(m_elsewhere->file(QStringLiteral("海报.jpg")));
    parts(w).menu().replaceBackground->trigger();
    QCOMPARE(m_files->filters(), QStringList{kPictureFilter});
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), chosen);
    QCOMPARE(parts(w).background().bytes(), chosen);
    QVERIFY(c.resultPicture->isHidden());
    // Stretched over the whole window, whatever its aspect.
    QVERIFY(near(cornerColour(w.get()), QColor(0, 0, 255)));
    const QImage shot = w->grab().toImage();
    QVERIFY(near(shot.pixelColor(shot.width() - 2, shot.height() - 2), QColor(0, 0, 255)));

    // A second choice replaces the first.
    const QByteArray second = wideJpeg(QColor(0, 255, 0));
    m_elsewhere->writeBytes(QStringLiteral("second.jpg"), second);
    m_files->queueChoice(m_elsewhere->file(QStringLiteral("second.jpg")));
    parts(w).menu().replaceBackground->trigger();
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), second);
    QVERIFY(near(cornerColour(w.get()), QColor(0, 255, 0)));
}

void TestBackgroundMedia::cancelledReplaceStillHidesResult()
{
    const QByteArray stored = wideJpeg(QColor(0, 0, 255));
    m_run->writeBytes(QStringLiteral("底图.jpg"), stored);
    auto w = m_run->openWindow();
    MainControls &c = parts(w).controls();
    c.resultPicture->show();
    m_files->queueCancel();
    parts(w).menu().replaceBackground->trigger();
    QCOMPARE(m_files->pendingAnswers(), 0);
    QCOMPARE(m_files->filters(), QStringList{kPictureFilter});
    QVERIFY(c.resultPicture->isHidden());
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), stored);
    QCOMPARE(parts(w).background().bytes(), stored);
}

void TestBackgroundMedia::clearBackgroundRemovesFileAndPicture()
{
    m_run->writeBytes(QStringLiteral("底图.jpg"), wideJpeg(QColor(0, 0, 255)));
    auto w = m_run->openWindow();
    MainControls &c = parts(w).controls();
    QVERIFY(near(cornerColour(w.get()), QColor(0, 0, 255)));
    c.resultPicture->show();
    parts(w).menu().clearBackground->trigger();
    QVERIFY(!QFile::exists(m_run->file(QStringLiteral("底图.jpg"))));
    QVERIFY(parts(w).background().bytes().isEmpty());
    QVERIFY(c.resultPicture->isHidden());
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));
    QVERIFY(m_files->filters().isEmpty());
}

void TestBackgroundMedia::clearWithoutBackgroundOnlyHidesResult()
{
    auto w = m_run->openWindow();
    MainControls &c = parts(w).controls();
    c.resultPicture->show();
    const QStringList before = QDir(m_run->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    parts(w).menu().clearBackground->trigger();
    QVERIFY(c.resultPicture->isHidden());
    QVERIFY(parts(w).background().bytes().isEmpty());
    QCOMPARE(QDir(m_run->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));
}

void TestBackgroundMedia::musicItemsWriteTheFlag()
{
    auto w = m_run->openWindow();
    MainMenu &m = parts(w).menu();
    QVERIFY(storedValue(*m_run, QStringLiteral("背景音乐")).isNull());
    m.disableMusic->trigger();
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), QStringLiteral("假"));
    QVERIFY(!m.enableMusic->isChecked());
    QVERIFY(m.disableMusic->isChecked());
    // Choosing the item already checked keeps exactly one mark.
    m.disableMusic->trigger();
    QVERIFY(!m.enableMusic->isChecked());
    QVERIFY(m.disableMusic->isChecked());
    m.enableMusic->trigger();
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), QStringLiteral("真"));
    QVERIFY(m.enableMusic->isChecked());
    QVERIFY(!m.disableMusic->isChecked());
    m.enableMusic->trigger();
    QVERIFY(m.enableMusic->isChecked());
    QVERIFY(!m.disableMusic->isChecked());
}

void TestBackgroundMedia::storedMusicSwitch_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("0 means on") << QStringLiteral("0") << true;
    QTest::newRow("真") << QStringLiteral("真") << true;
    QTest::newRow("否") << QStringLiteral("否") << true;
    QTest::newRow("false") << QStringLiteral("false") << true;
    QTest::newRow("假") << QStringLiteral("假") << false;
}

void TestBackgroundMedia::storedMusicSwitch()
{
    QFETCH(QString, stored);
    QFETCH(bool, on);
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n背景音乐=") + stored + QStringLiteral("\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    QCOMPARE(parts(w).menu().enableMusic->isChecked(), on);
    QCOMPARE(parts(w).menu().disableMusic->isChecked(), !on);
    // Start-up plays nothing, whatever the switch.
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 0);
    parts(w).controls().effectsDisabledBox->setChecked(true);
    parts(w).roll().startOrStop();
    QCOMPARE(sound->looping, on ? m_run->file(QStringLiteral("wav/bjyy.mp3")) : QString());
    // Nothing rewrote the operator's value.
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), stored);
}

void TestBackgroundMedia::disablingDuringRollKeepsPlaying()
{
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    parts(w).controls().effectsDisabledBox->setChecked(true);
    Roll &roll = parts(w).roll();
    const QString music = m_run->file(QStringLiteral("wav/bjyy.mp3"));

    roll.startOrStop();
    QCOMPARE(sound->looping, music);
    const int callsAtStart = int(sound->calls.size());
    parts(w).menu().disableMusic->trigger();
    roll.tick();
    QCOMPARE(sound->looping, music);
    QCOMPARE(sound->calls.size(), callsAtStart); // not stopped, not restarted

    roll.stop();
    QVERIFY(sound->looping.isEmpty());
    roll.tick();
    QCOMPARE(roll.state().phase, RollPhase::Idle);

    // The next roll is silent, and enabling during it starts nothing either.
    roll.startOrStop();
    QCOMPARE(roll.state().phase, RollPhase::Rolling);
    QVERIFY(sound->looping.isEmpty());
    parts(w).menu().enableMusic->trigger();
    roll.tick();
    QVERIFY(sound->looping.isEmpty());
    roll.stop();
    roll.tick();
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 1);

    // The one after plays again.
    roll.startOrStop();
    QCOMPARE(sound->looping, music);
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 2);
}

void TestBackgroundMedia::rollEndingByItselfStopsTheMusic()
{
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    Roll &roll = parts(w).roll();
    roll.startOrStop();
    const QString music = m_run->file(QStringLiteral("wav/bjyy.mp3"));
    QCOMPARE(sound->looping, music);
    // Never stopped: the roll asks for its own stop when its budget runs
    // out, which silences the music as any stop does, and lands.
    const qint32 budget = roll.state().tickBudget;
    QVERIFY(budget >= 100000 && budget <= 130000);
    for (qint32 i = 0; i < budget; ++i)
        roll.tick();
    QCOMPARE(roll.state().phase, RollPhase::Idle);
    QCOMPARE(sound->waveCount, 1);
    QVERIFY(sound->looping.isEmpty());
    QCOMPARE(countOf(sound->calls, QStringLiteral("stop")), 1);
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
}

void TestBackgroundMedia::replaceMusicMakesByteIdenticalCopy()
{
    const QByteArray chosen = binaryBytes(70000, 3);
    m_elsewhere->writeBytes(QStringLiteral("乐曲 一.mp3"), chosen);
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    QVERIFY(!QFileInfo::exists(m_run->file(QStringLiteral("wav"))));

    m_files->queueChoice(m_elsewhere->file(QStringLiteral("乐曲 一.mp3")));
    parts(w).menu().replaceMusic->trigger();
    QCOMPARE(m_files->filters(), QStringList{kMusicFilter});
    QVERIFY(QFileInfo(m_run->file(QStringLiteral("wav"))).isDir());
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), chosen);
    QCOMPARE(readWholeFile(m_elsewhere->file(QStringLiteral("乐曲 一.mp3"))), chosen);

    // During a roll: the playing music is left alone, the file is replaced
    // (a shorter one leaves no tail of the old), and the next roll plays it.
    parts(w).controls().effectsDisabledBox->setChecked(true);
    parts(w).roll().startOrStop();
    const QStringList callsBefore = sound->calls;
    const QByteArray shorter = binaryBytes(1000, 11);
    m_elsewhere->writeBytes(QStringLiteral("short.mp3"), shorter);
    m_files->queueChoice(m_elsewhere->file(QStringLiteral("short.mp3")));
    parts(w).menu().replaceMusic->trigger();
    QCOMPARE(sound->calls, callsBefore);
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), shorter);
}

void TestBackgroundMedia::cancelledMusicReplaceLeavesFile()
{
    auto w = m_run->openWindow();
    // The folder is made before the dialog opens, so a cancel still leaves it.
    m_files->queueCancel();
    parts(w).menu().replaceMusic->trigger();
    QCOMPARE(m_files->pendingAnswers(), 0);
    QVERIFY(QFileInfo(m_run->file(QStringLiteral("wav"))).isDir());
    QVERIFY(!QFileInfo::exists(m_run->file(QStringLiteral("wav/bjyy.mp3"))));

    const QByteArray stored = binaryBytes(500, 5);
    m_run->writeBytes(QStringLiteral("wav/bjyy.mp3"), stored);
    m_files->queueCancel();
    parts(w).menu().replaceMusic->trigger();
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), stored);
    QCOMPARE(m_files->filters().size(), 2);
}

QTEST_MAIN(TestBackgroundMedia)
#include "test_backgroundmedia.moc"
