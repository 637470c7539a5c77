// What operators and their machines throw at the program: a 1 ms roll, absurd
// numbers in every option, music files that are no music, a run folder that
// cannot be written. Nothing may crash, hang or pile up work.
#include "support_mainwindow.h"
#include "support_pictures.h"
#include "support_runfolder.h"
#include "support_wait.h"
#include "unprivileged.h"

#include "core/roll.h"
#include "support_platformsound.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <limits>

namespace {

// A whole roll driven through the handlers: start, a few ticks, stop, land.
void rollOnce(MainWindow &w)
{
    parts(w).roll().startStopPress();
    for (int i = 0; i < 3; ++i)
        parts(w).roll().tick();
    parts(w).roll().stopCaptionPressed();
    parts(w).roll().tick();
}

qint32 ticksDone(MainWindow &w, qint32 budgetAtStart)
{
    return budgetAtStart - parts(w).roll().state().tickBudget;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneMillisecondRollLeavesNoBacklog();
    void absurdAutoStop_data();
    void absurdAutoStop();
    void absurdOptionValues_data();
    void absurdOptionValues();
    void musicThatIsNoMusic_data();
    void musicThatIsNoMusic();
    void readOnlyRunFolder();
    void dataFilesThatCannotBeWritten();
};

// At a 1 ms interval the roll must keep up without queueing ticks: Qt merges
// late timer events, so the ticks done never exceed the milliseconds passed,
// other events are still served between ticks, and once the roll has landed
// nothing more arrives.
void TestBadInput::oneMillisecondRollLeavesNoBacklog()
{
    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.rollSpeedEdit->setText(QStringLiteral("1"));
    c.effectsDisabledBox->setChecked(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    parts(w).roll().startStopPress();
    const qint32 budget = parts(w).roll().state().tickBudget;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(c.rollTimer->interval(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(ticksDone(*w, budget) >= 200, kPatienceMs);
    // A queued call posted now is delivered while the roll runs.
    bool served = false;
    QMetaObject::invokeMethod(this, [&served] { served = true; }, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(served, kPatienceMs);
    QVERIFY(parts(w).roll().state().phase == RollPhase::Rolling);
    QVERIFY(ticksDone(*w, budget) <= clock.elapsed() + 5);

    parts(w).roll().stopCaptionPressed();
    QTRY_COMPARE_WITH_TIMEOUT(c.startButton->text(), QStringLiteral("开始"), kPatienceMs);
    QVERIFY(!c.rollTimer->isActive());
    const RollState landed = parts(w).roll().state();
    // The timer is stopped: whatever was still queued is delivered now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(parts(w).roll().state().tickBudget, landed.tickBudget);
    QCOMPARE(parts(w).roll().state().position, landed.position);
    QTRY_COMPARE(storedWins(run), 1); // stored by the save worker
}

void TestBadInput::absurdAutoStop_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");

    QTest::newRow("1e12 saturates") << QStringLiteral("1e12") << std::numeric_limits<qint32>::max();
    QTest::newRow("-3 stops") << QStringLiteral("-3") << 0;
    QTest::newRow("-1e12 stops") << QStringLiteral("-1e12") << 0;
    QTest::newRow("below a millisecond") << QStringLiteral("0.0004") << 0;
    QTest::newRow("letters") << QStringLiteral("soon") << 0;
    QTest::newRow("full-width 2") << QStringLiteral("２") << 2000;
}

// The interval is armed or stopped deterministically, and the roll itself is
// unaffected: it still starts, stops and lands.
void TestBadInput::absurdAutoStop()
{
    QFETCH(QString, text);
    QFETCH(int, interval);

    RunFolder run;
    prepareDrawable(run);
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    c.autoStopEdit->setText(text);
    parts(w).roll().startStopPress();
    QCOMPARE(c.autoStopTimer->interval(), interval);
    QCOMPARE(c.autoStopTimer->isActive(), interval > 0);
    parts(w).roll().tick();
    c.startButton->click(); // a keyboard stop disarms it
    parts(w).roll().tick();
    QCOMPARE(c.autoStopTimer->interval(), 0);
    QTRY_COMPARE(storedWins(run), 1); // stored by the save worker
    // The next roll arms it again in the same way.
    parts(w).roll().startStopPress();
    QCOMPARE(c.autoStopTimer->interval(), interval);
    QCOMPARE(c.autoStopTimer->isActive(), interval > 0);
    parts(w).roll().stopCaptionPressed(); // the stop caption disarms it
    QCOMPARE(c.autoStopTimer->interval(), 0);
    QVERIFY(!c.autoStopTimer->isActive());
}

void TestBadInput::absurdOptionValues_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    const QString zbt = QStringLiteral("zbt");
    const QString yanse = QStringLiteral("yanse");
    const QStringList huge = {QStringLiteral("1e12"), QStringLiteral("-1e12"), QStringLiteral("-2147483649"),
                              QStringLiteral("99999999999999999999999")};
    const QStringList keys = {QStringLiteral("计次"), QStringLiteral("奖品图片宽"), QStringLiteral("奖品图片高"),
                              QStringLiteral("滚动速度"), QStringLiteral("自动停止"),
                              QStringLiteral("主标题左边"), QStringLiteral("主标题顶边"),
                              QStringLiteral("副标题左边"), QStringLiteral("副标题顶边"),
                              QStringLiteral("外形框1左边"), QStringLiteral("外形框1顶边"),
                              QStringLiteral("中奖图片左边"), QStringLiteral("中奖图片顶边"),
                              QStringLiteral("一"), QStringLiteral("八")};
    for (const QString &key : keys) {
        for (const QString &value : huge)
            QTest::addRow("%s=%s", qPrintable(key), qPrintable(value)) << zbt << key << value;
    }
    for (const QString &value : huge) {
        QTest::addRow("main title font size=%s", qPrintable(value)) << yanse << QStringLiteral("主标题字体大小") << value;
        QTest::addRow("subtitle colour=%s", qPrintable(value)) << yanse << QStringLiteral("副标题字体颜色") << value;
    }
}

// Each option holding an absurd number: the window starts, paints, and a
// whole roll still lands and is counted.
void TestBadInput::absurdOptionValues()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);

    RunFolder run;
    QString extra = QStringLiteral("[%1]\r\n%2=%3\r\n").arg(section, key, value);
    if (section == u"yanse") // a font applies only with its colour key
        extra += QStringLiteral("主标题字体颜色=255\r\n副标题字体大小=20\r\n");
    prepareDrawable(run, extra);
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->grab().isNull());

    rollOnce(*w);
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QTRY_COMPARE(storedWins(run), 1); // stored by the save worker
    QVERIFY(c.rollTimer->interval() >= 0);
}

void TestBadInput::musicThatIsNoMusic_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size");

    const QByteArray jpeg = solidJpeg({64, 64}, Qt::darkCyan);
    const qint64 big = qint64(200) * 1024 * 1024;
    QTest::newRow("JPEG") << jpeg << qint64(-1);
    QTest::newRow("200 MB of nothing") << QByteArray("ID3") << big;
}

// The music starts with each roll and stops at each stop request. A file that
// cannot play must neither stop the roll from ticking nor delay the stop.
// The platform's player (Qt Multimedia on no output device, or PlaySound
// and MCI on Windows), so the result is the same on every machine.
void TestBadInput::musicThatIsNoMusic()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);

    RunFolder run;
    prepareDrawable(run);
    run.writeBytes(QStringLiteral("wav/bjyy.mp3"), content);
    if (size > 0) { // sparse: no disk is spent on it
        QFile music(run.file(QStringLiteral("wav/bjyy.mp3")));
        QVERIFY(music.resize(size));
    }
    MainWindow w(run.path(), makePlatformSound());
    MainControls &c = parts(w).controls();
    c.rollSpeedEdit->setText(QStringLiteral("5"));
    c.effectsDisabledBox->setChecked(true);
    w.show();

    for (int round = 1; round <= 2; ++round) {
        parts(w).roll().startStopPress();
        const qint32 budget = parts(w).roll().state().tickBudget;
        QTRY_VERIFY_WITH_TIMEOUT(ticksDone(w, budget) >= 20, kPatienceMs);
        parts(w).roll().stopCaptionPressed();
        QTRY_COMPARE_WITH_TIMEOUT(c.startButton->text(), QStringLiteral("开始"), kPatienceMs);
        QTRY_COMPARE(storedWins(run), round);
    }
}

// A folder the program may not write: start-up shows the defaults it could
// read, its own write of the window mode fails silently, and draws go on,
// each landing saying that its win was not counted.
void TestBadInput::readOnlyRunFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows: a folder's read-only attribute does not stop writes into it (dataFilesThatCannotBeWritten covers it)");
#else
    RERUN_UNPRIVILEGED_UNDER_ROOT();
    RunFolder run;
    prepareDrawable(run);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    QVERIFY(QFile::setPermissions(run.path(), readOnly));
    QVERIFY(QFile::setPermissions(run.file(QStringLiteral("config.a")), QFile::ReadOwner | QFile::ReadUser));
    messagebox::Seam boxes;
    auto w = run.openWindow();
    parts(w).controls().effectsDisabledBox->setChecked(true);
    rollOnce(*w);
    QTRY_COMPARE(boxes.texts().size(), 1); // the save worker's refusal
    QVERIFY(boxes.texts()[0].contains(QStringLiteral("没有记录")));
    const bool created = QFile::exists(run.file(QStringLiteral("jieguo.a")));
    const QString config = run.readGbk(QStringLiteral("config.a"));
    QFile::setPermissions(run.path(), readOnly | QFile::WriteOwner | QFile::WriteUser);
    QCOMPARE(parts(w).controls().startButton->text(), QStringLiteral("开始"));
    QVERIFY(!created);
    QVERIFY(!config.contains(QStringLiteral("界面大小"))); // the start-up write failed
#endif
}

// The same with the data files replaced by folders, which stops writes for
// every user, root included.
void TestBadInput::dataFilesThatCannotBeWritten()
{
    RunFolder run;
    prepareDrawable(run);
    QVERIFY(QDir().mkpath(run.file(QStringLiteral("jieguo.a"))));
    messagebox::Seam boxes;
    auto w = run.openWindow();
    MainControls &c = parts(w).controls();
    c.effectsDisabledBox->setChecked(true);
    rollOnce(*w);
    rollOnce(*w);
    QTRY_COMPARE(boxes.texts().size(), 2); // the save worker's refusals, one box each
    for (const QString &text : boxes.texts())
        QVERIFY(text.contains(QStringLiteral("没有记录")));
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QVERIFY(QFileInfo(run.file(QStringLiteral("jieguo.a"))).isDir());
    QCOMPARE(storedWins(run), 0);

    RunFolder noConfig;
    QVERIFY(QDir().mkpath(noConfig.file(QStringLiteral("config.a"))));
    auto fresh = noConfig.openWindow();
    fresh->show();
    QVERIFY(QTest::qWaitForWindowExposed(fresh.get()));
    // Nothing read: the option boxes hold their defaults.
    QCOMPARE(parts(fresh).controls().rollSpeedEdit->text(), QStringLiteral("30"));
    QCOMPARE(parts(fresh).controls().autoStopEdit->text(), QStringLiteral("0"));
    QVERIFY(QFileInfo(noConfig.file(QStringLiteral("config.a"))).isDir());
}

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
