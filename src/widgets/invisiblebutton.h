#pragma once

#include <QPushButton>

// The start/stop button: it must hold the keyboard focus so the space bar
// starts and stops rolls, yet nobody may see or click it. A hidden widget
// cannot take the focus, so this one stays "shown" but paints nothing and
// lets the mouse through.
class InvisibleButton : public QPushButton
{
    Q_OBJECT
public:
    explicit InvisibleButton(const QString &text, QWidget *parent = nullptr)
        : QPushButton(text, parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::StrongFocus);
        setAutoDefault(false);
    }

protected:
    void paintEvent(QPaintEvent *) override {}
};
