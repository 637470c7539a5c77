#include "publicdraw.h"

#include "securerandom.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QtEndian>

namespace publicdraw {

QByteArray message(qint64 n, const Box &box, qint64 moment)
{
    QByteArray text = "n=" + QByteArray::number(n) + ";box=";
    for (int i = 0; i < 8; ++i)
        text += (i > 0 ? "," : "") + QByteArray::number(box[i]);
    return text + (moment > kLargestMillisecondMoment ? ";us=" : ";ms=") + QByteArray::number(moment);
}

// x mod T is not exactly uniform: each ticket's chance differs from 1/T by
// less than 2^-64, which no audience can tell.
Ticket ticketOf(const QByteArray &key, qint64 n, const Box &box, qint64 moment)
{
    qint64 total = 0;
    for (const qint64 t : box)
        total += t;
    if (total <= 0)
        return {};
    const QByteArray h = QMessageAuthenticationCode::hash(message(n, box, moment), key,
                                                          QCryptographicHash::Sha256);
    const quint64 x = qFromBigEndian<quint64>(h.constData());
    Ticket result;
    result.ticket = qint64(x % quint64(total)) + 1;
    qint64 sum = 0;
    for (int i = 0; i < 8 && result.slot == 0; ++i) {
        sum += box[i];
        if (sum >= result.ticket)
            result.slot = i + 1;
    }
    return result;
}

QByteArray previousKey(const QByteArray &key)
{
    return QCryptographicHash::hash(key, QCryptographicHash::Sha256);
}

QByteArray Keys::commit()
{
    m_keys.clear();
    m_commitment.clear();
    m_used = 0;
    QByteArray key = m_random.bytes(32);
    if (key.size() != 32)
        return {};
    m_keys.resize(kKeysPerCommitment + 1);
    for (int i = kKeysPerCommitment; i > 0; --i) {
        m_keys[i] = key;
        key = previousKey(key);
    }
    m_keys[0] = key;
    m_commitment = key.toHex();
    return m_commitment;
}

std::optional<Landing> Keys::next(const Box &box, qint64 moment) const
{
    if (usedUp())
        return std::nullopt;
    Landing landing;
    landing.n = nextNumber();
    landing.box = box;
    landing.moment = moment;
    landing.ticket = ticketOf(m_keys[landing.n], landing.n, box, moment);
    if (landing.ticket.slot == 0)
        return std::nullopt;
    landing.keyHex = m_keys[landing.n].toHex();
    return landing;
}

} // namespace publicdraw
