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

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

RollScreen::RollScreen(const RollControls &controls, const PrizePictures &pictures,
                               BackgroundMusic &music, WinEffects &effects, Sound &sound)
    : m_controls(controls)
    , m_pictures(pictures)
    , m_music(music)
    , m_effects(effects)
    , m_sound(sound)
    , m_chime(readWholeFile(QStringLiteral(":/assets/chime.wav")))
{
}

QString RollScreen::rollSpeedText() const { return m_controls.rollSpeedEdit->text(); }
QString RollScreen::autoStopText() const { return m_controls.autoStopEdit->text(); }
bool RollScreen::effectsDisabled() const { return m_controls.effectsDisabledBox->isChecked(); }
QString RollScreen::buttonCaption() const { return m_controls.startButton->text(); }

void RollScreen::setButtonCaption(const QString &caption)
{
    m_controls.startButton->setText(caption);
}

void RollScreen::setButtonEnabled(bool enabled)
{
    m_controls.startButton->setEnabled(enabled);
}

void RollScreen::setIdleCaptions(bool idle)
{
    m_controls.startCaption->setVisible(idle);
    m_controls.stopCaption->setVisible(!idle);
}

void RollScreen::setRollInterval(int ms) { m_controls.rollTimer->setInterval(ms); }
void RollScreen::setAutoStopInterval(int ms) { m_controls.autoStopTimer->setInterval(ms); }

void RollScreen::setSlotRaised(int slot, bool raised)
{
    m_controls.slots[slot - 1]->setRaised(raised);
}

QByteArray RollScreen::slotPicture(int slot) const
{
    return m_controls.slots[slot - 1]->picture();
}

void RollScreen::setSlotPicture(int slot, const QByteArray &bytes)
{
    m_controls.slots[slot - 1]->setPicture(bytes);
}

void RollScreen::reloadSlotPicture(int slot) { m_pictures.load(slot); }
void RollScreen::setResultPicture(const QByteArray &bytes) { m_controls.resultPicture->setPicture(bytes); }
void RollScreen::setResultVisible(bool visible) { m_controls.resultPicture->setVisible(visible); }
bool RollScreen::designationArmed() const { return !m_controls.designationFlag->isHidden(); }
void RollScreen::clearDesignation() { m_controls.designationFlag->hide(); }

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

void RollScreen::showWinNotCounted()
{
    messagebox::inform(QStringLiteral("中奖结果保存失败，这次中奖没有记录！"
                                      "请检查程序所在文件夹是否可写。"));
}

void RollScreen::showWinPending()
{
    if (m_saves)
        m_saves->winPending();
}

void RollScreen::showHistoryNotKept(const QString &reason)
{
    if (m_saves)
        m_saves->historyNotKept(reason);
    else
        historynotice::show(reason);
}

void RollScreen::startMusic() { m_music.startForRoll(); }
void RollScreen::stopMusic() { m_music.stop(); }
void RollScreen::showWinEffect() { m_effects.showWinEffect(); }
void RollScreen::closeWinEffect() { m_effects.closeWinEffect(); }
void RollScreen::playEndSound() { m_sound.playWave(m_chime); }
