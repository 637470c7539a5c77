#pragma once

#include "fireworks.h"
#include "fireworkspainter.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

// The borderless full-screen window a fireworks show plays in, above the
// main window. Black is see-through and lets clicks through; the window never
// takes the focus, so the start/stop button keeps the keyboard.
class EffectsWindow : public QWidget
{
    Q_OBJECT
public:
    // Translucent: painted on a transparent surface for a compositor.
    // Masked: painted on black, with the window shape cut to the sparks
    // every frame, for screens that nothing composites.
    enum class Surface { Translucent, Masked };

    EffectsWindow(FireworksKind kind, quint32 seed, QWidget *owner, Surface surface);

    // The surface this screen needs.
    static Surface surfaceForScreen();

    Surface surface() const { return m_surface; }
    const Fireworks &fireworks() const { return m_show; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void nextFrame();

    Surface m_surface;
    Fireworks m_show;
    FireworksPainter m_painter;
    QTimer m_frameTimer;
    QElapsedTimer m_clock;
    QPointer<QWindow> m_focusOwner; // the window that had the focus before
};
