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
