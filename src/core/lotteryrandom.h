#pragma once

#include <QtGlobal>
#include <functional>

// The draw's own generator: a linear congruential step seeded from a
// millisecond counter right before every single draw.
class LotteryRandom
{
public:
    using Clock = std::function<quint32()>;

    // The default clock is a millisecond counter of the machine.
    LotteryRandom();
    explicit LotteryRandom(Clock clock);

    // state = the clock's value taken as signed 32-bit.
    void reseed();
    // A value in a..b (a <= b). Ranges wider than 2^31 join successive
    // steps so that the whole range stays reachable (see the .cpp).
    qint64 next(qint64 a, qint64 b);

    qint32 state() const { return m_state; }
    void setState(qint32 state) { m_state = state; }

private:
    Clock m_clock;
    qint32 m_state = 0;
};
