#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

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
    static constexpr std::chrono::milliseconds kShowLength{3500};

    // `showLength` is for tests, which must not wait the real length.
    explicit WinEffects(QWidget *mainWindow, std::chrono::milliseconds showLength = kShowLength);
    ~WinEffects() override;

    void showWinEffect();
    void closeWinEffect();
    bool isShowing() const;
    int lastChoice() const;
    std::chrono::milliseconds showLength() const { return m_closeTimer.intervalAsDuration(); }
    // Milliseconds until the show closes by itself; -1 when none is due.
    int closesInMs() const { return m_closeTimer.remainingTime(); }

private:
    int chooseEffect();

    QWidget *m_mainWindow;
    QPointer<EffectsWindow> m_window;
    QTimer m_closeTimer;
    quint32 m_seedings = 0; // grows with every seeding, so quick repeats differ
    quint32 m_showSeed = 0;
    int m_lastChoice = 0;
};
