#pragma once

#include <QObject>

class QWidget;

// The system-wide hot key Shift+Q. activated() is raised whenever it is
// pressed, in any application. Where no global grab is possible (the key is
// held by another program, offscreen, Wayland) registration fails quietly
// and Shift+Q still works while the given window has the focus.
// The program's own typing is never taken: while one of its text boxes has
// the focus, or one of its modal windows is up, the key is let go (a Q is
// typed, nothing is raised) and taken again afterwards.
class GlobalHotKey : public QObject
{
    Q_OBJECT
public:
    explicit GlobalHotKey(QWidget *window);
    ~GlobalHotKey() override;

    // Whether the system-wide grab succeeded (it may be let go for now,
    // while the program itself takes typing).
    bool isGlobal() const { return m_global; }

Q_SIGNALS:
    void activated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Per platform (hotkey_x11.cpp, hotkey_win.cpp, hotkey_none.cpp).
    bool registerGlobal();
    void unregisterGlobal();

    // Whether a key event sent to a widget belongs to the window.
    bool isInWindow(QObject *watched) const;
    // Whether the program itself takes typing now.
    static bool programTakesTyping();
    // Lets the grab go or takes it again as programTakesTyping() says.
    void followTyping();
    bool isLocalHotKey(QObject *watched, QEvent *event) const;

    QWidget *m_window;
    bool m_global = false;
    bool m_held = false;
    bool m_lookAgain = false;
    class NativeFilter;
    NativeFilter *m_filter = nullptr;
};
