#include "lotteryrandom.h"

#include <QElapsedTimer>
#include <utility>

namespace {

// A millisecond counter of 32 bits since the machine started: Qt's monotonic
// clock counts from the machine's start on Windows and on Linux alike, so
// no code of one system is needed here.
quint32 machineMilliseconds()
{
    QElapsedTimer now;
    now.start();
    return static_cast<quint32>(static_cast<quint64>(now.msecsSinceReference()));
}

// The largest range one step can cover: g is always below 2^31.
constexpr quint64 kOneStepSpan = quint64(1) << 31;
constexpr quint64 kTwoStepSpan = quint64(1) << 62;

} // namespace

LotteryRandom::LotteryRandom()
    : m_clock(machineMilliseconds)
{
}

LotteryRandom::LotteryRandom(Clock clock)
    : m_clock(std::move(clock))
{
}

void LotteryRandom::reseed()
{
    m_state = static_cast<qint32>(m_clock());
}

// One step of the generator: state = state * 214013 + 2531011, keeping the
// low 32 bits as a signed value; the result g = state ^ (state >> 15) with
// the sign copied in, which is never negative. All of it is done on
// unsigned 64-bit values so that nothing overflows.
static quint32 stepGenerator(qint32 &state)
{
    const quint64 wide = quint64(quint32(state)) * 214013u + 2531011u;
    const quint32 low = quint32(wide);
    state = static_cast<qint32>(low);
    // Arithmetic shift spelled out: the top 15 bits take the sign.
    const quint32 shifted = (low >> 15) | ((low & 0x80000000u) ? 0xFFFE0000u : 0u);
    return low ^ shifted;
}

// A value in a..b. For ranges of up to 2^31 values this is exactly
// a + g mod (b - a + 1). A single g is below 2^31, so in a wider range
// (the ticket box can hold up to 8 * (2^31 - 1) tickets) plain modulo would
// never reach the values past a + 2^31 - 1: every slot after the first two
// billion tickets would never win. Wider ranges therefore take successive
// steps and join them into one wider number before the modulo: two steps
// (62 bits) up to 2^62 values, three steps (64 bits) beyond. Every part of
// the range is then reached with even chances, up to the seed's own limit
// of 2^32 distinct starting states.
// Bounds given the wrong way round are taken as the range b..a.
qint64 LotteryRandom::next(qint64 a, qint64 b)
{
    if (b < a)
        std::swap(a, b);
    // b - a + 1 in unsigned arithmetic; 0 stands for the full 2^64.
    const quint64 span = quint64(b) - quint64(a) + 1u;
    quint64 r = 0;
    if (span != 0 && span <= kOneStepSpan) {
        r = stepGenerator(m_state) % span;
    } else {
        quint64 joined = stepGenerator(m_state);
        joined = (joined << 31) | stepGenerator(m_state);
        if (span == 0 || span > kTwoStepSpan)
            joined = (joined << 2) | (stepGenerator(m_state) & 3u);
        r = span == 0 ? joined : joined % span;
    }
    return static_cast<qint64>(quint64(a) + r);
}
