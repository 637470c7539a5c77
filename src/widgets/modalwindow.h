#pragma once

#include "widgets/dialogseam.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

// The program's own modal windows (the password, prize settings and results
// windows) are run through here, so that tests reach them through the same
// seam as the four dialogs instead of an event loop of their own.
namespace modalwindow {

// Runs window modally: exec(), or, while a Seam exists, the seam's handler.
void run(QDialog &window);

// While a Seam exists no window is run: each one is recorded by its class
// name and handed, already filled by its creation handler, to the next
// queued handler; nullopt (or an empty queue) leaves it unanswered, as if it
// were closed at once. A handler may open further windows, which take the
// handlers queued after its own. The window's owner destroys it after run().
class Seam : public DialogSeam<Seam, QString, std::function<void(QDialog &)>>
{
public:
    void queueHandler(std::function<void(QDialog &)> handler) { queue(std::move(handler)); }
    // A handler for one kind of window; a window of another kind is left
    // unanswered, and opened() tells which one came instead.
    template <typename Window>
    void queueFor(std::function<void(Window &)> handler)
    {
        queueHandler([handler = std::move(handler)](QDialog &window) {
            if (auto *w = qobject_cast<Window *>(&window))
                handler(*w);
        });
    }
    // The class names of the windows run, in the order they were opened.
    const QStringList &opened() const { return m_records; }
};

} // namespace modalwindow
