#pragma once

#include "prizetable.h"
#include "publicdraw.h"

#include <optional>

// The mode and box the history's lines lead a reader to expect for the
// next public draw. A 承诺 or 设置 line states them; a public draw leaves
// them as they were by probability and takes its ticket out by quantity;
// the void of a draw by quantity puts its ticket back. A draw whose real
// box differs is preceded by a 设置 line, so that no box changes unseen.
class ExpectedBox
{
public:
    struct State
    {
        DrawMode mode = DrawMode::ByProbability;
        publicdraw::Box box{};
        friend bool operator==(const State &, const State &) = default;
    };

    // A 承诺 or 设置 line was written.
    void stated(DrawMode mode, const publicdraw::Box &box) { m_state = State{mode, box}; }
    // A public draw of slot 1..8 was written (in the expected mode, which a
    // 设置 line made sure of).
    void drawn(int slot);
    // A draw of slot 1..8 in this mode was voided on the record.
    void voided(int slot, DrawMode mode);
    // No commitment stands: nothing is expected until the next one.
    void forget() { m_state.reset(); }

    // Whether a draw from this box needs no 设置 line before it.
    bool matches(DrawMode mode, const publicdraw::Box &box) const
    {
        return m_state && *m_state == State{mode, box};
    }
    const std::optional<State> &state() const { return m_state; }

private:
    std::optional<State> m_state;
};
