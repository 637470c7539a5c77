// What operators and their machines throw at the program: a 1 ms roll, absurd
// numbers in every option, music files that are no music, a run folder that
// cannot be written. Nothing may crash, hang or pile up work.
#include "support_operator.h"
#include "support_pictures.h"
#include "support_platformsound.h"
#include "support_runfolder.h"
#include "support_wait.h"
#include "unprivileged.h"

#include "widgets/messagebox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include <limits>

namespace {

IntervalTimer &rollTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟1"));
}

IntervalTimer &autoStopTimer(const QWidget &w)
{
    return control<IntervalTimer>(w, QStringLiteral("时钟3_自动停止"));
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneMillisecondRollLeavesNoBacklog();
    void absurdAutoStop();
    void absurdOptionValues_data();
    void absurdOptionValues();
    void musicThatIsNoMusic_data();
    void musicThatIsNoMusic();
    void readOnlyRunFolder();
    void dataFilesThatCannotBeWritten();
};

// At a 1 ms interval the roll must keep up without queueing ticks: Qt merges
// late timer events, so the ticks done never exceed the milliseconds passed
// (a slow machine only gives fewer), other events are still served between
// ticks, and once the roll has landed nothing more arrives.
void TestBadInput::oneMillisecondRollLeavesNoBacklog()
{
    RunFolder run;
    prepareDrawable(run, kQuickRoll);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    RollTicks ticks(*w);
    QElapsedTimer clock;
    clock.start();
    operate::pressSpace(*w);
    QCOMPARE(rollTimer(*w).interval(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 200, kPatienceMs);
    // A queued call posted now is delivered while the roll runs.
    bool served = false;
    QMetaObject::invokeMethod(this, [&served] { served = true; }, Qt::QueuedConnection);
    QTRY_VERIFY_WITH_TIMEOUT(served, kPatienceMs);
    QVERIFY(isRolling(*w));
    QVERIFY(ticks.count() <= clock.elapsed() + 5);

    operate::pressStopCaption(*w);
    QVERIFY(waitForLanding(*w));
    QVERIFY(!rollTimer(*w).isActive());
    const int landedAt = ticks.count();
    // The timer is stopped: whatever was still queued is delivered now.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(ticks.count(), landedAt);
    QTRY_COMPARE(storedWins(run), 1);
}

// How the box's text reads is the roll's own test; here a delay far beyond
// any event (1e12 s, saturated) is armed on the real timer without harm, the
// roll still starts, stops and lands, a stop disarms it, and the next roll
// arms it again.
void TestBadInput::absurdAutoStop()
{
    RunFolder run;
    prepareDrawable(run, kQuickRoll + QStringLiteral("自动停止=1e12\r\n"));
    auto w = run.openWindow();
    const int saturated = std::numeric_limits<qint32>::max();
    operate::pressSpace(*w);
    QCOMPARE(autoStopTimer(*w).interval(), saturated);
    QVERIFY(autoStopTimer(*w).isActive());
    operate::pressSpace(*w); // a keyboard stop disarms it
    QVERIFY(waitForLanding(*w));
    QCOMPARE(autoStopTimer(*w).interval(), 0);
    QTRY_COMPARE(storedWins(run), 1);

    operate::pressSpace(*w);
    QCOMPARE(autoStopTimer(*w).interval(), saturated);
    QVERIFY(autoStopTimer(*w).isActive());
    operate::pressStopCaption(*w); // and so does the stop caption
    QCOMPARE(autoStopTimer(*w).interval(), 0);
    QVERIFY(!autoStopTimer(*w).isActive());
    QVERIFY(waitForLanding(*w));
    QTRY_COMPARE(storedWins(run), 2);
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
    QString extra = key == u"滚动速度" ? QStringLiteral("禁用特效=真\r\n") : kQuickRoll;
    extra += QStringLiteral("[%1]\r\n%2=%3\r\n").arg(section, key, value);
    if (section == u"yanse") // a font applies only with its colour key
        extra += QStringLiteral("主标题字体颜色=255\r\n副标题字体大小=20\r\n");
    prepareDrawable(run, extra);
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->grab().isNull());

    QVERIFY(drawOnce(*w));
    QTRY_COMPARE(storedWins(run), 1);
    QCOMPARE(rollTimer(*w).interval(), 0);
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
    prepareDrawable(run, QStringLiteral("滚动速度=5\r\n禁用特效=真\r\n"));
    run.writeBytes(QStringLiteral("wav/bjyy.mp3"), content);
    if (size > 0) { // sparse: no disk is spent on it
        QFile music(run.file(QStringLiteral("wav/bjyy.mp3")));
        QVERIFY(music.resize(size));
    }
    MainWindow w(run.path(), makePlatformSound());
    w.show();

    for (int round = 1; round <= 2; ++round) {
        RollTicks ticks(w);
        operate::pressSpace(w);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 20, kPatienceMs);
        operate::pressStopCaption(w);
        QVERIFY(waitForLanding(w));
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
    prepareDrawable(run, kQuickRoll);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    QVERIFY(QFile::setPermissions(run.path(), readOnly));
    QVERIFY(QFile::setPermissions(run.file(QStringLiteral("config.a")), QFile::ReadOwner | QFile::ReadUser));
    messagebox::Seam boxes;
    auto w = run.openWindow();
    const bool landed = drawOnce(*w);
    // The save worker's refusal, while the folder still refuses.
    const bool told = QTest::qWaitFor([&boxes] { return !boxes.texts().isEmpty(); }, kPatienceMs);
    const bool created = QFile::exists(run.file(QStringLiteral("jieguo.a")));
    const QString config = run.readGbk(QStringLiteral("config.a"));
    QFile::setPermissions(run.path(), readOnly | QFile::WriteOwner | QFile::WriteUser);
    QVERIFY(landed && told);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(boxes.texts()[0].contains(QStringLiteral("没有记录")));
    QVERIFY(!created);
    QVERIFY(!config.contains(QStringLiteral("界面大小"))); // the start-up write failed
#endif
}

// The same with the data files replaced by folders, which stops writes for
// every user, root included.
void TestBadInput::dataFilesThatCannotBeWritten()
{
    RunFolder run;
    prepareDrawable(run, kQuickRoll);
    QVERIFY(QDir().mkpath(run.file(QStringLiteral("jieguo.a"))));
    messagebox::Seam boxes;
    auto w = run.openWindow();
    QVERIFY(drawOnce(*w));
    QVERIFY(drawOnce(*w));
    QTRY_COMPARE(boxes.texts().size(), 2);
    for (const QString &text : boxes.texts())
        QVERIFY(text.contains(QStringLiteral("没有记录")));
    QVERIFY(QFileInfo(run.file(QStringLiteral("jieguo.a"))).isDir());
    QTRY_COMPARE(storedWins(run), 0);

    RunFolder noConfig;
    QVERIFY(QDir().mkpath(noConfig.file(QStringLiteral("config.a"))));
    auto fresh = noConfig.openWindow();
    fresh->show();
    QVERIFY(QTest::qWaitForWindowExposed(fresh.get()));
    // Nothing read: the option boxes hold their defaults.
    QCOMPARE(control<QLineEdit>(*fresh, QStringLiteral("编辑框_滚动速度")).text(), QStringLiteral("30"));
    QCOMPARE(control<QLineEdit>(*fresh, QStringLiteral("编辑框_自动停止")).text(), QStringLiteral("0"));
    QVERIFY(QFileInfo(noConfig.file(QStringLiteral("config.a"))).isDir());
}

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
