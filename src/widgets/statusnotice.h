#pragma once

#include <QLabel>
#include <QTimer>

// A one-line notice at the bottom left corner of its window (标签_保存提示):
// what the program is doing with its files ("正在保存中奖结果…"), shown
// without a window of its own. It never takes the keyboard focus or a
// click, and never waits for one: the draw goes on behind it. It stays in
// the corner's 26 pixels, so a caption line of the window fits above it or
// beside it, and the wheel is never covered.
class StatusNotice final : public QLabel
{
public:
    explicit StatusNotice(QWidget *window);

    // Shown until the next call.
    void showSteady(const QString &text);
    // Shown for ms, then hidden (unless a later call shows something else).
    void showFor(const QString &text, int ms);
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QTimer m_hide;
};
