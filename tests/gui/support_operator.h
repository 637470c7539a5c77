#pragma once

#include "support_controls.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "widgets/controls.h"
#include "widgets/picturebox.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <array>

// What an operator does on the main window and what they see there, by the
// controls' names only.
namespace operate {

// The roll's invisible button 按钮1 holds the focus: the space bar is its key.
inline QPushButton &startButton(const QWidget &window)
{
    return control<QPushButton>(window, QStringLiteral("按钮1"));
}

inline void leftPress(QWidget &widget)
{
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
}

// A left press on 透明标签_开始, and on 透明标签_结束.
inline void pressStartCaption(const QWidget &window)
{
    leftPress(control<QWidget>(window, QStringLiteral("透明标签_开始")));
}

inline void pressStopCaption(const QWidget &window)
{
    leftPress(control<QWidget>(window, QStringLiteral("透明标签_结束")));
}

inline void pressSpace(const QWidget &window)
{
    QTest::keyClick(&startButton(window), Qt::Key_Space);
}

inline PictureBox &slot(const QWidget &window, int n)
{
    return control<PictureBox>(window, QStringLiteral("图片框%1").arg(n));
}

inline PictureBox &resultPicture(const QWidget &window)
{
    return control<PictureBox>(window, QStringLiteral("图片框a_结果"));
}

// The fireworks' window over the main window, while it shows.
inline bool fireworksShowing(const QWidget &window)
{
    for (const QWidget *effects : window.findChildren<QWidget *>(QStringLiteral("EffectsWindow")))
        if (effects->isVisible())
            return true;
    return false;
}

// The slot whose count in jieguo.a went up from `before`; 0 for none.
inline int slotCountedSince(const RunFolder &run, const std::array<int, 8> &before)
{
    for (int n = 1; n <= 8; ++n)
        if (storedCount(run, n) > before[n - 1])
            return n;
    return 0;
}

inline std::array<int, 8> storedCounts(const RunFolder &run)
{
    std::array<int, 8> counts{};
    for (int n = 1; n <= 8; ++n)
        counts[n - 1] = storedCount(run, n);
    return counts;
}

// Replaces what a line edit holds: Ctrl+A, Delete, then the new text typed.
inline void typeOver(QLineEdit &edit, const QString &text)
{
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

// The wheel size chosen in the options panel (其它设置) and saved.
inline void saveWheelSize(const QWidget &window, int size)
{
    control<QAction>(window, QStringLiteral("其它设置")).trigger();
    typeOver(control<QLineEdit>(window, QStringLiteral("编辑框_转盘大小")), QString::number(size));
    leftPress(control<QWidget>(window, QStringLiteral("按钮_保存")));
}

} // namespace operate

// Options for config.a that make a roll quick to watch: the roll timer at
// its fastest, and no fireworks after a stop.
inline const QString kQuickRoll = QStringLiteral("滚动速度=1\r\n禁用特效=真\r\n");

// Whether the roll is idle: 按钮1 reads 开始 and takes presses again.
inline bool isIdle(const QWidget &window)
{
    const auto &button = operate::startButton(window);
    return button.text() == u"开始" && button.isEnabled();
}

// Whether a roll is under way: 按钮1 reads 停止.
inline bool isRolling(const QWidget &window)
{
    return operate::startButton(window).text() == u"停止";
}

// Waits, on the roll timer's own ticks, until the roll has landed.
inline bool waitForLanding(const QWidget &window)
{
    return QTest::qWaitFor([&window] { return isIdle(window); }, kPatienceMs);
}

// A whole draw by the keyboard: start, stop at once, and its landing.
inline bool drawOnce(const QWidget &window)
{
    operate::pressSpace(window);
    operate::pressSpace(window);
    return waitForLanding(window);
}

// The item of the popup menu named `text`, chosen as the operator's click
// on it does.
inline void choose(const QWidget &window, const QString &text)
{
    control<QAction>(window, text).trigger();
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
