#include "draw.h"

#include "config.h"
#include "values.h"
#include "wincounts.h"

#include <chrono>

void Draw::setPrizeValues(const std::array<QString, 8> &typed, bool saved)
{
    for (int slot = 1; slot <= 8; ++slot)
        m_table[slot] = values::textToInt(typed[slot - 1]);
    m_unsaved.reset();
    if (!saved)
        m_unsaved = typed;
}

bool Draw::refill(const Config &config, const WinCounts &counts)
{
    if (config.drawMode() == DrawMode::ByQuantity)
        m_table = remainingStock(m_unsaved ? *m_unsaved : config.prizeValueTexts(), counts);
    return buildDrawPool(m_table, m_pool);
}

qint32 Draw::drawRollLength()
{
    m_random.reseed();
    return static_cast<qint32>(m_random.next(100000, 130000));
}

qint64 Draw::now() const
{
    if (m_wallClock)
        return m_wallClock();
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

publicdraw::Box Draw::box() const
{
    publicdraw::Box box{};
    for (int slot = 1; slot <= 8; ++slot)
        box[slot - 1] = m_pool.ticketsOf(slot);
    return box;
}

int Draw::drawLanding()
{
    const bool designated = std::exchange(m_designated, false);
    m_mark = {};
    m_mark.designated = designated;
    const int slot = drawSlot(m_pool, designated, m_random);
    if (m_unsaved && slot >= 1 && slot <= 8)
        m_mark.prizeValue = (*m_unsaved)[slot - 1];
    return slot;
}
