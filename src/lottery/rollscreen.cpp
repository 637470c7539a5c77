#include "rollscreen.h"

#include "core/wholefile.h"
#include "display/backgroundmusic.h"
#include "display/prizepictures.h"
#include "display/wineffects.h"
#include "lottery/historynotice.h"
#include "lottery/pendingsaves.h"
#include "platform/sound.h"
#include "widgets/controls.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"
#include "widgets/statusnotice.h"

#include <QPushButton>
#include <optional>
#include <utility>

RollScreen::RollScreen(const RollControls &controls, PrizePictures &pictures,
                       BackgroundMusic &music, WinEffects &effects, Sound &sound)
    : m_controls(controls)
    , m_pictures(pictures)
    , m_music(music)
    , m_effects(effects)
    , m_sound(sound)
    , m_chime(readWholeFile(QStringLiteral(":/assets/chime.wav")))
{
}

void RollScreen::setOptions(const DisplayOptions &options)
{
    m_rollIntervalMs = options.rollIntervalMs();
    m_autoStopMs = options.autoStopMs();
    m_effectsDisabled = options.effectsDisabled;
}

// By the interval rule, a timer already running with this delay goes on
// with its old schedule.
void RollScreen::armAutoStop()
{
    if (m_autoStopMs)
        m_controls.autoStopTimer->setInterval(*m_autoStopMs);
}

// true: 透明标签_开始 shown, 透明标签_结束 hidden; false: the reverse.
void RollScreen::setIdleCaptions(bool idle)
{
    m_controls.startCaption->setVisible(idle);
    m_controls.stopCaption->setVisible(!idle);
}

// Every request arms the auto-stop, even one then refused.
void RollScreen::requested()
{
    m_controls.resultPicture->setVisible(true);
    armAutoStop();
    m_effects.closeWinEffect();
}

void RollScreen::refused()
{
    m_controls.resultPicture->setVisible(false);
    showEmptyBoxMessage();
}

// Each roll gets the whole auto-stop delay, even when the timer already
// runs with it (armed by a refused request), so no earlier arming can cut
// this roll short.
void RollScreen::started(const RollEnd &lastEnd)
{
    setIdleCaptions(false);
    m_controls.startButton->setText(kStopCaption);
    m_music.startForRoll();
    putBack(lastEnd);
    m_pictures.clearHeldPicture(); // it is back for good
    m_controls.autoStopTimer->setInterval(0);
    armAutoStop();
    m_controls.rollTimer->setInterval(m_rollIntervalMs);
    m_controls.slots[0]->setRaised(true);
    m_controls.resultPicture->setPicture({});
}

// The auto-stop belongs to the roll that armed it, whichever way that roll
// is stopped; the next roll arms its own. The fireworks wait last: the
// landing tick runs during their wait.
void RollScreen::stopRequested()
{
    if (std::exchange(m_stopNoticeShown, false) && m_notice)
        m_notice->clear();
    setIdleCaptions(false);
    m_controls.autoStopTimer->setInterval(0);
    m_music.stop();
    m_controls.startButton->setEnabled(false);
    if (!m_effectsDisabled)
        m_effects.showWinEffect();
}

// Rolling again: the music back on, the button usable, the effect closed.
void RollScreen::resumed()
{
    m_effects.closeWinEffect();
    m_music.startForRoll();
    m_controls.startButton->setEnabled(true);
}

// No fireworks for a stop the roll asks for itself; the end sound plays at
// its landing.
void RollScreen::ranOut()
{
    setIdleCaptions(true);
    m_controls.autoStopTimer->setInterval(0);
    m_music.stop();
}

// The only way the held picture goes back into a box.
void RollScreen::putBack(const RollEnd &end)
{
    m_pictures.putBack(end.slot);
}

void RollScreen::showEndOfRoll(const RollEnd &end)
{
    m_controls.startButton->setText(kStartCaption);
    m_controls.startButton->setEnabled(true);
    m_controls.rollTimer->setInterval(0);
    putBack(end);
}

void RollScreen::endedEmpty(const RollEnd &end)
{
    showEndOfRoll(end);
    m_controls.resultPicture->setVisible(false);
    showEmptyBoxMessage();
}

// The slot left is reloaded from its file; the one reached shows its
// picture in the result box instead of its own.
void RollScreen::stepped(const RollStep &step)
{
    m_controls.slots[step.previous - 1]->setRaised(false);
    m_pictures.load(step.previous);
    m_controls.slots[step.position - 1]->setRaised(true);
    m_controls.resultPicture->setPicture(m_pictures.hold(step.position));
}

// The landed slot keeps its raised border.
void RollScreen::landed(const RollEnd &end)
{
    setIdleCaptions(true);
    showEndOfRoll(end);
    m_sound.playWave(m_chime);
}

// A win the record lost must not pass as counted: the operator has to note
// it by hand and make the folder writable. One that waits for a held file
// is only shown as being saved.
void RollScreen::winCounted(const WinOutcome &outcome)
{
    if (outcome.saved == DrawHistory::Saved::Refused)
        messagebox::inform(QStringLiteral("中奖结果保存失败，这次中奖没有记录！"
                                          "请检查程序所在文件夹是否可写。"));
    if (outcome.saved == DrawHistory::Saved::Pending && m_saves)
        m_saves->winPending();
    if (outcome.historyFailure.isEmpty())
        return;
    if (m_saves)
        m_saves->historyNotKept(outcome.historyFailure);
    else
        historynotice::show(outcome.historyFailure);
}

// The auto-stop timer disarms itself after its first tick, and a press on
// the stop caption disarms it too, unless the press started a roll again
// between a stop and its landing: that roll keeps the auto-stop its start
// armed.
void RollScreen::stopHandled(bool restarted)
{
    if (!restarted)
        m_controls.autoStopTimer->setInterval(0);
}

void RollScreen::designationChanged(bool armed)
{
    m_controls.designationFlag->setVisible(armed);
}

// At a start the operator is there to read a box; the roll has not begun.
void RollScreen::startRefused(const QString &why)
{
    m_controls.resultPicture->setVisible(false);
    messagebox::inform(startRefusedText(why));
}

// A box now would take the focus from the stop key while the wheel turns.
void RollScreen::stopNotTaken(const QString &why)
{
    if (m_notice) {
        m_notice->showFor(stopNotTakenText(why), kStopNoticeMs);
        m_stopNoticeShown = true;
    }
}

QString RollScreen::startRefusedText(const QString &why)
{
    return QStringLiteral("公开抽奖没有可用的承诺，不能开始抽奖！\r\n原因：") + why
        + QStringLiteral("\r\n\r\n排除原因后再按开始，程序会先重新写入承诺。");
}

QString RollScreen::stopNotTakenText(const QString &why)
{
    return QStringLiteral("中奖记录须先写入，这次停止没有生效（") + why + QStringLiteral("），请排除后再按停止");
}

QString RollScreen::emptyBoxText()
{
    return QStringLiteral("1．如果是第一次运行程序，请先点击右键，选择奖项设置菜单，进行奖项设置！\r\n\r\n")
        + QString(28, QChar(0x2014))
        + QStringLiteral("\r\n\r\n2．如果是按奖品数量方式正在抽奖！应该是奖品数量已抽取完毕，清空抽奖结果后可以再重新抽奖！");
}

void RollScreen::showEmptyBoxMessage()
{
    messagebox::show(emptyBoxText(), QStringLiteral("Lunora信息提示"), messagebox::Buttons::Ok,
                     messagebox::Icon::Information);
}
