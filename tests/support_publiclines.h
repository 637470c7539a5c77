#pragma once

// Lines of every kind a history holds, built from their documented form
// and appended by the program's own history::append (so that they chain as
// the program chains them): a commitment with its box, public draws with
// their moment in microseconds, box changes, voids, the end of public mode.

#include "core/historyfile.h"
#include "core/historygrammar.h"
#include "core/publicdraw.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QStringList>
#include <QtEndian>
#include <array>

class PublicLines
{
public:
    explicit PublicLines(QString path) : m_path(std::move(path)) {}

    // 时间 of every line from now on, as written.
    QString time = QStringLiteral("2026-12-07 15:03:12");
    qint64 us = 1765000000000000;
    std::array<int, 9> counts{}; // each slot's, as jieguo.a would hold them

    static QString boxText(const publicdraw::Box &box)
    {
        QStringList parts;
        for (const qint64 t : box)
            parts.append(QString::number(t));
        return parts.join(u' ');
    }

    // Keys from seed: K10000 = 32 bytes of it, K(i-1) = SHA-256(K(i)).
    bool commit(QStringView mode, const publicdraw::Box &box, char seed = 1)
    {
        m_keys.assign(publicdraw::kKeysPerCommitment + 1, QByteArray(32, seed));
        for (int i = publicdraw::kKeysPerCommitment; i > 0; --i)
            m_keys[i - 1] = publicdraw::previousKey(m_keys[i]);
        m_n = 0;
        return line({u"承诺"_qs, {}, mode.toString(), {}, {}, {}, boxText(box), {}, {}, m_keys[0].toHex()});
    }

    // The next public draw on box; returns its slot, 0 when not written.
    int draw(QStringView mode, const publicdraw::Box &box)
    {
        const qint64 n = ++m_n;
        QByteArray message = "n=" + QByteArray::number(n) + ";box=";
        qint64 total = 0;
        for (int i = 0; i < 8; ++i) {
            message += (i > 0 ? "," : "") + QByteArray::number(box[i]);
            total += box[i];
        }
        us += 1234567;
        message += ";us=" + QByteArray::number(us);
        const QByteArray h
            = QMessageAuthenticationCode::hash(message, m_keys[n], QCryptographicHash::Sha256);
        const qint64 ticket = qint64(qFromBigEndian<quint64>(h.constData()) % quint64(total)) + 1;
        int slot = 0;
        for (qint64 sum = 0; sum < ticket;)
            sum += box[slot++];
        const QString count = QString::number(++counts[slot]);
        const bool ok = line({QString::number(slot), QString::number(slot * 3), mode.toString(), count, u"否"_qs,
                              QString::number(n), boxText(box), QString::number(us), QString::number(ticket),
                              m_keys[n].toHex()});
        return ok ? slot : 0;
    }

    bool boxSet(QStringView mode, const publicdraw::Box &box)
    {
        return line({u"设置"_qs, {}, mode.toString(), {}, {}, {}, boxText(box)});
    }
    // n > 0: a public draw's void, with the box after it.
    bool voidWin(int slot, QStringView mode, qint64 n = 0, const publicdraw::Box &box = {})
    {
        return line({u"作废"_qs, QString::number(slot * 3), mode.toString(), QString::number(--counts[slot]), {},
                     n > 0 ? QString::number(n) : QString(),
                     n > 0 ? boxText(box) : QString()});
    }
    bool publicEnd() { return line({u"公开抽奖结束"_qs}); }
    bool designWin(int slot, bool designated = false)
    {
        return line({QString::number(slot), QString::number(slot * 3), u"按数量"_qs, QString::number(++counts[slot]),
                     designated ? u"是"_qs : u"否"_qs});
    }
    bool clear()
    {
        counts = {};
        return line({u"清空中奖"_qs});
    }

private:
    // Cells 2 … 11 (奖项 first); 时间 goes before them, empty cells after.
    bool line(QStringList cells)
    {
        cells.prepend(time);
        while (cells.size() < history::kColumns - 1)
            cells.append(QString());
        return history::append(m_path, cells.join(u',').toUtf8()).isEmpty();
    }

    QString m_path;
    std::vector<QByteArray> m_keys;
    qint64 m_n = 0;
};
