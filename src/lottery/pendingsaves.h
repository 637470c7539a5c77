#pragma once

#include <QObject>
#include <QString>

#include <memory>

class DrawHistory;
class SaveWorker;
class SettingsFile;
class StatusNotice;

// What the operator sees while a file is held by another program, and the
// worker thread that stores behind it (SaveWorker). A design-mode landing's
// win is posted to the worker with no try on the window's thread; a
// setting gets one try there and never waits for a held file. After each of
// the worker's tries the notice is brought up to date on the window's
// thread: "正在保存中奖结果…" while a win waits, then "中奖结果已保存" for
// a few seconds; a win stored at the first try shows nothing. A win refused
// (a read-only folder) or refused for good after waiting asks for OK.
class PendingSaves final : public QObject
{
public:
    // How long the window's reads and writes wait for a held file: one try,
    // no pause.
    static constexpr int kWaitMs = 0;
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
    ~PendingSaves() override;

    // After a landing: its win was posted, or the history could not take a
    // line.
    void winPending();
    void historyNotKept(const QString &reason);
    // At exit: the worker ends, then one last wait for what still waits; a
    // win or a setting that cannot be stored even then is named in a box,
    // for the operator to note by hand.
    void finish();

private:
    // On the window's thread, after a try of the worker's.
    void refresh(int postsTried);
    void showState(int untried);

    DrawHistory &m_history;
    const SettingsFile &m_settings;
    StatusNotice &m_notice;
    std::unique_ptr<SaveWorker> m_worker;
    int m_posts = 0; // wins posted to the worker
    bool m_savingWin = false;
    bool m_savingSettings = false;
};
