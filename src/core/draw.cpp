#include "draw.h"

#include "settingsfile.h"

bool Draw::refill(const SettingsFile &settings)
{
    if (readDrawMode(settings) == DrawMode::ByQuantity)
        m_table = remainingStock(settings);
    return buildDrawPool(m_table, m_pool);
}

qint32 Draw::drawRollLength()
{
    m_random.reseed();
    return static_cast<qint32>(m_random.next(100000, 130000));
}
