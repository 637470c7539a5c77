#include "wineffects.h"

#include "effectswindow.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QWidget>

WinEffects::WinEffects(QWidget *mainWindow, std::chrono::milliseconds showLength)
    : QObject(mainWindow),
      m_mainWindow(mainWindow)
{
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(showLength);
    connect(&m_closeTimer, &QTimer::timeout, this, &WinEffects::closeWinEffect);
}

WinEffects::~WinEffects()
{
    closeWinEffect();
}

// Seeds a generator of its own (never the draw's) from the tick count plus a
// counter, then takes value mod 3 + 4. The same generator seeds the show.
int WinEffects::chooseEffect()
{
    const auto ticks = quint32(QDeadlineTimer::current().deadline());
    QRandomGenerator random(ticks + ++m_seedings);
    const int choice = int(random.generate() % 3) + 4;
    m_showSeed = random.generate();
    return choice;
}

void WinEffects::showWinEffect()
{
    closeWinEffect();
    m_lastChoice = chooseEffect();
    m_window = new EffectsWindow(fireworksKindForChoice(m_lastChoice), m_showSeed, m_mainWindow,
                                 EffectsWindow::surfaceForScreen());
    m_window->show();
    m_closeTimer.start();
}

void WinEffects::closeWinEffect()
{
    m_closeTimer.stop();
    if (m_window) {
        EffectsWindow *window = m_window;
        m_window = nullptr;
        window->hide();
        delete window;
    }
}

bool WinEffects::isShowing() const
{
    return !m_window.isNull();
}

int WinEffects::lastChoice() const
{
    return m_lastChoice;
}
