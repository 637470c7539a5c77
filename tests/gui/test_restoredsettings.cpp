// Start-up restores what the operator set in an earlier run: effects off,
// an automatic stop after some seconds, music off; and the next roll obeys
// the restored values, not the design defaults.
#include "support_operator.h"
#include "support_runfolder.h"

#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestRestoredSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_boxes = std::make_unique<messagebox::Seam>();
        m_files = std::make_unique<filedialog::Seam>();
    }
    void cleanup()
    {
        // Nothing here may ask the operator anything.
        QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(u'|')));
        QVERIFY(m_files->filters().isEmpty());
        m_files.reset();
        m_boxes.reset();
    }

    void choicesMadeOnScreenSurviveRestart();
    void storedChoicesApply();

private:
    // The restored window shows the operator's choices and a roll follows them.
    void verifyRestored(const RunFolder &run, const QString &autoStop, int autoStopMs);

    std::unique_ptr<messagebox::Seam> m_boxes;
    std::unique_ptr<filedialog::Seam> m_files;
};

void TestRestoredSettings::verifyRestored(const RunFolder &run, const QString &autoStop, int autoStopMs)
{
    FakeSound *sound = nullptr;
    auto w = run.openWindow(&sound);
    QVERIFY(control<QCheckBox>(*w, QStringLiteral("选择框_禁用特效")).isChecked());
    QCOMPARE(control<QLineEdit>(*w, QStringLiteral("编辑框_自动停止")).text(), autoStop);
    QVERIFY(!control<QAction>(*w, QStringLiteral("启用背景音乐")).isChecked());
    QVERIFY(control<QAction>(*w, QStringLiteral("禁用背景音乐")).isChecked());
    // Untouched options keep their design values.
    QCOMPARE(control<QLineEdit>(*w, QStringLiteral("编辑框_滚动速度")).text(), QStringLiteral("30"));
    QCOMPARE(control<QLineEdit>(*w, QStringLiteral("编辑框_转盘大小")).text(), QStringLiteral("0"));

    const auto &autoStopTimer = control<IntervalTimer>(*w, QStringLiteral("时钟3_自动停止"));
    const auto fireworks = [&w] { return w->findChildren<QWidget *>(QStringLiteral("EffectsWindow")).size(); };
    operate::pressSpace(*w);
    QVERIFY(isRolling(*w));
    QCOMPARE(autoStopTimer.interval(), autoStopMs);
    QVERIFY(autoStopTimer.isActive());
    QVERIFY(sound->looping.isEmpty());
    operate::pressStopCaption(*w);
    QCOMPARE(fireworks(), 0);
    QVERIFY(waitForLanding(*w));
    QCOMPARE(fireworks(), 0);
    QCOMPARE(sound->waveCount, 1); // the end-of-roll sound still plays
    for (const QString &call : sound->calls)
        QVERIFY2(!call.startsWith(u"playLooped"), qPrintable(call));
}

void TestRestoredSettings::choicesMadeOnScreenSurviveRestart()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    {
        auto w = run.openWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const auto &panel = control<ShapeBox>(*w, QStringLiteral("外形框2"));
        auto &effectsOff = control<QCheckBox>(*w, QStringLiteral("选择框_禁用特效"));
        auto &autoStop = control<QLineEdit>(*w, QStringLiteral("编辑框_自动停止"));
        choose(*w, QStringLiteral("其它设置"));
        QVERIFY(panel.isVisible());
        QTest::mouseClick(&effectsOff, Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
        QVERIFY(effectsOff.isChecked());
        operate::typeOver(autoStop, QStringLiteral("5"));
        QCOMPARE(autoStop.text(), QStringLiteral("5"));
        QTest::mouseClick(&control<QPushButton>(*w, QStringLiteral("按钮_保存")), Qt::LeftButton);
        QVERIFY(panel.isHidden());
        choose(*w, QStringLiteral("禁用背景音乐"));
    }
    QCOMPARE(storedValue(run, QStringLiteral("禁用特效")), QStringLiteral("真"));
    QCOMPARE(storedValue(run, QStringLiteral("自动停止")), QStringLiteral("5"));
    QCOMPARE(storedValue(run, QStringLiteral("背景音乐")), QStringLiteral("假"));
    verifyRestored(run, QStringLiteral("5"), 5000);
}

// How the stored text reads as seconds is the roll's own test; a fraction
// shows it reaches the timer in milliseconds.
void TestRestoredSettings::storedChoicesApply()
{
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 QStringLiteral("[zbt]\r\nlx=真\r\n禁用特效=真\r\n自动停止=2.5\r\n背景音乐=假\r\n"));
    verifyRestored(run, QStringLiteral("2.5"), 2500);
    // Starting and rolling wrote none of the three back.
    QCOMPARE(storedValue(run, QStringLiteral("禁用特效")), QStringLiteral("真"));
    QCOMPARE(storedValue(run, QStringLiteral("自动停止")), QStringLiteral("2.5"));
    QCOMPARE(storedValue(run, QStringLiteral("背景音乐")), QStringLiteral("假"));
}

QTEST_MAIN(TestRestoredSettings)
#include "test_restoredsettings.moc"
