#include "prizetable.h"

#include "values.h"

PrizeTable PrizeTable::defaults()
{
    return PrizeTable{{1, 2, 4, 8, 10, 15, 20, 50}};
}

PrizeTable PrizeTable::fromTexts(const std::array<QString, 8> &texts)
{
    PrizeTable table;
    for (int slot = 1; slot <= 8; ++slot)
        table[slot] = values::textToInt(texts[slot - 1]);
    return table;
}
