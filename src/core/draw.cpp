#include "draw.h"

#include "settingsfile.h"
#include "values.h"

void Draw::setPrizeValues(const std::array<QString, 8> &typed, bool saved)
{
    for (int slot = 1; slot <= 8; ++slot)
        m_table[slot] = values::textToInt(typed[slot - 1]);
    m_unsaved.reset();
    if (!saved)
        m_unsaved = typed;
}

#include <QDateTime>

bool Draw::refill(const SettingsFile &settings)
{
    if (readDrawMode(settings) == DrawMode::ByQuantity)
        m_table = m_unsaved ? remainingStock(settings, *m_unsaved) : remainingStock(settings);
    return buildDrawPool(m_table, m_pool);
}

qint32 Draw::drawRollLength()
{
    m_random.reseed();
    return static_cast<qint32>(m_random.next(100000, 130000));
}

void Draw::noteStopRequest()
{
    for (int slot = 1; slot <= 8; ++slot)
        m_stopBox[slot - 1] = m_pool.ticketsOf(slot);
    m_stopMs = m_wallClock ? m_wallClock() : QDateTime::currentMSecsSinceEpoch();
}

// A public landing needs a key; with none left (the system's generator
// failed at the last commitment) the design's draw lands, and its line
// shows no public cells.
int Draw::drawLanding()
{
    const bool designated = std::exchange(m_designated, false);
    m_mark = {};
    int slot = 0;
    if (m_keys) {
        if (auto landing = m_keys->draw(m_stopBox, m_stopMs)) {
            slot = landing->ticket.slot;
            m_mark.landing = std::move(landing);
        }
    }
    if (slot == 0) {
        m_mark.designated = designated;
        slot = drawSlot(m_pool, designated, m_random);
    }
    if (m_unsaved && slot >= 1 && slot <= 8)
        m_mark.prizeValue = (*m_unsaved)[slot - 1];
    return slot;
}
