#include "historycheck.h"

#include "historyfile.h"
#include "historygrammar.h"
#include "publicdraw.h"

#include <QCryptographicHash>
#include <QHash>
#include <optional>

namespace historycheck {
namespace {

using historygrammar::Kind;
using Failure = std::optional<QString>;

QString boxText(const publicdraw::Box &box)
{
    QStringList parts;
    for (const qint64 t : box)
        parts.append(QString::number(t));
    return parts.join(u' ');
}

// The ticket and slot of a public draw; a moment of 13 digits or fewer is
// one of the earlier lines, in milliseconds ("ms="), later ones are in
// microseconds ("us="): the grammar allows no leading zero, so the digits
// tell the program's own rule (publicdraw::message).
publicdraw::Ticket ticketOf(const QByteArray &key, qint64 n, const publicdraw::Box &box, const QString &moment)
{
    return publicdraw::ticketOf(key, n, box, moment.toLongLong());
}

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// A win since the last clearing, for the voids that may follow it.
struct Won
{
    int line = 0;
    int slot = 0;
    qint64 n = 0; // a public draw's number, 0 for any other win
    bool byQuantity = false;
    bool voided = false;
};

class Checker
{
public:
    Checker(Report &report, const Options &options) : m_report(report), m_options(options) {}
    Failure line(int number, QByteArrayView bytes);
    Failure tail(int number, QByteArrayView bytes);

private:
    Failure torn(int number, QByteArrayView fragment);
    Failure record(int number, QByteArrayView bytes, const QStringList &cells);
    Failure chain(QByteArrayView bytes, const QStringList &cells);
    Failure dispatch(int number, Kind kind, const QStringList &cells);
    void commit(int number, const QStringList &cells);
    void clear();
    Failure win(int number, const QStringList &cells);
    Failure publicDraw(const QStringList &cells);
    Failure voidOf(int number, const QStringList &cells);
    void boxSet(int number, const QStringList &cells);
    void noteCount(int number, int slot, const QString &count);
    void list(int number, const QString &what) { m_report.listed.append(QStringLiteral("line %1: %2").arg(number).arg(what)); }

    Report &m_report;
    const Options m_options;
    QByteArray m_previous;
    bool m_chainStarted = false;
    bool m_public = false;      // a commitment stands and public mode was not ended
    bool m_everCommitted = false;
    bool m_restartable = false; // a commitment since the last clearing or end
    qint64 m_n = 0;
    QByteArray m_key;
    std::optional<publicdraw::Box> m_expected;
    QList<Won> m_wins;
    QHash<int, QString> m_counts;
};

Failure Checker::line(int number, QByteArrayView bytes)
{
    if (historygrammar::isTorn(bytes))
        return torn(number, bytes.chopped(history::kTornMark.toUtf8().size() + 1));
    if (bytes.contains('\r') || bytes.contains('\n'))
        return QStringLiteral("a bare CR or LF inside the line");
    if (!historygrammar::isUtf8(bytes))
        return QStringLiteral("the line is not UTF-8");
    const auto fields = historygrammar::csvFields(bytes);
    if (!fields)
        return QStringLiteral("the line is not CSV");
    QStringList cells;
    for (const QByteArray &field : *fields)
        cells.append(QString::fromUtf8(field));
    return record(number, bytes, cells);
}

// What follows the last CRLF: a whole record that lacks only its line end
// is read as the next append will end it; anything else as a torn line.
Failure Checker::tail(int number, QByteArrayView bytes)
{
    if (historygrammar::isWholeRecord(bytes, m_previous))
        return line(number, bytes.endsWith('\r') ? bytes.chopped(1) : bytes);
    return torn(number, bytes);
}

// A torn line is outside the chain, but a public draw cut short after its
// key was written was a draw the audience may have seen.
Failure Checker::torn(int number, QByteArrayView fragment)
{
    ++m_report.torn;
    const QList<QByteArrayView> fields = historygrammar::looseFields(fragment);
    if (m_public && fields.size() >= 11 && historygrammar::isHex(QString::fromLatin1(fields[10]), 64)) {
        QByteArray key = QByteArray::fromHex(fields[10].toByteArray());
        for (qint64 i = m_n; i < publicdraw::kKeysPerCommitment; ++i) {
            key = sha256(key);
            if (key == m_key)
                return QStringLiteral("a public draw was cut short");
        }
    }
    list(number, QStringLiteral("torn"));
    return std::nullopt;
}

Failure Checker::record(int number, QByteArrayView bytes, const QStringList &cells)
{
    if (cells.size() == history::kOldColumns && !m_chainStarted) {
        const auto kind = historygrammar::kindOf(cells);
        if (!kind)
            return QStringLiteral("the cells are not a record");
        if (*kind == Kind::Clear) {
            clear();
            return std::nullopt;
        }
        return win(number, cells);
    }
    if (const Failure failure = chain(bytes, cells))
        return failure;
    const auto kind = historygrammar::kindOf(cells);
    if (!kind)
        return QStringLiteral("the cells are not a record");
    return dispatch(number, *kind, cells);
}

Failure Checker::chain(QByteArrayView bytes, const QStringList &cells)
{
    if (cells.size() != history::kColumns)
        return QStringLiteral("expected 12 cells, found %1").arg(cells.size());
    const QByteArray check = cells.last().toUtf8();
    if (history::chainCheck(m_previous, bytes.first(bytes.lastIndexOf(','))) != check)
        return QStringLiteral("the check cell does not match the chain");
    m_chainStarted = true;
    m_previous = check;
    ++m_report.chained;
    m_report.lastCheck = check.left(16);
    return std::nullopt;
}

Failure Checker::dispatch(int number, Kind kind, const QStringList &cells)
{
    switch (kind) {
    case Kind::Win:
        return win(number, cells);
    case Kind::Clear:
        clear();
        break;
    case Kind::Commit:
        commit(number, cells);
        break;
    case Kind::BoxSet:
        boxSet(number, cells);
        break;
    case Kind::Void:
        return voidOf(number, cells);
    case Kind::PublicEnd:
        ++m_report.publicEnds;
        list(number, QStringLiteral("public draws ended"));
        m_public = m_restartable = false;
        m_expected.reset();
        break;
    }
    return std::nullopt;
}

// A commitment while the last one's keys were not used up, with no
// clearing between, is a restart: listed, for the draws it may hide.
void Checker::commit(int number, const QStringList &cells)
{
    if (m_restartable && m_n < publicdraw::kKeysPerCommitment)
        list(number, QStringLiteral("restart after draw %1").arg(m_n));
    m_public = m_everCommitted = m_restartable = true;
    m_n = 0;
    m_key = QByteArray::fromHex(cells[10].toLatin1());
    m_report.commitments.append(cells[10].left(16));
    m_expected = historygrammar::box(cells[7]); // none on the earlier form
}

void Checker::clear()
{
    m_counts.clear();
    m_wins.clear();
    m_restartable = false;
    m_expected.reset();
}

void Checker::boxSet(int number, const QStringList &cells)
{
    ++m_report.boxSets;
    const QString before = m_expected ? boxText(*m_expected) : QStringLiteral("unknown");
    list(number, QStringLiteral("box changed before draw %1: %2 → %3").arg(m_n + 1).arg(before, cells[7]));
    m_expected = historygrammar::box(cells[7]);
}

Failure Checker::win(int number, const QStringList &cells)
{
    const int slot = cells[1][0].unicode() - u'0';
    noteCount(number, slot, cells[4]);
    const bool isPublic = cells.size() == history::kColumns && !cells[6].isEmpty();
    m_wins.append({number, slot, isPublic ? *historygrammar::number(cells[6]) : 0,
                   cells[3] == history::kByQuantity, false});
    if (isPublic)
        return publicDraw(cells);
    ++m_report.designWins;
    if (cells.size() == history::kColumns && cells[5] == history::kDesignated)
        ++m_report.designated;
    if (m_options.publicOnly && m_everCommitted)
        return QStringLiteral("a win that is not a public draw after the first commitment");
    if (m_public)
        return QStringLiteral("a win after a commitment that is not a public draw");
    return std::nullopt;
}

// The key must hash down to the previous one (twice across a missing
// line), the box must be the one the record expects, and the ticket and
// slot must follow from the line's own cells.
Failure Checker::publicDraw(const QStringList &cells)
{
    if (!m_public)
        return QStringLiteral("a public draw with no commitment before it");
    if (cells[5] != history::kNotDesignated)
        return QStringLiteral("a public draw marked as designated");
    const qint64 n = *historygrammar::number(cells[6]);
    const publicdraw::Box box = *historygrammar::box(cells[7]);
    if (n <= m_n || n > publicdraw::kKeysPerCommitment)
        return QStringLiteral("draw number %1 after %2").arg(n).arg(m_n);
    const QByteArray key = QByteArray::fromHex(cells[10].toLatin1());
    QByteArray down = key;
    for (qint64 i = m_n; i < n; ++i)
        down = sha256(down);
    if (down != m_key)
        return QStringLiteral("the key does not hash to the previous key");
    if (n != m_n + 1)
        return QStringLiteral("draw number %1 after %2: a draw is missing").arg(n).arg(m_n);
    if (m_expected && *m_expected != box)
        return QStringLiteral("the box is not the one the record expects: %1").arg(boxText(*m_expected));
    if (std::all_of(box.begin(), box.end(), [](qint64 t) { return t == 0; }))
        return QStringLiteral("the box is empty");
    const publicdraw::Ticket t = ticketOf(key, n, box, cells[8]);
    if (t.ticket != *historygrammar::number(cells[9]))
        return QStringLiteral("the ticket does not follow from the key, box and moment");
    if (t.slot != cells[1][0].unicode() - u'0')
        return QStringLiteral("the slot does not follow from the ticket");
    m_n = n;
    m_key = key;
    m_expected = box;
    if (cells[3] == history::kByQuantity)
        --(*m_expected)[t.slot - 1];
    ++m_report.publicDraws;
    return std::nullopt;
}

// A public void names its draw by 序号; any other voids the latest win
// since the last clearing that is not voided yet.
Failure Checker::voidOf(int number, const QStringList &cells)
{
    ++m_report.voids;
    const qint64 n = cells[6].isEmpty() ? 0 : *historygrammar::number(cells[6]);
    qsizetype i = m_wins.size() - 1;
    while (i >= 0 && (n > 0 ? m_wins[i].n != n : m_wins[i].voided))
        --i;
    if (n > 0 && (i < 0 || m_wins[i].voided))
        return QStringLiteral("draw %1 is not a draw that can still be voided").arg(n);
    if (i < 0)
        return QStringLiteral("a void with no win to void");
    Won &won = m_wins[i];
    if (n == 0 && won.n > 0)
        return QStringLiteral("a void without 序号 of a public draw");
    won.voided = true;
    m_counts.insert(won.slot, cells[4]);
    if (n > 0 && won.byQuantity && m_expected)
        ++(*m_expected)[won.slot - 1];
    list(number, n > 0 ? QStringLiteral("draw %1 voided").arg(n) : QStringLiteral("the win on line %1 voided").arg(won.line));
    return std::nullopt;
}

// Known gaps, listed and not failed: a kill between a count and its line,
// a power cut between a clearing and its mark.
void Checker::noteCount(int number, int slot, const QString &count)
{
    const QString previous = m_counts.value(slot, QStringLiteral("0"));
    const double now = count.toDouble();
    const double before = previous.toDouble();
    if (now > before + 1)
        list(number, QStringLiteral("slot %1 count rose from %2 to %3").arg(slot).arg(previous, count));
    else if (now == 1 && before >= 1)
        list(number, QStringLiteral("slot %1 count started again at 1 with no clearing").arg(slot));
    m_counts.insert(slot, count);
}

bool knownHeader(QByteArrayView header)
{
    const QByteArray full = history::headerBytes().chopped(2);
    return header == full || header == QByteArrayView(full).first(full.indexOf(",指定"));
}

} // namespace

Report check(const QByteArray &bytes, const Options &options)
{
    Report report;
    Checker checker(report, options);
    const QByteArrayView all(bytes);
    qsizetype start = all.indexOf("\r\n");
    if (start < 0 || !knownHeader(all.first(start))) {
        report.failureLine = 1;
        report.failure = QStringLiteral("the file does not start with a byte order mark and a header");
        return report;
    }
    start += 2;
    for (int number = 2; start < all.size(); ++number) {
        const qsizetype end = all.indexOf("\r\n", start);
        const QByteArrayView line = all.sliced(start, (end < 0 ? all.size() : end) - start);
        if (const Failure failure = end < 0 ? checker.tail(number, line) : checker.line(number, line)) {
            report.failureLine = number;
            report.failure = *failure;
            break;
        }
        start = end < 0 ? all.size() : end + 2;
    }
    return report;
}

QString Report::text() const
{
    QString text;
    for (const QString &entry : listed)
        text += entry + u'\n';
    if (!ok())
        return text + QStringLiteral("FAILED at line %1: %2\n").arg(failureLine).arg(failure);
    text += QStringLiteral("lines chained: %1\npublic draws verified: %2\ndesignated wins: %3\n"
                           "design-mode wins: %4\n设置 lines: %5\n作废 lines: %6\n公开抽奖结束 lines: %7\n"
                           "torn lines: %8\n")
                .arg(chained).arg(publicDraws).arg(designated).arg(designWins).arg(boxSets).arg(voids)
                .arg(publicEnds).arg(torn);
    for (const QString &c : commitments)
        text += u"commitment: " + c + u'\n';
    return text + u"last check: " + QString::fromLatin1(lastCheck.isEmpty() ? "none" : lastCheck) + u'\n';
}

} // namespace historycheck
