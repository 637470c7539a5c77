// 作废上次中奖: a counted win taken back, with a line that says so.
#include "drawhistory.h"

#include "filesystem.h"
#include "historyvoid.h"
#include "values.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

const QString kWaiting = QStringLiteral("还有中奖或中奖记录在等待写入（文件被其他程序占用），"
                                        "写入之前无法确定上次中奖。请稍后再作废。");
const QString kChanged = QStringLiteral("确认期间中奖记录有了新的中奖，请重新作废。");

// The latest win the history records and no void took back yet; nullopt
// with why when there is none or the history cannot be read.
std::optional<history::Voidable> latestWin(const QString &path, QString &why)
{
    QFile file;
    FileSystem::Outcome opened = FileSystem::current().open(file, path, QIODevice::ReadOnly);
    if (opened == FileSystem::Outcome::Done) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            if (auto win = history::lastVoidable(history::lines(bytes)))
                return win;
            opened = FileSystem::Outcome::Missing;
        }
    }
    if (opened == FileSystem::Outcome::Missing)
        why = QStringLiteral("自上次清空中奖以来，没有可以作废的中奖。");
    else if (opened == FileSystem::Outcome::Busy)
        why = QStringLiteral("中奖记录文件被其他程序占用，请关闭它后再作废。");
    else
        why = u"中奖记录文件无法读取：" + (file.isOpen() ? file.errorString() : qt_error_string());
    return std::nullopt;
}

// What the void did while the counts' lock was held.
struct VoidRun
{
    bool cancelled = false; // the change must do nothing any more
    bool appended = false;
    qint64 sizeBefore = 0;
    qint64 sizeAfter = 0;
    QByteArray check;
    QString failure;
};

// The line goes again when the count could not be stored after it: the
// history is cut back to where it was, unless another copy wrote after it.
void takeBackLine(const QString &path, const VoidRun &run)
{
    if (QFileInfo(path).size() == run.sizeAfter)
        static_cast<void>(QFile::resize(path, run.sizeBefore));
}

// Why jieguo.a refused the write, as the system words it.
QString resultsRefusal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return u"jieguo.a 无法写入：" + file.errorString();
    return QStringLiteral("jieguo.a 所在的文件夹不允许写入");
}

// What one void writes, fixed before the lock is taken.
struct VoidJob
{
    QString historyPath;
    history::Voidable win;
    QDateTime time;
    DrawMode mode;
};

// The change of the slot's count, run under the lock of jieguo.a between
// its read and its save: the history is read again (another copy may have
// drawn since the confirmation), the line appended, and only then is the
// count lowered. Any failure leaves the count as it is.
QString voidUnderLock(const VoidJob &job, VoidRun &run, const QString &count)
{
    if (run.cancelled)
        return count;
    const std::optional<history::Voidable> now = latestWin(job.historyPath, run.failure);
    if (!now)
        return count;
    if (now->bytes != job.win.bytes) {
        run.failure = kChanged;
        return count;
    }
    const double before = values::textToNumber(count);
    if (before < 1) {
        run.failure = QStringLiteral("第 %1 项的已中奖数量是 %2，没有可以作废的中奖。")
                          .arg(job.win.win.slot).arg(count.isEmpty() ? QStringLiteral("0") : count);
        return count;
    }
    const QString after = values::formatG13(before - 1);
    const history::VoidMark mark{job.win.win.prizeValue, after, job.win.n, job.win.boxAfterVoid};
    run.sizeBefore = QFileInfo(job.historyPath).size();
    bool untouched = true;
    run.failure = history::append(job.historyPath, history::voidLine(job.time, job.mode, mark), &run.check,
                                  &untouched);
    run.sizeAfter = QFileInfo(job.historyPath).size();
    if (!run.failure.isEmpty()) {
        if (!untouched)
            takeBackLine(job.historyPath, run);
        return count;
    }
    run.appended = true;
    return after;
}

} // namespace

bool DrawHistory::waitsToBeWritten()
{
    retry(m_settings.wait());
    return !m_leftLoaded || !m_pendingWins.isEmpty() || !m_lines.isEmpty()
        || m_settings.pendingCount(DataFile::Results) > 0;
}

std::optional<history::Voidable> DrawHistory::winToVoid(QString *why)
{
    QString reason;
    std::optional<history::Voidable> win;
    if (waitsToBeWritten())
        reason = kWaiting;
    else
        win = latestWin(path(), reason);
    if (why)
        *why = reason;
    return win;
}

// A line whose count cannot be saved is taken back.
QString DrawHistory::voidWin(const history::Voidable &win)
{
    if (waitsToBeWritten())
        return kWaiting;
    const auto run = std::make_shared<VoidRun>();
    const VoidJob job{path(), win, m_clock(), m_config.drawMode()};
    auto change = [run, job](const QString &count) { return voidUnderLock(job, *run, count); };
    const Saved saved = m_counts.change(win.win.slot, change);
    if (saved != Saved::Stored) {
        // A change left waiting must never void later, unseen.
        run->cancelled = true;
        if (run->appended)
            takeBackLine(job.historyPath, *run);
        return saved == Saved::Pending ? QStringLiteral("jieguo.a 被其他程序占用，请稍后再作废。")
                                       : resultsRefusal(m_settings.storedPath(DataFile::Results));
    }
    if (!run->appended)
        return run->failure;
    const std::lock_guard guard(m_mutex);
    m_lastCheck = run->check;
    // The ticket of a voided public draw is back in the box the record
    // expects, so the next draw needs no 设置 line for it.
    if (m_keys && win.n)
        m_expected.voided(win.win.slot, job.mode);
    if (m_observer)
        m_observer();
    return {};
}
