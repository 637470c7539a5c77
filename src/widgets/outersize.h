#pragma once

#include <QObject>
#include <QSize>
#include <optional>

class QWidget;

// Gives a top-level window an outer size, its frame included. How thick the
// frame is becomes known only once the window manager has framed the window,
// which may be long after the size is asked for (before the window is first
// shown, or after a change of window flags made it anew); until then the
// window gets the size inside, and it is corrected once, at the first move,
// resize or show that reports a frame. A window manager that draws no frame
// leaves the inside at the size asked for.
class OuterSize : public QObject
{
public:
    explicit OuterSize(QWidget *window);

    void resizeOuter(const QSize &outer);
    // Forgets a correction still to come, e.g. when the window loses its frame.
    void cancel() { m_wanted.reset(); }
    bool pending() const { return m_wanted.has_value(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fit();

    QWidget *m_window;
    std::optional<QSize> m_wanted;
};
