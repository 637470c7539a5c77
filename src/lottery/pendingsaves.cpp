#include "lottery/pendingsaves.h"

#include "core/drawhistory.h"
#include "core/saveworker.h"
#include "core/settingsfile.h"
#include "widgets/messagebox.h"
#include "widgets/statusnotice.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

constexpr int kDoneShownMs = 4000;
constexpr int kHistoryShownMs = 10000;

QString notCountedText()
{
    return QStringLiteral("中奖结果保存失败，这次中奖没有记录！请检查程序所在文件夹是否可写。");
}

QString stillHeldText(const QList<DrawHistory::Win> &wins)
{
    QString text = QStringLiteral("中奖结果文件（jieguo.a）一直被其他程序占用，以下中奖没有记录，请手工记下：");
    for (const DrawHistory::Win &win : wins) {
        text += QStringLiteral("\r\n") + win.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            + QStringLiteral("  第%1项").arg(win.slot);
    }
    return text;
}

QString settingsStillHeldText(const QStringList &entries)
{
    return QStringLiteral("设置文件（config.a）一直被其他程序占用，以下设置没有保存，下次启动时不会生效，请记下后重新设置：\r\n")
        + entries.join(QStringLiteral("\r\n"));
}

} // namespace

PendingSaves::PendingSaves(DrawHistory &history, const SettingsFile &settings, StatusNotice &notice,
                           QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_settings(settings)
    , m_notice(notice)
{
    // Posted to the window's thread; dropped once this object is gone.
    m_worker = std::make_unique<SaveWorker>(history, [this](int postsTried) {
        QMetaObject::invokeMethod(this, [this, postsTried] { refresh(postsTried); }, Qt::QueuedConnection);
    });
    m_history.setWinsPosted(true);
}

PendingSaves::~PendingSaves()
{
    m_worker.reset();
    m_history.setWinsPosted(false);
}

// Nothing is shown yet: the worker's first try follows at once, and its
// outcome is shown as the window's own try's was (nothing when stored).
void PendingSaves::winPending()
{
    ++m_posts;
    m_worker->post();
}

// Told once, in the window: a box at a landing would take the operator's
// next key.
void PendingSaves::historyNotKept(const QString &reason)
{
    if (m_history.linesHeld()) {
        static_cast<void>(m_history.heldToReport());
        m_notice.showFor(kHistoryHeld, kHistoryShownMs);
        return;
    }
    m_notice.showFor(QStringLiteral("中奖记录.csv无法写入：") + reason + QStringLiteral("。中奖数量照常保存"),
                     kHistoryShownMs);
}

// A win's line is written by the worker, so a history that could not take
// it is told here.
void PendingSaves::refresh(int postsTried)
{
    if (m_history.heldToReport())
        m_notice.showFor(kHistoryHeld, kHistoryShownMs);
    if (const QString failure = m_history.failureToReport(); !failure.isEmpty())
        historyNotKept(failure);
    showState(m_posts - postsTried);
    // One box for each win refused, as each refused landing had.
    for (qsizetype lost = m_history.takeLostWins().size(); lost > 0; --lost)
        messagebox::inform(notCountedText());
}

// Wins posted after the worker's last try began have not met the file yet:
// they are not shown as waiting.
void PendingSaves::showState(int untried)
{
    const bool wins = m_history.pendingWins().size() > untried;
    const bool settings = m_settings.pendingCount(DataFile::Config) > 0;
    if (wins) {
        m_notice.showSteady(kSavingWin);
    } else if (m_savingWin) {
        m_notice.showFor(kSavedWin, kDoneShownMs);
    } else if (settings) {
        m_notice.showSteady(kSavingSettings);
    } else if (m_savingSettings) {
        m_notice.showFor(kSavedSettings, kDoneShownMs);
    }
    m_savingWin = wins;
    m_savingSettings = settings && !wins;
}

void PendingSaves::finish()
{
    m_worker->stop();
    if (!m_history.pendingWins().isEmpty()) {
        m_notice.showSteady(kSavingWin);
        QCoreApplication::processEvents();
    }
    const QList<DrawHistory::Win> unsaved = m_history.finish(kExitWaitMs);
    if (!m_history.takeLostWins().isEmpty())
        messagebox::inform(notCountedText());
    QStringList held;
    if (!unsaved.isEmpty())
        held.append(stillHeldText(unsaved));
    if (m_settings.pendingCount(DataFile::Config) > 0)
        held.append(settingsStillHeldText(m_settings.pendingEntries(DataFile::Config)));
    if (!held.isEmpty())
        messagebox::inform(held.join(QStringLiteral("\r\n\r\n")));
}
