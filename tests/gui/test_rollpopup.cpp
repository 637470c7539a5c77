// The popup menu from the two elements that are only shown while a roll
// runs: the result picture and the stop caption. The right button opens the
// menu there and must neither stop the roll nor drag the picture.
#include "support_mainwindow.h"
#include "support_runfolder.h"

#include "core/roll.h"
#include "widgets/controls.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QMenu>
#include <QPushButton>
#include <QTest>

class TestRollPopup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void popupFromElementShownDuringRoll_data();
    void popupFromElementShownDuringRoll();
    void hiddenElementsOpenNothingWhenIdle();

private:
    QWidget *element(const QString &name) const;
    // Right click at `pos` of `target`; true when the menu opened at that
    // point of the screen.
    bool rightClickOpensMenuAt(QWidget *target, QPoint pos);

    std::unique_ptr<messagebox::Seam> m_boxes;
    std::unique_ptr<filedialog::Seam> m_files;
    std::unique_ptr<RunFolder> m_run;
    std::unique_ptr<MainWindow> m_window;
    FakeSound *m_sound = nullptr;
};

void TestRollPopup::init()
{
    m_boxes = std::make_unique<messagebox::Seam>();
    m_files = std::make_unique<filedialog::Seam>();
    m_run = std::make_unique<RunFolder>();
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n"));
    m_window = m_run->openWindow(&m_sound);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestRollPopup::cleanup()
{
    parts(m_window).menu().root->hide();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY(m_files->filters().isEmpty());
    m_window.reset();
    m_run.reset();
    m_files.reset();
    m_boxes.reset();
}

QWidget *TestRollPopup::element(const QString &name) const
{
    return m_window->findChild<QWidget *>(name);
}

bool TestRollPopup::rightClickOpensMenuAt(QWidget *target, QPoint pos)
{
    QMenu *menu = parts(m_window).menu().root;
    if (menu->isVisible())
        return false;
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, pos);
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000))
        return false;
    // The menu's top left corner is at the pointer unless the screen edge
    // pushed it; horizontally there is room for it here.
    return menu->pos().x() == target->mapToGlobal(pos).x();
}

void TestRollPopup::popupFromElementShownDuringRoll_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("result picture") << QStringLiteral("图片框a_结果");
    QTest::newRow("stop caption") << QStringLiteral("透明标签_结束");
}

void TestRollPopup::popupFromElementShownDuringRoll()
{
    QFETCH(QString, name);
    MainControls &c = parts(m_window).controls();
    QTest::mouseClick(c.startCaption, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(parts(m_window).roll().state().phase, RollPhase::Rolling);
    parts(m_window).roll().tick();
    QWidget *target = element(name);
    QVERIFY(target);
    QTRY_VERIFY(target->isVisible());
    const QRect before = target->geometry();
    const QStringList soundBefore = m_sound->calls;

    QVERIFY(rightClickOpensMenuAt(target, QPoint(12, 9)));
    // Still rolling, nothing moved, the music untouched.
    QCOMPARE(parts(m_window).roll().state().phase, RollPhase::Rolling);
    QCOMPARE(c.startButton->text(), QStringLiteral("停止"));
    QVERIFY(c.stopCaption->isVisible());
    QCOMPARE(target->geometry(), before);
    QCOMPARE(m_sound->calls, soundBefore);
    parts(m_window).menu().root->hide();

    // The left button on the stop caption still stops the roll afterwards.
    c.effectsDisabledBox->setChecked(true);
    QTest::mouseClick(c.stopCaption, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(parts(m_window).roll().state().phase, RollPhase::Stopping);
}

void TestRollPopup::hiddenElementsOpenNothingWhenIdle()
{
    MainControls &c = parts(m_window).controls();
    QVERIFY(c.resultPicture->isHidden());
    QVERIFY(c.stopCaption->isHidden());
    // A right click where the hidden stop caption lies belongs to the start
    // caption above it, which opens the same menu without starting a roll.
    QVERIFY(rightClickOpensMenuAt(c.startCaption, QPoint(12, 9)));
    QCOMPARE(parts(m_window).roll().state().phase, RollPhase::Idle);
    parts(m_window).menu().root->hide();
    // Where the hidden result picture lies, the window itself answers.
    const QPoint inResult = c.resultPicture->geometry().center();
    QCOMPARE(m_window->childAt(inResult), nullptr);
    QVERIFY(rightClickOpensMenuAt(m_window.get(), inResult));
}

QTEST_MAIN(TestRollPopup)
#include "test_rollpopup.moc"
