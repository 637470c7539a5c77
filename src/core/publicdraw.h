#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

class SecureRandom;

// The public draw: every landing follows from a key committed to before it
// and from the box and moment of its stop request, so that anyone can
// recompute it from the history with a few lines of any language.
namespace publicdraw {

// Tickets per slot, slot 1 first.
using Box = std::array<qint64, 8>;

inline constexpr int kKeysPerCommitment = 10000;

// The moment of a stop request: microseconds since 1970-01-01 UTC (16
// digits). Histories written before counted milliseconds (13 digits).
inline constexpr qint64 kLargestMillisecondMoment = 9999999999999;

// "n=<n>;box=<t1>,...,<t8>;us=<moment>", the text each draw's key
// authenticates; "ms=" for a moment of 13 digits or fewer, as lines of the
// earlier form were made.
QByteArray message(qint64 n, const Box &box, qint64 moment);

struct Ticket
{
    qint64 ticket = 0; // 1..T
    int slot = 0;      // 1..8; 0 when the box is empty
};

// k = 1 + (first 8 bytes of HMAC-SHA256(key, msg), big-endian) mod T, and
// the first slot whose running sum reaches k.
Ticket ticketOf(const QByteArray &key, qint64 n, const Box &box, qint64 moment);

// SHA-256 of key: the key one draw earlier.
QByteArray previousKey(const QByteArray &key);

// What a public landing records.
struct Landing
{
    qint64 n = 0;
    Box box{};
    qint64 moment = 0; // microseconds (see message)
    Ticket ticket;
    QByteArray keyHex;
};

// The keys of the current commitment, in memory only: K10000 is 32 bytes of
// the system's generator, each earlier key the SHA-256 of the next, K0 the
// commitment published before the first draw. Draw n reveals K_n, from which
// K_(n+1) cannot be computed.
class Keys
{
public:
    explicit Keys(SecureRandom &random) : m_random(random) {}

    // A fresh chain; returns C = lowercase hex K0, empty when the system's
    // generator failed (then no draw can be public until the next commit).
    QByteArray commit();
    const QByteArray &commitment() const { return m_commitment; }
    bool usedUp() const { return m_keys.empty() || m_used >= kKeysPerCommitment; }
    // The number the next draw gets: 1 after a commitment.
    qint64 nextNumber() const { return m_used + 1; }

    // The next draw on this box at this moment, without using its key up:
    // nullopt when the keys are used up or the box is empty.
    std::optional<Landing> next(const Box &box, qint64 moment) const;
    // Once any of the next draw's line may be on the disk, its key is
    // revealed and never drawn with again.
    void useNext() { ++m_used; }

private:
    SecureRandom &m_random;
    std::vector<QByteArray> m_keys; // m_keys[i] = K_i
    QByteArray m_commitment;
    int m_used = 0;
};

} // namespace publicdraw
