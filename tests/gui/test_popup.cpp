// The popup menu from every bound element, exit, help and about.
#include "support_controls.h"
#include "support_runfolder.h"

#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

class TestPopup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void rightButtonOpensMenu_data();
    void rightButtonOpensMenu();
    void unboundOrHiddenOpensNothing();
    void enlargeItemIsNotShown();
    void closeWithCancelThenOk();
    void exitItemAsks();
    void helpAndAbout();

private:
    QMenu &menu() const { return control<QMenu>(*m_window, QStringLiteral("设置")); }
    QAction &item(const QString &text) const { return control<QAction>(*m_window, text); }
    QWidget &element(const QString &name) const { return control<QWidget>(*m_window, name); }

    std::unique_ptr<RunFolder> m_run;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<messagebox::Seam> m_boxes;
};

void TestPopup::init()
{
    m_boxes = std::make_unique<messagebox::Seam>();
    m_run = std::make_unique<RunFolder>();
    m_window = m_run->openWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestPopup::cleanup()
{
    menu().hide();
    m_window.reset();
    m_run.reset();
    m_boxes.reset();
}

void TestPopup::rightButtonOpensMenu_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"MainWindow", "透明标签_主标题", "透明标签_副标题", "外形框1", "图片框_背景",
                             "透明标签_开始", "图片框1", "图片框2", "图片框3", "图片框4", "图片框5",
                             "图片框6", "图片框7", "图片框8"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

void TestPopup::rightButtonOpensMenu()
{
    QFETCH(QString, name);
    QWidget *target = name == u"MainWindow" ? m_window.get() : &element(name);
    QVERIFY(!menu().isVisible());
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    QTRY_VERIFY(menu().isVisible());
}

void TestPopup::unboundOrHiddenOpensNothing()
{
    // The panel is hidden at start: its label 标签2 gets no events. Opened,
    // 标签2 opens the menu but its neighbour 标签9 does not.
    QVERIFY(element(QStringLiteral("外形框2")).isHidden());
    item(QStringLiteral("其它设置")).trigger();
    QVERIFY(element(QStringLiteral("外形框2")).isVisible());
    QTest::mouseClick(&element(QStringLiteral("标签9")), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    QVERIFY(!menu().isVisible());
    QTest::mouseClick(&element(QStringLiteral("标签2")), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    QTRY_VERIFY(menu().isVisible());
    menu().hide();
    // The stop caption is hidden while idle: its place belongs to the start caption.
    QVERIFY(element(QStringLiteral("透明标签_结束")).isHidden());
    QVERIFY(m_boxes->shown().isEmpty());
}

void TestPopup::enlargeItemIsNotShown()
{
    QTest::mouseClick(m_window.get(), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    QTRY_VERIFY(menu().isVisible());
    QVERIFY(menu().actionGeometry(&item(QStringLiteral("转盘放大"))).isEmpty());
    QVERIFY(!menu().actionGeometry(&item(QStringLiteral("奖项设置"))).isEmpty());
}

void TestPopup::closeWithCancelThenOk()
{
    m_boxes->queueAnswers({false});
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().text, QStringLiteral("确定退出程序吗？"));
    QCOMPARE(m_boxes->shown().first().caption, QStringLiteral("确定退出吗？"));
    QCOMPARE(m_boxes->shown().first().buttons, messagebox::Buttons::OkCancel);
    m_boxes->queueAnswers({true});
    QVERIFY(m_window->close());
}

void TestPopup::exitItemAsks()
{
    m_boxes->queueAnswers({false});
    item(QStringLiteral("退出")).trigger();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("确定退出程序吗？")});
}

void TestPopup::helpAndAbout()
{
    item(QStringLiteral("帮助")).trigger();
    item(QStringLiteral("关于")).trigger();
    QCOMPARE(m_boxes->shown().size(), 2);
    QCOMPARE(m_boxes->shown()[0].text,
             QStringLiteral("1.双击各个图片，可以选择自己的抽奖图片！(图片不要过大，50K以下最好！)\r\n2.右键弹出菜单！"));
    QCOMPARE(m_boxes->shown()[0].caption, QStringLiteral("Lunora帮助信息！"));
    QVERIFY(m_boxes->shown()[1].text.contains(QStringLiteral("Lunora")));
    QVERIFY(m_boxes->shown()[1].text.contains(QStringLiteral("2.0")));
}

QTEST_MAIN(TestPopup)
#include "test_popup.moc"
