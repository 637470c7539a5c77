// The popup menu from the two elements that are only shown while a roll
// runs: the result picture and the stop caption. The right button opens the
// menu there and must neither stop the roll nor drag the picture.
#include "support_operator.h"
#include "support_runfolder.h"
#include "support_wait.h"

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
    QMenu &menu() const { return control<QMenu>(*m_window, QStringLiteral("设置")); }
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
    m_run->writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\nlx=真\r\n禁用特效=真\r\n"));
    m_window = m_run->openWindow(&m_sound);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestRollPopup::cleanup()
{
    menu().hide();
    QVERIFY(m_boxes->shown().isEmpty());
    QVERIFY(m_files->filters().isEmpty());
    m_window.reset();
    m_run.reset();
    m_files.reset();
    m_boxes.reset();
}

QWidget *TestRollPopup::element(const QString &name) const
{
    return &control<QWidget>(*m_window, name);
}

bool TestRollPopup::rightClickOpensMenuAt(QWidget *target, QPoint pos)
{
    QMenu *menu = &this->menu();
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
    operate::pressStartCaption(*m_window);
    QPushButton &button = operate::startButton(*m_window);
    QCOMPARE(button.text(), QStringLiteral("停止"));
    QWidget *target = element(name);
    QVERIFY(target);
    QTRY_VERIFY(target->isVisible()); // the result picture: after the first tick
    const QRect before = target->geometry();
    const QStringList soundBefore = m_sound->calls;

    QVERIFY(rightClickOpensMenuAt(target, QPoint(12, 9)));
    // Still rolling, nothing moved, the music untouched.
    QCOMPARE(button.text(), QStringLiteral("停止"));
    QVERIFY(button.isEnabled());
    QVERIFY(element(QStringLiteral("透明标签_结束"))->isVisible());
    QCOMPARE(target->geometry(), before);
    QCOMPARE(m_sound->calls, soundBefore);
    menu().hide();

    // The left button on the stop caption still stops the roll afterwards.
    operate::pressStopCaption(*m_window);
    QVERIFY(!button.isEnabled()); // stopping: the next tick lands
    QTRY_COMPARE_WITH_TIMEOUT(storedWins(*m_run), 1, kPatienceMs);
}

void TestRollPopup::hiddenElementsOpenNothingWhenIdle()
{
    QWidget *result = element(QStringLiteral("图片框a_结果"));
    QWidget *startCaption = element(QStringLiteral("透明标签_开始"));
    QVERIFY(result->isHidden());
    QVERIFY(element(QStringLiteral("透明标签_结束"))->isHidden());
    // A right click where the hidden stop caption lies belongs to the start
    // caption above it, which opens the same menu without starting a roll.
    QVERIFY(rightClickOpensMenuAt(startCaption, QPoint(12, 9)));
    QCOMPARE(operate::startButton(*m_window).text(), QStringLiteral("开始"));
    QVERIFY(!control<IntervalTimer>(*m_window, QStringLiteral("时钟1")).isActive());
    menu().hide();
    // Where the hidden result picture lies, the window itself answers.
    const QPoint inResult = result->geometry().center();
    QCOMPARE(m_window->childAt(inResult), nullptr);
    QVERIFY(rightClickOpensMenuAt(m_window.get(), inResult));
}

QTEST_MAIN(TestRollPopup)
#include "test_rollpopup.moc"
