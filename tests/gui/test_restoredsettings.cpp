// Start-up restores what the operator set in an earlier run: effects off,
// an automatic stop after some seconds, music off; and the next roll obeys
// the restored values, not the design defaults.
#include "support_mainwindow.h"
#include "support_runfolder.h"

#include "core/roll.h"
#include "display/wineffects.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QAction>
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
    void storedChoicesApply_data();
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
    MainControls &c = parts(w).controls();
    QVERIFY(c.effectsDisabledBox->isChecked());
    QCOMPARE(c.autoStopEdit->text(), autoStop);
    QVERIFY(!parts(w).menu().enableMusic->isChecked());
    QVERIFY(parts(w).menu().disableMusic->isChecked());
    // Untouched options keep their design values.
    QCOMPARE(c.rollSpeedEdit->text(), QStringLiteral("30"));
    QCOMPARE(c.wheelSizeEdit->text(), QStringLiteral("0"));

    parts(w).roll().startOrStop();
    QCOMPARE(parts(w).roll().state().phase, RollPhase::Rolling);
    QCOMPARE(c.autoStopTimer->interval(), autoStopMs);
    QVERIFY(c.autoStopTimer->isActive());
    QVERIFY(sound->looping.isEmpty());
    parts(w).roll().stop();
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
    parts(w).roll().tick();
    QCOMPARE(parts(w).roll().state().phase, RollPhase::Idle);
    QVERIFY(!w->findChild<WinEffects *>()->isShowing());
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
        MainControls &c = parts(w).controls();
        parts(w).menu().otherSettings->trigger();
        QVERIFY(c.optionsPanel->isVisible());
        QTest::mouseClick(c.effectsDisabledBox, Qt::LeftButton, Qt::NoModifier, QPoint(5, 8));
        QVERIFY(c.effectsDisabledBox->isChecked());
        c.autoStopEdit->selectAll();
        QTest::keyClicks(c.autoStopEdit, QStringLiteral("5"));
        QCOMPARE(c.autoStopEdit->text(), QStringLiteral("5"));
        QTest::mouseClick(c.saveButton, Qt::LeftButton);
        QVERIFY(c.optionsPanel->isHidden());
        parts(w).menu().disableMusic->trigger();
    }
    QCOMPARE(storedValue(run, QStringLiteral("禁用特效")), QStringLiteral("真"));
    QCOMPARE(storedValue(run, QStringLiteral("自动停止")), QStringLiteral("5"));
    QCOMPARE(storedValue(run, QStringLiteral("背景音乐")), QStringLiteral("假"));
    verifyRestored(run, QStringLiteral("5"), 5000);
}

void TestRestoredSettings::storedChoicesApply_data()
{
    QTest::addColumn<QString>("autoStop");
    QTest::addColumn<int>("autoStopMs");
    QTest::newRow("5 s") << QStringLiteral("5") << 5000;
    QTest::newRow("2.5 s") << QStringLiteral("2.5") << 2500;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 12000;
}

void TestRestoredSettings::storedChoicesApply()
{
    QFETCH(QString, autoStop);
    QFETCH(int, autoStopMs);
    RunFolder run;
    run.writeGbk(QStringLiteral("config.a"),
                 QStringLiteral("[zbt]\r\nlx=真\r\n禁用特效=真\r\n自动停止=") + autoStop
                     + QStringLiteral("\r\n背景音乐=假\r\n"));
    verifyRestored(run, autoStop, autoStopMs);
    // Starting and rolling wrote none of the three back.
    QCOMPARE(storedValue(run, QStringLiteral("禁用特效")), QStringLiteral("真"));
    QCOMPARE(storedValue(run, QStringLiteral("自动停止")), autoStop);
    QCOMPARE(storedValue(run, QStringLiteral("背景音乐")), QStringLiteral("假"));
}

QTEST_MAIN(TestRestoredSettings)
#include "test_restoredsettings.moc"
