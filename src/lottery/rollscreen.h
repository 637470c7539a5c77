#pragma once

#include "core/roll.h"

#include <QByteArray>
#include <array>

class BackgroundMusic;
class IntervalTimer;
class PendingSaves;
class PictureBox;
class PrizePictures;
class QCheckBox;
class QLineEdit;
class QPushButton;
class Sound;
class TransparentLabel;
class WinEffects;

// The controls a roll reads its options from and shows itself on.
struct RollControls
{
    QPushButton *startButton = nullptr;
    TransparentLabel *startCaption = nullptr;
    TransparentLabel *stopCaption = nullptr;
    std::array<PictureBox *, 8> slots{};
    PictureBox *resultPicture = nullptr;
    IntervalTimer *rollTimer = nullptr;
    IntervalTimer *autoStopTimer = nullptr;
    TransparentLabel *designationFlag = nullptr;
    QLineEdit *rollSpeedEdit = nullptr;
    QLineEdit *autoStopEdit = nullptr;
    QCheckBox *effectsDisabledBox = nullptr;
};

// Glues the roll logic to the main window's widgets, timers, music, effects
// and sound.
class RollScreen final : public RollView
{
public:
    RollScreen(const RollControls &controls, const PrizePictures &pictures, BackgroundMusic &music,
                   WinEffects &effects, Sound &sound);

    QString rollSpeedText() const override;
    QString autoStopText() const override;
    bool effectsDisabled() const override;
    QString buttonCaption() const override;
    void setButtonCaption(const QString &caption) override;
    void setButtonEnabled(bool enabled) override;
    void setIdleCaptions(bool idle) override;
    void setRollInterval(int ms) override;
    void setAutoStopInterval(int ms) override;
    void setSlotRaised(int slot, bool raised) override;
    QByteArray slotPicture(int slot) const override;
    void setSlotPicture(int slot, const QByteArray &bytes) override;
    void reloadSlotPicture(int slot) override;
    void setResultPicture(const QByteArray &bytes) override;
    void setResultVisible(bool visible) override;
    bool designationArmed() const override;
    void clearDesignation() override;
    void showEmptyBoxMessage() override;
    void showWinNotCounted() override;
    void showWinPending() override;
    void showHistoryNotKept(const QString &reason) override;
    void startMusic() override;
    void stopMusic() override;
    void showWinEffect() override;
    void closeWinEffect() override;
    void playEndSound() override;

    // Where a win that waits and a history that cannot be written are shown
    // (the window's notice); without it, the history's failure is a box.
    void setPendingSaves(PendingSaves *saves) { m_saves = saves; }

    // The text of the empty-box message.
    static QString emptyBoxText();

private:
    RollControls m_controls;
    const PrizePictures &m_pictures;
    BackgroundMusic &m_music;
    WinEffects &m_effects;
    Sound &m_sound;
    QByteArray m_chime;
    PendingSaves *m_saves = nullptr;
};
