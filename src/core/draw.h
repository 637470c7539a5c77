#pragma once

#include "drawpool.h"
#include "historyfile.h"
#include "lotteryrandom.h"
#include "prizetable.h"
#include "publicdraw.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <utility>

class Config;
class WinCounts;

// What every draw works on, for the whole run: the prize table, the box of
// tickets built from it and the draw's generator. This is their only owner;
// the rest of the program reads them here and changes them through these
// functions, so the order of a draw's steps (refresh the table, rebuild the
// box, reseed, take a ticket) is written down in one place.
class Draw
{
public:
    // The generator reads the machine's millisecond counter.
    Draw() = default;
    // Tests pass a clock of their own, to get the draws they expect.
    explicit Draw(LotteryRandom::Clock clock) : m_random(std::move(clock)) {}

    const PrizeTable &table() const { return m_table; }
    const DrawPool &pool() const { return m_pool; }

    // Start-up. The box follows the new table at the next refill, not before.
    void setTable(const PrizeTable &table) { m_table = table; }

    // 确定 of the prize settings: the values as typed, and whether config.a
    // took them. The table becomes those values. Values the file did not
    // take stay in force for this run, in both modes, until a later save
    // succeeds: by quantity the stock is counted from them, not from the file.
    void setPrizeValues(const std::array<QString, 8> &typed, bool saved);
    // The values in force that config.a does not hold, if any.
    const std::optional<std::array<QString, 8>> &unsavedValues() const { return m_unsaved; }

    // At every start and stop request. By quantity the table first becomes
    // the stock left (prize value - wins), and keeps it: a later switch to
    // by probability weighs with those counts until the table is set again.
    // Then the box is rebuilt from the table. Whether it holds a ticket.
    bool refill(const Config &config, const WinCounts &counts);

    // The hot key Shift+Q: the next landing is on the box's first ticket.
    // Arming it again before that landing changes nothing.
    void armDesignation() { m_designated = true; }
    void disarmDesignation() { m_designated = false; }
    bool designationArmed() const { return m_designated; }
    // The landing's slot (see drawSlot); the box must not be empty. It uses
    // the designation up. (A public draw's slot comes from its record: see
    // DrawHistory::recordPublicStop.)
    int drawLanding();
    // What the last landing drawn records in its history line, once.
    history::DrawMark takeLandingMark() { return std::exchange(m_mark, {}); }

    // Microseconds since 1970-01-01 UTC; tests pass their own.
    using WallClock = std::function<qint64()>;
    void setWallClock(WallClock clock) { m_wallClock = std::move(clock); }
    qint64 now() const;
    // The box as the last refill built it: tickets per slot.
    publicdraw::Box box() const;
    // How many ticks a new roll lasts, 100000..130000, freshly reseeded.
    qint32 drawRollLength();

private:
    PrizeTable m_table;
    DrawPool m_pool;
    LotteryRandom m_random;
    std::optional<std::array<QString, 8>> m_unsaved;
    WallClock m_wallClock;
    history::DrawMark m_mark;
    bool m_designated = false;
};
