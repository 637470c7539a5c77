// What operators and their machines throw at the program: a 1 ms roll, absurd
// numbers in every option, music files that are no music, a run folder that
// cannot be written. Nothing may crash, hang or pile up work.
#include "support_runfolder.h"

#include "core/results.h"
#include "core/roll.h"
#include "support_platformsound.h"
#include "ui/controls.h"
#include "ui/messagebox.h"
#include "ui/picturebox.h"

#include <QBuffer>
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
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

// By probability with the start-up defaults and a picture per slot; `extra`
// is more INI text (sections included) written after that.
void prepareDrawable(const RunFolder &run, const QString &extra = {})
{
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n") + extra);
    for (int slot = 1; slot <= 8; ++slot)
        run.writeBytes(QStringLiteral("奖品图片/%1.jpg").arg(slot), QByteArray("picture ") + QByteArray::number(slot));
}

int storedWins(const MainWindow &w)
{
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot)
        total += results::countText(w.settings(), slot).toInt();
    return total;
}

// A whole roll driven through the handlers: start, a few ticks, stop, land.
void rollOnce(MainWindow &w)
{
    w.roll().startStopPress();
    for (int i = 0; i < 3; ++i)
        w.roll().tick();
    w.roll().stopCaptionPressed();
    w.roll().tick();
}

qint32 ticksDone(MainWindow &w, qint32 budgetAtStart)
{
    return budgetAtStart - w.roll().state().tickBudget;
}

QByteArray smallJpeg()
{
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    return bytes;
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
    MainControls &c = w->controls();
    c.rollSpeedEdit->setText(QStringLiteral("1"));
    c.effectsDisabledBox->setChecked(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    w->roll().startStopPress();
    const qint32 budget = w->roll().state().tickBudget;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(c.rollTimer->interval(), 1);
    QTRY_VERIFY(ticksDone(*w, budget) >= 200);
    // A queued call posted now is delivered while the roll runs.
    bool served = false;
    QMetaObject::invokeMethod(this, [&served] { served = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(served);
    QVERIFY(w->roll().state().runFlag == 1);
    QVERIFY(ticksDone(*w, budget) <= clock.elapsed() + 5);

    w->roll().stopCaptionPressed();
    QTRY_COMPARE(c.startButton->text(), QStringLiteral("开始"));
    QVERIFY(!c.rollTimer->isActive());
    const RollState landed = w->roll().state();
    QCoreApplication::processEvents();
    QTest::qWait(50);
    QCOMPARE(w->roll().state().tickBudget, landed.tickBudget);
    QCOMPARE(w->roll().state().position, landed.position);
    QCOMPARE(storedWins(*w), 1);
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
    MainControls &c = w->controls();
    c.effectsDisabledBox->setChecked(true);
    c.autoStopEdit->setText(text);
    w->roll().startStopPress();
    QCOMPARE(c.autoStopTimer->interval(), interval);
    QCOMPARE(c.autoStopTimer->isActive(), interval > 0);
    w->roll().tick();
    c.startButton->click(); // a keyboard stop leaves the timer as it is
    w->roll().tick();
    QCOMPARE(c.autoStopTimer->interval(), interval);
    QCOMPARE(storedWins(*w), 1);
    // A second request with the same text does not restart or change it.
    w->roll().startStopPress();
    QCOMPARE(c.autoStopTimer->interval(), interval);
    w->roll().stopCaptionPressed(); // the stop caption disarms it
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
// whole roll still lands and is counted. Sizes stay within what a widget
// can have.
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
    MainControls &c = w->controls();
    c.effectsDisabledBox->setChecked(true);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->grab().isNull());

    rollOnce(*w);
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QCOMPARE(storedWins(*w), 1);
    for (QWidget *widget : {static_cast<QWidget *>(c.resultPicture), static_cast<QWidget *>(c.wheelFrame)}) {
        QVERIFY(widget->width() >= 0 && widget->width() <= QWIDGETSIZE_MAX);
        QVERIFY(widget->height() >= 0 && widget->height() <= QWIDGETSIZE_MAX);
    }
    QVERIFY(c.rollTimer->interval() >= 0);
}

void TestBadInput::musicThatIsNoMusic_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("qtPlayer");

    const QByteArray jpeg = smallJpeg();
    const qint64 big = qint64(200) * 1024 * 1024;
    QTest::newRow("JPEG, Qt player") << jpeg << qint64(-1) << true;
    QTest::newRow("200 MB, Qt player") << QByteArray("ID3") << big << true;
    QTest::newRow("JPEG, system sound") << jpeg << qint64(-1) << false;
    QTest::newRow("200 MB, system sound") << QByteArray("ID3") << big << false;
}

// The music starts with each roll and stops at each stop request. A file that
// cannot play must neither stop the roll from ticking nor delay the stop.
// The platform's player (Qt Multimedia, or PlaySound and MCI on Windows) runs
// even without an output device (CI has none); the system's choice is
// whatever this machine offers.
void TestBadInput::musicThatIsNoMusic()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, size);
    QFETCH(bool, qtPlayer);

    RunFolder run;
    prepareDrawable(run);
    run.writeBytes(QStringLiteral("wav/bjyy.mp3"), content);
    if (size > 0) { // sparse: no disk is spent on it
        QFile music(run.file(QStringLiteral("wav/bjyy.mp3")));
        QVERIFY(music.resize(size));
    }
    std::unique_ptr<Sound> sound = qtPlayer ? std::unique_ptr<Sound>(makePlatformSound()) : createSystemSound();
    MainWindow w(run.path(), std::move(sound));
    MainControls &c = w.controls();
    c.rollSpeedEdit->setText(QStringLiteral("5"));
    c.effectsDisabledBox->setChecked(true);
    w.show();

    for (int round = 1; round <= 2; ++round) {
        w.roll().startStopPress();
        const qint32 budget = w.roll().state().tickBudget;
        QTRY_VERIFY(ticksDone(w, budget) >= 20);
        w.roll().stopCaptionPressed();
        QTRY_COMPARE(c.startButton->text(), QStringLiteral("开始"));
        QCOMPARE(storedWins(w), round);
    }
}

// A folder the program may not write: start-up shows the defaults it could
// read, settings writes fail silently, and draws go on, each landing saying
// that its win was not counted.
void TestBadInput::readOnlyRunFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows: a folder's read-only attribute does not stop writes into it (dataFilesThatCannotBeWritten covers it)");
#else
    if (::geteuid() == 0)
        QSKIP("running as root: permissions do not stop writes (dataFilesThatCannotBeWritten covers it)");
    RunFolder run;
    prepareDrawable(run);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    QVERIFY(QFile::setPermissions(run.path(), readOnly));
    QVERIFY(QFile::setPermissions(run.file(QStringLiteral("config.a")), QFile::ReadOwner | QFile::ReadUser));
    messagebox::Seam boxes;
    auto w = run.openWindow();
    w->controls().effectsDisabledBox->setChecked(true);
    rollOnce(*w);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(boxes.texts()[0].contains(QStringLiteral("没有记录")));
    const bool created = QFile::exists(run.file(QStringLiteral("jieguo.a")));
    const QString config = run.readGbk(QStringLiteral("config.a"));
    QFile::setPermissions(run.path(), readOnly | QFile::WriteOwner | QFile::WriteUser);
    QCOMPARE(w->controls().startButton->text(), QStringLiteral("开始"));
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
    MainControls &c = w->controls();
    c.effectsDisabledBox->setChecked(true);
    rollOnce(*w);
    rollOnce(*w);
    QCOMPARE(boxes.texts().size(), 2);
    for (const QString &text : boxes.texts())
        QVERIFY(text.contains(QStringLiteral("没有记录")));
    QCOMPARE(c.startButton->text(), QStringLiteral("开始"));
    QVERIFY(QFileInfo(run.file(QStringLiteral("jieguo.a"))).isDir());
    QCOMPARE(storedWins(*w), 0);

    RunFolder noConfig;
    QVERIFY(QDir().mkpath(noConfig.file(QStringLiteral("config.a"))));
    auto fresh = noConfig.openWindow();
    fresh->show();
    QVERIFY(QTest::qWaitForWindowExposed(fresh.get()));
    // Nothing read: the option boxes hold their defaults.
    QCOMPARE(fresh->controls().rollSpeedEdit->text(), QStringLiteral("30"));
    QCOMPARE(fresh->controls().autoStopEdit->text(), QStringLiteral("0"));
    QVERIFY(QFileInfo(noConfig.file(QStringLiteral("config.a"))).isDir());
}

QTEST_MAIN(TestBadInput)
#include "test_badinput.moc"
