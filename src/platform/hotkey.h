#pragma once

#include <QObject>

class QWidget;

// The system-wide hot key Shift+Q. activated() is raised whenever it is
// pressed, in any application. Where no global grab is possible (the key is
// held by another program, offscreen, Wayland) registration fails quietly
// and Shift+Q still works while the given window has the focus.
class GlobalHotKey : public QObject
{
    Q_OBJECT
public:
    explicit GlobalHotKey(QWidget *window);
    ~GlobalHotKey() override;

    // Whether the system-wide grab succeeded.
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

    QWidget *m_window;
    bool m_global = false;
    bool m_localFilter = false;
    class NativeFilter;
    NativeFilter *m_filter = nullptr;
};
