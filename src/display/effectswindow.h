#pragma once

#include "fireworks.h"
#include "fireworksdamage.h"
#include "fireworkspainter.h"
#include "maskedframe.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <memory>

class QBackingStore;

// The borderless full-screen window a fireworks show plays in, above the
// main window. Only the sparks show; clicks go through; the window never
// takes the focus, so the start/stop button keeps the keyboard.
class EffectsWindow : public QWidget
{
    Q_OBJECT
public:
    // Translucent: painted on a transparent surface for a compositor.
    // Masked: opaque, with the window shape cut every frame to exactly the
    // pixels the sparks cover, for screens that nothing composites.
    enum class Surface { Translucent, Masked };

    EffectsWindow(FireworksKind kind, quint32 seed, QWidget *owner, Surface surface);

    // The surface this screen needs.
    static Surface surfaceForScreen();

    Surface surface() const { return m_surface; }
    const Fireworks &fireworks() const { return m_show; }
    // The frame a masked window shows; null for a translucent one.
    const MaskedFrame *maskedFrame() const { return m_frame.get(); }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void nextFrame();
    void pushTranslucentFrame();
    QBackingStore *readyStore();
    void copyToStore(QBackingStore &store, const QRegion &cells);

    Surface m_surface;
    Fireworks m_show;
    FireworksPainter m_painter;
    std::unique_ptr<MaskedFrame> m_frame; // masked surface only
    std::unique_ptr<FireworksDamage> m_damage; // translucent surface only
    QTimer m_frameTimer;
    QElapsedTimer m_clock;
    QPointer<QWindow> m_focusOwner; // the window that had the focus before
};
