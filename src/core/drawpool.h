#pragma once

#include "prizetable.h"

#include <QString>
#include <QtGlobal>
#include <array>

class LotteryRandom;
class WinCounts;

// The box of tickets, held as cumulative counts: ticket k (1-based) belongs
// to the first slot whose cumulative count reaches k. This maps tickets
// exactly like a list of slot numbers laid out slot 1 first, without ever
// holding one entry per ticket.
class DrawPool
{
public:
    void rebuild(const PrizeTable &table);
    void clear() { m_cumulative.fill(0); }

    qint64 size() const { return m_cumulative[7]; }
    bool isEmpty() const { return size() == 0; }
    // The tickets of slot 1..8.
    qint64 ticketsOf(int slot) const
    {
        return m_cumulative[slot - 1] - (slot > 1 ? m_cumulative[slot - 2] : 0);
    }
    // The slot of ticket k, 1 <= k <= size().
    int slotOfTicket(qint64 k) const;

private:
    std::array<qint64, 8> m_cumulative{};
};

// By quantity, the tickets each slot has left: prize value minus wins, the
// values given as texts (the stored ones, or the ones in force unsaved).
PrizeTable remainingStock(const std::array<QString, 8> &prizeValues, const WinCounts &counts);

// Rebuilds the pool from the table as given (which table to use is the
// caller's choice: see Draw::refill). Returns whether the box holds a ticket.
bool buildDrawPool(const PrizeTable &table, DrawPool &pool);

// The first ticket's slot when designated, else a random ticket's slot
// (reseed, then next over 1..size). The pool must not be empty.
int drawSlot(const DrawPool &pool, bool designated, LotteryRandom &random);
