#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class EffectsWindow;
class QWidget;

// The celebration after a roll stops: one of three fireworks shows, chosen at
// random, plays full screen over the main window for 3.5 s and then closes
// by itself. Showing returns at once, so the landing, the end sound and the
// result happen while the fireworks play.
class WinEffects : public QObject
{
    Q_OBJECT
public:
    explicit WinEffects(QWidget *mainWindow);
    ~WinEffects() override;

    void showWinEffect();
    void closeWinEffect();
    bool isShowing() const;
    int lastChoice() const;

private:
    int chooseEffect();

    QWidget *m_mainWindow;
    QPointer<EffectsWindow> m_window;
    QTimer m_closeTimer;
    quint32 m_seedings = 0; // grows with every seeding, so quick repeats differ
    quint32 m_showSeed = 0;
    int m_lastChoice = 0;
};
