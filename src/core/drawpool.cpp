#include "drawpool.h"

#include "lotteryrandom.h"
#include "values.h"
#include "wincounts.h"

#include <algorithm>

// Eight positive 32-bit counts add up to less than 2^34, so the running sums
// never leave the 64-bit range.
void DrawPool::rebuild(const PrizeTable &table)
{
    qint64 sum = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        sum += std::max<qint64>(0, table[slot]);
        m_cumulative[slot - 1] = sum;
    }
}

// Ticket k belongs to the first slot whose running sum reaches k: exactly the
// slot a list of slot numbers, laid out slot 1 first, holds at position k.
// A k outside 1..size() is clamped; an empty box has no slot and gives 0.
int DrawPool::slotOfTicket(qint64 k) const
{
    if (isEmpty())
        return 0;
    k = std::clamp<qint64>(k, 1, size());
    const auto it = std::lower_bound(m_cumulative.begin(), m_cumulative.end(), k);
    return int(it - m_cumulative.begin()) + 1;
}

// Stock left = prize value - wins, computed as numbers and truncated, so a
// stored "3.9" with "0.5" wins leaves 3 tickets, and a count beyond the
// 32-bit range saturates instead of wrapping.
PrizeTable remainingStock(const std::array<QString, 8> &prizeValues, const WinCounts &counts)
{
    PrizeTable table;
    for (int slot = 1; slot <= 8; ++slot) {
        const double value = values::textToNumber(prizeValues[slot - 1]);
        table[slot] = values::truncToInt(value - counts.number(slot));
    }
    return table;
}

bool buildDrawPool(const PrizeTable &table, DrawPool &pool)
{
    pool.rebuild(table);
    return !pool.isEmpty();
}

int drawSlot(const DrawPool &pool, bool designated, LotteryRandom &random)
{
    if (designated)
        return pool.slotOfTicket(1);
    random.reseed();
    return pool.slotOfTicket(random.next(1, pool.size()));
}
