#pragma once

#include "draw.h"

#include <QByteArray>
#include <QString>

class DrawHistory;
class SettingsFile;

// What the roll needs of the main window. The window implements it; tests
// drive the roll with a recording fake.
class RollView
{
public:
    virtual ~RollView() = default;

    // Live option values: the panel's controls, not the settings file.
    virtual QString rollSpeedText() const = 0;     // 编辑框_滚动速度
    virtual QString autoStopText() const = 0;      // 编辑框_自动停止
    virtual bool effectsDisabled() const = 0;      // 选择框_禁用特效

    // 按钮1: its caption is the state the centre captions test.
    virtual QString buttonCaption() const = 0;
    virtual void setButtonCaption(const QString &caption) = 0;
    virtual void setButtonEnabled(bool enabled) = 0;

    // true: 透明标签_开始 shown, 透明标签_结束 hidden; false: the reverse.
    virtual void setIdleCaptions(bool idle) = 0;

    // Timers, through the interval rule (same value: no restart; <= 0: stop).
    virtual void setRollInterval(int ms) = 0;     // 时钟1
    virtual void setAutoStopInterval(int ms) = 0; // 时钟3_自动停止

    // Slots 1..8 and the result picture.
    virtual void setSlotRaised(int slot, bool raised) = 0;
    virtual QByteArray slotPicture(int slot) const = 0;
    virtual void setSlotPicture(int slot, const QByteArray &bytes) = 0;
    virtual void reloadSlotPicture(int slot) = 0; // from its file
    virtual void setResultPicture(const QByteArray &bytes) = 0;
    virtual void setResultVisible(bool visible) = 0;

    // The designation flag (透明标签_zd visible).
    virtual bool designationArmed() const = 0;
    virtual void clearDesignation() = 0;

    virtual void showEmptyBoxMessage() = 0;
    // The landing's win could not be stored in jieguo.a: the file or folder
    // refuses it.
    virtual void showWinNotCounted() = 0;
    // jieguo.a is held by another program: the win waits to be stored.
    virtual void showWinPending() = 0;
    // The win was counted, but 中奖记录.csv could not be written (reason).
    virtual void showHistoryNotKept(const QString &reason) = 0;
    virtual void startMusic() = 0;
    virtual void stopMusic() = 0;
    virtual void showWinEffect() = 0;  // returns at once; closes itself later
    virtual void closeWinEffect() = 0;
    virtual void playEndSound() = 0;
};

struct RollState
{
    int runFlag = 0;       // 1 while rolling
    int position = 0;      // slot under the highlight, 0 before the first roll
    qint32 tickBudget = 0; // ticks left
    QByteArray heldPicture;
};

// The start/stop request, the roll tick and the landing, in their exact
// step order.
class Roll
{
public:
    static inline const QString kStartCaption = QStringLiteral("开始");
    static inline const QString kStopCaption = QStringLiteral("停止");
    // What a roll speed of 0 ms or less rolls at: the speed box's default.
    static constexpr int kDefaultRollIntervalMs = 30;

    // The draw's state is the program's; the roll changes it only through
    // Draw's functions.
    Roll(RollView &view, const SettingsFile &settings, DrawHistory &history, Draw &draw);

    // 按钮1 clicked (also by the keyboard).
    void startStopPress();
    // Left press on 透明标签_开始.
    void startCaptionPressed();
    // Left press on 透明标签_结束, and the auto-stop tick.
    void stopCaptionPressed();
    // A tick of 时钟1.
    void tick();
    // Before a picture replacement: the held picture becomes empty.
    void clearHeldPicture() { m_state.heldPicture.clear(); }

    const RollState &state() const { return m_state; }

private:
    void armAutoStop();
    bool buildStopBox();
    void startRoll();
    void requestStop();
    void resetRoll();
    bool stopOnRunOut();
    void endEmptyRunOut();
    void landRoll();
    void resumeAfterEmptyLanding();
    int drawLandingSlot();

    RollView &m_view;
    const SettingsFile &m_settings;
    DrawHistory &m_history;
    Draw &m_draw;
    RollState m_state;
    qint32 m_budgetAtStop = 0; // the budget a stop request replaced by 1
};
