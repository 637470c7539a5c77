#include "historycheck.h"

#include "historyfile.h"
#include "publicdraw.h"

#include <QHash>
#include <QRegularExpression>
#include <optional>

namespace historycheck {
namespace {

struct Failure
{
    QString what;
};

struct PublicCells
{
    qint64 n = 0;
    publicdraw::Box box{};
    qint64 ms = 0;
    qint64 ticket = 0;
    QByteArray key;
};

bool isHex64(const QString &text)
{
    static const QRegularExpression kHex(QStringLiteral("^[0-9a-f]{64}$"));
    return kHex.match(text).hasMatch();
}

std::optional<qint64> integer(const QString &text, qint64 least)
{
    static const QRegularExpression kDigits(QStringLiteral("^-?[0-9]{1,18}$"));
    if (!kDigits.match(text).hasMatch())
        return std::nullopt;
    const qint64 value = text.toLongLong();
    return value >= least ? std::optional(value) : std::nullopt;
}

std::optional<PublicCells> publicCells(const QStringList &cells)
{
    PublicCells p;
    const QStringList box = cells[7].split(u' ');
    const auto n = integer(cells[6], 1);
    const auto ms = integer(cells[8], 0);
    const auto ticket = integer(cells[9], 1);
    if (!n || !ms || !ticket || box.size() != 8 || !isHex64(cells[10]))
        return std::nullopt;
    for (int i = 0; i < 8; ++i) {
        const auto t = integer(box[i], 0);
        if (!t || box[i].startsWith(u'-'))
            return std::nullopt;
        p.box[i] = *t;
    }
    p.n = *n;
    p.ms = *ms;
    p.ticket = *ticket;
    p.key = QByteArray::fromHex(cells[10].toLatin1());
    return p;
}

class Checker
{
public:
    explicit Checker(Report &report) : m_report(report) {}
    std::optional<Failure> line(const history::Line &line);

private:
    std::optional<Failure> chain(const history::Line &line);
    std::optional<Failure> win(const history::Entry &entry, int number);
    std::optional<Failure> publicDraw(const history::Entry &entry);
    void noteCount(int slot, const QString &count, int number);

    Report &m_report;
    QByteArray m_previous;
    bool m_chainStarted = false;
    bool m_committed = false;
    qint64 m_n = 0;
    QByteArray m_key;
    QHash<int, QString> m_counts;
};

std::optional<Failure> Checker::line(const history::Line &line)
{
    if (line.torn)
        return std::nullopt;
    if (!line.cells)
        return Failure{QStringLiteral("the line is not CSV")};
    if (line.cells->size() == history::kOldColumns && !m_chainStarted) {
        // Before the chain: only the counts are looked at.
        const QStringList &cells = *line.cells;
        if (cells[1] == history::kClearMark)
            m_counts.clear();
        else if (cells[1].size() == 1 && cells[1][0] >= u'1' && cells[1][0] <= u'8')
            noteCount(cells[1][0].unicode() - u'0', cells[4], line.number);
        return std::nullopt;
    }
    if (const auto failure = chain(line))
        return failure;
    const auto entry = history::entryOf(line);
    if (!entry)
        return Failure{QStringLiteral("the cells are not a record")};
    if (entry->commit) {
        m_committed = true;
        m_n = 0;
        m_key = QByteArray::fromHex(entry->cells[10].toLatin1());
        m_report.commitments.append(entry->cells[10].left(16));
        return std::nullopt;
    }
    if (entry->isClear()) {
        m_counts.clear();
        return std::nullopt;
    }
    return win(*entry, line.number);
}

std::optional<Failure> Checker::chain(const history::Line &line)
{
    if (line.cells->size() != history::kColumns)
        return Failure{QStringLiteral("expected 12 cells, found %1").arg(line.cells->size())};
    const QByteArray check = line.cells->last().toLatin1();
    const QByteArrayView body = QByteArrayView(line.bytes).first(line.bytes.lastIndexOf(','));
    if (history::chainCheck(m_previous, body) != check)
        return Failure{QStringLiteral("the check cell does not match the chain")};
    m_chainStarted = true;
    m_previous = check;
    ++m_report.chained;
    m_report.lastCheck = check.left(16);
    return std::nullopt;
}

std::optional<Failure> Checker::win(const history::Entry &entry, int number)
{
    noteCount(entry.slot, entry.count, number);
    bool isPublic = false;
    for (int i = 6; i <= 10; ++i)
        isPublic = isPublic || !entry.cells[i].isEmpty();
    if (isPublic && !m_committed)
        return Failure{QStringLiteral("a public draw with no commitment before it")};
    if (!isPublic && m_committed)
        return Failure{QStringLiteral("a win after a commitment that is not a public draw")};
    return isPublic ? publicDraw(entry) : std::nullopt;
}

// The key must hash down to the previous one (twice across a missing
// line), and the ticket and slot must follow from the line's own cells.
std::optional<Failure> Checker::publicDraw(const history::Entry &entry)
{
    const auto p = publicCells(entry.cells);
    if (!p)
        return Failure{QStringLiteral("the public draw's cells are malformed")};
    if (entry.cells[5] != history::kNotDesignated)
        return Failure{QStringLiteral("a public draw marked as designated")};
    if (p->n <= m_n || p->n > publicdraw::kKeysPerCommitment)
        return Failure{QStringLiteral("draw number %1 after %2").arg(p->n).arg(m_n)};
    QByteArray key = p->key;
    for (qint64 i = m_n; i < p->n; ++i)
        key = publicdraw::previousKey(key);
    if (key != m_key)
        return Failure{QStringLiteral("the key does not hash to the previous key")};
    if (p->n != m_n + 1)
        return Failure{QStringLiteral("draw number %1 after %2: a draw is missing").arg(p->n).arg(m_n)};
    const publicdraw::Ticket t = publicdraw::ticketOf(p->key, p->n, p->box, p->ms);
    if (t.ticket != p->ticket)
        return Failure{QStringLiteral("the ticket does not follow from the key, box and moment")};
    if (t.slot != entry.slot)
        return Failure{QStringLiteral("the slot does not follow from the ticket")};
    m_n = p->n;
    m_key = p->key;
    ++m_report.publicDraws;
    return std::nullopt;
}

// Known gaps, listed and not failed: a kill between a count and its line,
// a power cut between a clearing and its mark.
void Checker::noteCount(int slot, const QString &count, int number)
{
    const QString previous = m_counts.value(slot, QStringLiteral("0"));
    bool ok = false;
    bool okBefore = false;
    const double now = count.toDouble(&ok);
    const double before = previous.toDouble(&okBefore);
    if (ok && okBefore && now > before + 1)
        m_report.notes.append(QStringLiteral("line %1: slot %2 count rose from %3 to %4")
                                  .arg(number).arg(slot).arg(previous, count));
    else if (ok && okBefore && now == 1 && before >= 1)
        m_report.notes.append(QStringLiteral("line %1: slot %2 count started again at 1 with no clearing")
                                  .arg(number).arg(slot));
    m_counts.insert(slot, count);
}

} // namespace

Report check(const QByteArray &bytes)
{
    Report report;
    Checker checker(report);
    for (const history::Line &line : history::lines(bytes)) {
        if (const auto failure = checker.line(line)) {
            report.failureLine = line.number;
            report.failure = failure->what;
            break;
        }
    }
    return report;
}

QString Report::text() const
{
    QString text;
    for (const QString &note : notes)
        text += u"note: " + note + u'\n';
    if (!ok())
        return text + QStringLiteral("FAILED at line %1: %2\n").arg(failureLine).arg(failure);
    text += QStringLiteral("lines chained: %1\npublic draws verified: %2\n").arg(chained).arg(publicDraws);
    for (const QString &c : commitments)
        text += u"commitment: " + c + u'\n';
    return text + u"last check: " + QString::fromLatin1(lastCheck.isEmpty() ? "none" : lastCheck) + u'\n';
}

} // namespace historycheck
