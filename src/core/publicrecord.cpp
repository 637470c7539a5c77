// DrawHistory in public mode: the commitment, and each draw recorded at its
// stop request, before the roll shows it. No line of a public draw ever
// waits in memory: it is on the disk, or the draw did not happen.
#include "drawhistory.h"

#include "publicdraw.h"

namespace {

PublicRecord refused(const QString &why)
{
    PublicRecord record;
    record.refusal = why;
    return record;
}

QString historyUnwritable(const QString &why)
{
    return u"中奖记录.csv " + why;
}

} // namespace

void DrawHistory::setPublic(publicdraw::Keys *keys, BoxSource boxNow)
{
    m_keys = keys;
    m_boxNow = std::move(boxNow);
}

void DrawHistory::commit()
{
    const std::lock_guard guard(m_mutex);
    if (m_keys)
        appendCommitment();
}

// Without the system's generator, or with a 承诺 the file did not take,
// there is no commitment: no roll starts until one is made (publicRefusal).
void DrawHistory::appendCommitment()
{
    m_committed = false;
    m_expected.forget();
    const QByteArray commitment = m_keys->commit();
    if (commitment.isEmpty()) {
        m_commitFailure = QStringLiteral("无法取得系统随机数");
        lineWritten();
        return;
    }
    const DrawMode mode = m_config.drawMode();
    const publicdraw::Box box = m_boxNow ? m_boxNow() : publicdraw::Box{};
    bool untouched = true;
    const QString failure = appendNow(history::commitLine(m_clock(), commitment, mode, box), &untouched);
    if (failure.isEmpty()) {
        m_committed = true;
        m_expected.stated(mode, box);
        m_commitFailure.clear();
    } else {
        m_commitFailure = historyUnwritable(failure);
    }
    lineWritten();
}

QString DrawHistory::publicRefusal()
{
    const std::lock_guard guard(m_mutex);
    if (!m_keys)
        return {};
    if (!m_committed || m_keys->usedUp())
        appendCommitment();
    return m_committed ? QString() : m_commitFailure;
}

QByteArray DrawHistory::recordedCommitment() const
{
    return m_keys && m_committed ? m_keys->commitment() : QByteArray();
}

qint64 DrawHistory::nextDrawNumber() const
{
    return m_keys ? m_keys->nextNumber() : 0;
}

// The lines that wait from before go first; when they cannot, this one is
// not tried. untouched: whether nothing of it reached the file.
QString DrawHistory::appendNow(const QByteArray &line, bool *untouched)
{
    *untouched = true;
    loadLeftLines();
    writeWaitingLines();
    if (!m_lines.isEmpty())
        return QStringLiteral("文件正被其他程序占用");
    return history::append(path(), line, &m_lastCheck, untouched);
}

// The count is saved first, under jieguo.a's lock; then the lines go to the
// history while that lock is held. A line the history refuses untouched
// puts the count back: nothing happened. Once any of the draw's line may be
// on the disk its key is revealed, so the draw stands, counted.
// The counts' storing lock is only tried here (addWinNow), so holding
// the mutex across it cannot wait on the save worker.
PublicRecord DrawHistory::recordPublicStop(const PublicStop &stop)
{
    const std::lock_guard guard(m_mutex);
    if (!m_keys || !m_committed || m_keys->usedUp())
        return refused(m_commitFailure.isEmpty() ? QStringLiteral("公开抽奖没有承诺") : m_commitFailure);
    const std::optional<publicdraw::Landing> landing = m_keys->next(stop.box, stop.moment);
    if (!landing)
        return refused(QStringLiteral("票箱是空的"));
    const QDateTime time = m_clock();
    PublicRecord record;
    const int slot = landing->ticket.slot;
    const Saved saved = m_counts.addWinNow(
        slot, [&](const QString &count) { return writePublicDraw(stop, time, *landing, count, record); });
    if (record.taken) {
        record.slot = slot;
        if (m_keys->usedUp())
            appendCommitment();
        return record;
    }
    if (record.refusal.isEmpty()) {
        record.refusal = saved == Saved::Pending ? QStringLiteral("中奖结果文件（jieguo.a）正被其他程序占用")
                                                 : QStringLiteral("中奖结果文件（jieguo.a）无法写入");
    }
    return record;
}

bool DrawHistory::writePublicDraw(const PublicStop &stop, const QDateTime &time,
                                  const publicdraw::Landing &landing, const QString &count,
                                  PublicRecord &record)
{
    bool untouched = true;
    if (!m_expected.matches(stop.mode, stop.box)) {
        const QString failure = appendNow(history::settingLine(time, stop.mode, stop.box), &untouched);
        if (!failure.isEmpty()) {
            record.refusal = historyUnwritable(failure);
            return false;
        }
        m_expected.stated(stop.mode, stop.box);
        lineWritten();
    }
    const int slot = landing.ticket.slot;
    const QString prizeValue
        = stop.prizeValues ? (*stop.prizeValues)[slot - 1] : m_config.prizeValueText(slot);
    history::DrawMark mark;
    mark.landing = landing;
    const QString failure
        = appendNow(history::winLine(time, slot, prizeValue, stop.mode, count, mark), &untouched);
    if (!failure.isEmpty() && untouched) {
        record.refusal = historyUnwritable(failure);
        return false;
    }
    m_keys->useNext();
    m_expected.drawn(slot);
    record.taken = true;
    record.historyFailure = failure;
    lineWritten();
    return true;
}
