#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class DrawHistory;
class SettingsFile;
class StatusNotice;

// What the operator sees while a file is held by another program, and the
// retries behind it. Every 300 ms, while a win, a setting or a history line
// waits, it tries again (holding the window's thread at most 100 ms) and
// keeps the notice current: "正在保存中奖结果…" while a win waits, then
// "中奖结果已保存" for a few seconds. Only a final failure asks for OK.
class PendingSaves final : public QObject
{
public:
    static constexpr int kRetryMs = 300;
    static constexpr int kWaitMs = 100;
    // How long the exit waits for a held file before it gives up.
    static constexpr int kExitWaitMs = 10000;

    static inline const QString kSavingWin = QStringLiteral("正在保存中奖结果…");
    static inline const QString kSavedWin = QStringLiteral("中奖结果已保存");
    static inline const QString kSavingSettings = QStringLiteral("正在保存设置…");
    static inline const QString kSavedSettings = QStringLiteral("设置已保存");
    static inline const QString kHistoryHeld = QStringLiteral(
        "中奖记录.csv正被其他程序占用，新的记录先暂存，文件关闭后自动补写");

    PendingSaves(DrawHistory &history, const SettingsFile &settings, StatusNotice &notice,
                 QObject *parent = nullptr);

    // After a landing: its win waits, or the history could not take a line.
    void winPending();
    void historyNotKept(const QString &reason);
    // At exit: one last wait for what still waits; a win or a setting that
    // cannot be stored even then is named in a box, for the operator to
    // note by hand.
    void finish();

private:
    void retry();
    void showState();

    DrawHistory &m_history;
    const SettingsFile &m_settings;
    StatusNotice &m_notice;
    QTimer m_timer;
    bool m_savingWin = false;
    bool m_savingSettings = false;
};
