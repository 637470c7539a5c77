#pragma once

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The control kinds of the windows. Each raises its mouse events as signals
// carrying the position in its client area and the key state (1 Ctrl,
// 2 Shift, 4 Alt, added).

// A caption drawn without a background, so its parent shows through.
class TransparentLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TransparentLabel(const QString &text = {}, QWidget *parent = nullptr);

    QColor textColour() const;
    void setTextColour(const QColor &colour);

Q_SIGNALS:
    void leftPressed(QPoint pos, int keyState);
    void rightPressed(QPoint pos, int keyState);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A plain label.
class Label : public QLabel
{
    Q_OBJECT
public:
    explicit Label(const QString &text = {}, QWidget *parent = nullptr);

    void setTextColour(const QColor &colour);

Q_SIGNALS:
    void leftPressed(QPoint pos, int keyState);
    void rightPressed(QPoint pos, int keyState);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A framed rectangle used as a container.
class ShapeBox : public QFrame
{
    Q_OBJECT
public:
    explicit ShapeBox(QWidget *parent = nullptr);

Q_SIGNALS:
    void leftPressed(QPoint pos, int keyState);
    void rightPressed(QPoint pos, int keyState);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

// A timer with the interval rule of the program's controls: writing the
// value the timer already has changes nothing (a running timer keeps its
// schedule); 0 or below stops it; any other new value restarts it.
class IntervalTimer : public QObject
{
    Q_OBJECT
public:
    explicit IntervalTimer(QObject *parent = nullptr);

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool isActive() const { return m_timer.isActive(); }
    // Milliseconds to the next tick; -1 when stopped.
    int remainingMs() const { return m_timer.remainingTime(); }

Q_SIGNALS:
    void tick();

private:
    QTimer m_timer;
    int m_interval = 0;
};
