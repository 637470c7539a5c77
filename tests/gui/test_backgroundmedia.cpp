// The background picture and the roll music as the operator changes them
// through the popup menu, on the real main window, offscreen, with every
// file dialog and message box answered by its seam and a silent sound.
#include "support_operator.h"
#include "support_pictures.h"
#include "support_runfolder.h"

#include "core/wholefile.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

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

PictureBox &resultPicture(const QWidget &window)
{
    return control<PictureBox>(window, QStringLiteral("图片框a_结果"));
}

// After a draw the result picture shows the prize won.
bool resultShownAfterADraw(const RunFolder &run, const QWidget &window)
{
    // The save worker stores the win after the landing.
    return drawOnce(window) && QTest::qWaitFor([&run] { return storedWins(run) == 1; }, kPatienceMs)
        && resultPicture(window).isVisible();
}

bool fireworksShown(const QWidget &window)
{
    return !window.findChildren<QWidget *>(QStringLiteral("EffectsWindow")).isEmpty();
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
    prepareDrawable(*m_run, kQuickRoll);
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(resultShownAfterADraw(*m_run, *w));
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));

    m_files->queueChoice(m_elsewhere->file(QStringLiteral("海报.jpg")));
    choose(*w, QStringLiteral("更换背景图"));
    QCOMPARE(m_files->filters(), QStringList{kPictureFilter});
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), chosen);
    QVERIFY(resultPicture(*w).isHidden());
    // Stretched over the whole window, whatever its aspect.
    QVERIFY(near(cornerColour(w.get()), QColor(0, 0, 255)));
    const QImage shot = w->grab().toImage();
    QVERIFY(near(shot.pixelColor(shot.width() - 2, shot.height() - 2), QColor(0, 0, 255)));

    // A second choice replaces the first.
    const QByteArray second = wideJpeg(QColor(0, 255, 0));
    m_elsewhere->writeBytes(QStringLiteral("second.jpg"), second);
    m_files->queueChoice(m_elsewhere->file(QStringLiteral("second.jpg")));
    choose(*w, QStringLiteral("更换背景图"));
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), second);
    QVERIFY(near(cornerColour(w.get()), QColor(0, 255, 0)));
}

void TestBackgroundMedia::cancelledReplaceStillHidesResult()
{
    const QByteArray stored = wideJpeg(QColor(0, 0, 255));
    m_run->writeBytes(QStringLiteral("底图.jpg"), stored);
    prepareDrawable(*m_run, kQuickRoll);
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(resultShownAfterADraw(*m_run, *w));
    m_files->queueCancel();
    choose(*w, QStringLiteral("更换背景图"));
    QCOMPARE(m_files->pendingAnswers(), 0);
    QCOMPARE(m_files->filters(), QStringList{kPictureFilter});
    QVERIFY(resultPicture(*w).isHidden());
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), stored);
    QVERIFY(near(cornerColour(w.get()), QColor(0, 0, 255)));
}

void TestBackgroundMedia::clearBackgroundRemovesFileAndPicture()
{
    m_run->writeBytes(QStringLiteral("底图.jpg"), wideJpeg(QColor(0, 0, 255)));
    prepareDrawable(*m_run, kQuickRoll);
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(near(cornerColour(w.get()), QColor(0, 0, 255)));
    QVERIFY(resultShownAfterADraw(*m_run, *w));
    choose(*w, QStringLiteral("取消背景图"));
    QVERIFY(!QFile::exists(m_run->file(QStringLiteral("底图.jpg"))));
    QVERIFY(resultPicture(*w).isHidden());
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));
    QVERIFY(m_files->filters().isEmpty());
}

void TestBackgroundMedia::clearWithoutBackgroundOnlyHidesResult()
{
    prepareDrawable(*m_run, kQuickRoll);
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(resultShownAfterADraw(*m_run, *w));
    const QStringList before = QDir(m_run->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    choose(*w, QStringLiteral("取消背景图"));
    QVERIFY(resultPicture(*w).isHidden());
    QCOMPARE(QDir(m_run->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(near(cornerColour(w.get()), QColor(255, 0, 0)));
}

void TestBackgroundMedia::musicItemsWriteTheFlag()
{
    auto w = m_run->openWindow();
    const QAction &enable = control<QAction>(*w, QStringLiteral("启用背景音乐"));
    const QAction &disable = control<QAction>(*w, QStringLiteral("禁用背景音乐"));
    QVERIFY(storedValue(*m_run, QStringLiteral("背景音乐")).isNull());
    choose(*w, QStringLiteral("禁用背景音乐"));
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), QStringLiteral("假"));
    QVERIFY(!enable.isChecked());
    QVERIFY(disable.isChecked());
    // Choosing the item already checked keeps exactly one mark.
    choose(*w, QStringLiteral("禁用背景音乐"));
    QVERIFY(!enable.isChecked());
    QVERIFY(disable.isChecked());
    choose(*w, QStringLiteral("启用背景音乐"));
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), QStringLiteral("真"));
    QVERIFY(enable.isChecked());
    QVERIFY(!disable.isChecked());
    choose(*w, QStringLiteral("启用背景音乐"));
    QVERIFY(enable.isChecked());
    QVERIFY(!disable.isChecked());
}

// Which stored texts mean off is the settings' own test (only "假"); here
// the menu's marks and the roll's music follow what was read, and a near
// miss, kept as the operator wrote it, is on.
void TestBackgroundMedia::storedMusicSwitch_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("否 is no switch") << QStringLiteral("否") << true;
    QTest::newRow("假") << QStringLiteral("假") << false;
}

void TestBackgroundMedia::storedMusicSwitch()
{
    QFETCH(QString, stored);
    QFETCH(bool, on);
    prepareDrawable(*m_run, kQuickRoll + QStringLiteral("背景音乐=") + stored + QStringLiteral("\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    QCOMPARE(control<QAction>(*w, QStringLiteral("启用背景音乐")).isChecked(), on);
    QCOMPARE(control<QAction>(*w, QStringLiteral("禁用背景音乐")).isChecked(), !on);
    // Start-up plays nothing, whatever the switch.
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 0);
    operate::pressSpace(*w);
    QCOMPARE(sound->looping, on ? m_run->file(QStringLiteral("wav/bjyy.mp3")) : QString());
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
    // Nothing rewrote the operator's value.
    QCOMPARE(storedValue(*m_run, QStringLiteral("背景音乐")), stored);
}

void TestBackgroundMedia::disablingDuringRollKeepsPlaying()
{
    prepareDrawable(*m_run, kQuickRoll);
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    RollTicks ticks(*w);
    const QString music = m_run->file(QStringLiteral("wav/bjyy.mp3"));

    operate::pressSpace(*w);
    QCOMPARE(sound->looping, music);
    const int callsAtStart = int(sound->calls.size());
    choose(*w, QStringLiteral("禁用背景音乐"));
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, kPatienceMs);
    QCOMPARE(sound->looping, music);
    QCOMPARE(sound->calls.size(), callsAtStart); // not stopped, not restarted

    operate::pressStopCaption(*w);
    QVERIFY(sound->looping.isEmpty());
    QVERIFY(waitForLanding(*w));

    // The next roll is silent, and enabling during it starts nothing either.
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    QVERIFY(sound->looping.isEmpty());
    choose(*w, QStringLiteral("启用背景音乐"));
    ticks.reset();
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 3, kPatienceMs);
    QVERIFY(sound->looping.isEmpty());
    operate::pressStopCaption(*w);
    QVERIFY(waitForLanding(*w));
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 1);

    // The one after plays again.
    operate::pressSpace(*w);
    QCOMPARE(sound->looping, music);
    QCOMPARE(countOf(sound->calls, QStringLiteral("playLooped")), 2);
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
}

// Never stopped: the roll asks for its own stop when its budget of 100,000
// ticks or more runs out, which silences the music as any stop does, and
// lands with the end sound and no fireworks. At the fastest real timer that
// is minutes, so the test gives the ticks by the roll timer's own signal.
void TestBackgroundMedia::rollEndingByItselfStopsTheMusic()
{
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    operate::pressSpace(*w);
    const QString music = m_run->file(QStringLiteral("wav/bjyy.mp3"));
    QCOMPARE(sound->looping, music);
    auto &timer = control<IntervalTimer>(*w, QStringLiteral("时钟1"));
    int ticks = 0;
    while (!isIdle(*w) && ticks <= 130000) {
        Q_EMIT timer.tick();
        ++ticks;
    }
    QVERIFY2(ticks >= 100000 && ticks <= 130000, qPrintable(QString::number(ticks)));
    QTRY_COMPARE(storedWins(*m_run), 1);
    QCOMPARE(sound->waveCount, 1);
    QVERIFY(sound->looping.isEmpty());
    QCOMPARE(countOf(sound->calls, QStringLiteral("stop")), 1);
    QVERIFY(!fireworksShown(*w));
    QVERIFY(!timer.isActive());
}

void TestBackgroundMedia::replaceMusicMakesByteIdenticalCopy()
{
    const QByteArray chosen = binaryBytes(70000, 3);
    m_elsewhere->writeBytes(QStringLiteral("乐曲 一.mp3"), chosen);
    prepareDrawable(*m_run, kQuickRoll);
    FakeSound *sound = nullptr;
    auto w = m_run->openWindow(&sound);
    QVERIFY(!QFileInfo::exists(m_run->file(QStringLiteral("wav"))));

    m_files->queueChoice(m_elsewhere->file(QStringLiteral("乐曲 一.mp3")));
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(m_files->filters(), QStringList{kMusicFilter});
    QVERIFY(QFileInfo(m_run->file(QStringLiteral("wav"))).isDir());
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), chosen);
    QCOMPARE(readWholeFile(m_elsewhere->file(QStringLiteral("乐曲 一.mp3"))), chosen);

    // During a roll: the playing music is left alone, the file is replaced
    // (a shorter one leaves no tail of the old), and the next roll plays it.
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    const QStringList callsBefore = sound->calls;
    const QByteArray shorter = binaryBytes(1000, 11);
    m_elsewhere->writeBytes(QStringLiteral("short.mp3"), shorter);
    m_files->queueChoice(m_elsewhere->file(QStringLiteral("short.mp3")));
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(sound->calls, callsBefore);
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), shorter);
    operate::pressSpace(*w);
    QVERIFY(waitForLanding(*w));
}

void TestBackgroundMedia::cancelledMusicReplaceLeavesFile()
{
    auto w = m_run->openWindow();
    // The folder is made before the dialog opens, so a cancel still leaves it.
    m_files->queueCancel();
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(m_files->pendingAnswers(), 0);
    QVERIFY(QFileInfo(m_run->file(QStringLiteral("wav"))).isDir());
    QVERIFY(!QFileInfo::exists(m_run->file(QStringLiteral("wav/bjyy.mp3"))));

    const QByteArray stored = binaryBytes(500, 5);
    m_run->writeBytes(QStringLiteral("wav/bjyy.mp3"), stored);
    m_files->queueCancel();
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), stored);
    QCOMPARE(m_files->filters().size(), 2);
}

QTEST_MAIN(TestBackgroundMedia)
#include "test_backgroundmedia.moc"
