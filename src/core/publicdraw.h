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

// "n=<n>;box=<t1>,...,<t8>;ms=<m>", the text each draw's key authenticates.
QByteArray message(qint64 n, const Box &box, qint64 ms);

struct Ticket
{
    qint64 ticket = 0; // 1..T
    int slot = 0;      // 1..8; 0 when the box is empty
};

// k = 1 + (first 8 bytes of HMAC-SHA256(key, msg), big-endian) mod T, and
// the first slot whose running sum reaches k.
Ticket ticketOf(const QByteArray &key, qint64 n, const Box &box, qint64 ms);

// SHA-256 of key: the key one draw earlier.
QByteArray previousKey(const QByteArray &key);

// What a public landing records.
struct Landing
{
    qint64 n = 0;
    Box box{};
    qint64 ms = 0;
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

    // The next draw on this box; nullopt when the keys are used up or the
    // box is empty.
    std::optional<Landing> draw(const Box &box, qint64 ms);

private:
    SecureRandom &m_random;
    std::vector<QByteArray> m_keys; // m_keys[i] = K_i
    QByteArray m_commitment;
    int m_used = 0;
};

} // namespace publicdraw
