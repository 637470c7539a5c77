#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class QWidget;

// Moves a control with the mouse until the left button is released, the way
// a window follows its grabbed caption: the control keeps the offset it had
// from the cursor at the press, and may leave its parent's area on any side.
//
// start() returns at once, so the press handler that called it returns to
// the event loop, which keeps delivering the mouse moves; `finished` runs
// right after the release, with the control at its final place. Nothing
// spins while the button is held.
class DragLoop : public QObject
{
    Q_OBJECT
public:
    // pressGlobal: where the button went down, in screen coordinates.
    static void start(QWidget *target, QPoint pressGlobal, std::function<void()> finished);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DragLoop(QWidget *target, QPoint pressGlobal, std::function<void()> finished);
    void follow(QPoint global);
    void finish();

    QWidget *m_target;
    QPoint m_pressGlobal;
    QPoint m_startPos;
    std::function<void()> m_finished;
    bool m_done = false;
};
