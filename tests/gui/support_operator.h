#pragma once

#include "support_controls.h"
#include "support_wait.h"

#include "widgets/controls.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

// What an operator does on the main window, through its controls as they
// are named, and what the window shows back.

// Options for config.a that make a roll quick to watch: the roll timer at
// its fastest, and no fireworks after a stop.
inline const QString kQuickRoll = QStringLiteral("滚动速度=1\r\n禁用特效=真\r\n");

// The space bar on 按钮1, the start/stop key.
inline void pressStartStop(const QWidget &window)
{
    QTest::keyClick(&control<QPushButton>(window, QStringLiteral("按钮1")), Qt::Key_Space);
}

// Whether the roll is idle: 按钮1 reads 开始 and takes presses again.
inline bool isIdle(const QWidget &window)
{
    const auto &button = control<QPushButton>(window, QStringLiteral("按钮1"));
    return button.text() == u"开始" && button.isEnabled();
}

// Whether a roll is under way: 按钮1 reads 停止.
inline bool isRolling(const QWidget &window)
{
    return control<QPushButton>(window, QStringLiteral("按钮1")).text() == u"停止";
}

// Waits, on the roll timer's own ticks, until the roll has landed.
inline bool waitForLanding(const QWidget &window)
{
    return QTest::qWaitFor([&window] { return isIdle(window); }, kPatienceMs);
}

// A whole draw by the keyboard: start, stop at once, and its landing.
inline bool drawOnce(const QWidget &window)
{
    pressStartStop(window);
    pressStartStop(window);
    return waitForLanding(window);
}

// A left click on 透明标签_结束, as the operator stops a roll with the mouse.
inline void clickStopCaption(const QWidget &window)
{
    QTest::mouseClick(&control<TransparentLabel>(window, QStringLiteral("透明标签_结束")), Qt::LeftButton);
}

// The item of the popup menu named `text`, chosen as the operator's click
// on it does.
inline void choose(const QWidget &window, const QString &text)
{
    control<QAction>(window, text).trigger();
}

// The picture box of prize slot 1 … 8 on the wheel.
inline PictureBox &slotBox(const QWidget &window, int slot)
{
    return control<PictureBox>(window, QStringLiteral("图片框%1").arg(slot));
}

// Replaces what a line edit holds by typing, as the operator selects all
// and types over it.
inline void typeInto(QLineEdit &edit, const QString &text)
{
    edit.selectAll();
    QTest::keyClicks(&edit, text);
}

// Counts the ticks of the roll timer 时钟1 from now on.
class RollTicks
{
public:
    explicit RollTicks(const QWidget &window)
        : m_connection(QObject::connect(&control<IntervalTimer>(window, QStringLiteral("时钟1")),
                                        &IntervalTimer::tick, [this] { ++m_count; }))
    {
    }
    ~RollTicks() { QObject::disconnect(m_connection); }
    RollTicks(const RollTicks &) = delete;
    RollTicks &operator=(const RollTicks &) = delete;

    int count() const { return m_count; }
    void reset() { m_count = 0; }

private:
    int m_count = 0;
    QMetaObject::Connection m_connection;
};
