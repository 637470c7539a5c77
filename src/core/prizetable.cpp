#include "prizetable.h"

#include "keys.h"
#include "settingsfile.h"
#include "values.h"

PrizeTable PrizeTable::defaults()
{
    return PrizeTable{{1, 2, 4, 8, 10, 15, 20, 50}};
}

// The stored values count only when the first one is there: a file in which
// "一" is empty keeps the defaults even if other slots hold numbers.
PrizeTable PrizeTable::fromSettings(const SettingsFile &settings)
{
    if (settings.readZbt(keys::kPrizeValue[0]).isEmpty())
        return defaults();
    PrizeTable table;
    for (int slot = 1; slot <= 8; ++slot)
        table[slot] = values::textToInt(settings.readZbt(keys::kPrizeValue[slot - 1]));
    return table;
}

DrawMode readDrawMode(const SettingsFile &settings)
{
    return values::isTrueFlag(settings.readZbt(keys::kDrawMode)) ? DrawMode::ByProbability
                                                                  : DrawMode::ByQuantity;
}

bool writeDrawMode(SettingsFile &settings, DrawMode mode)
{
    return settings.writeZbt(keys::kDrawMode, values::flagText(mode == DrawMode::ByProbability));
}
