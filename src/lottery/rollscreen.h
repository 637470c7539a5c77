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
class StatusNotice;
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

// Shows the roll's events on the main window's widgets, timers, music,
// effects and sound. It keeps no state of the roll: each event carries what
// it shows.
class RollScreen final : public RollView
{
public:
    RollScreen(const RollControls &controls, const PrizePictures &pictures, BackgroundMusic &music,
               WinEffects &effects, Sound &sound);

    void requested() override;
    void refused() override;
    void started(const RollEnd &lastEnd) override;
    void stopRequested() override;
    void resumed() override;
    void ranOut() override;
    void endedEmpty(const RollEnd &end) override;
    QByteArray stepped(const RollStep &step) override;
    void landed(const RollEnd &end) override;
    void winCounted(const WinOutcome &outcome) override;
    void stopPressHandled(bool restarted) override;
    void designationChanged(bool armed) override;
    void startRefused(const QString &why) override;
    void stopNotTaken(const QString &why) override;

    // Where a win that waits and a history that cannot be written are shown
    // (the window's notice); without it, the history's failure is a box.
    void setPendingSaves(PendingSaves *saves) { m_saves = saves; }
    // The window's bottom notice, where a public stop that could not be
    // recorded is told without a box.
    void setNotice(StatusNotice *notice) { m_notice = notice; }

    // How long the notice of a stop not taken stays, unless a stop is taken.
    static constexpr int kStopNoticeMs = 15000;
    // What the operator is told when a public draw cannot start or stop.
    static QString startRefusedText(const QString &why);
    static QString stopNotTakenText(const QString &why);

    // The text of the empty-box message.
    static QString emptyBoxText();

private:
    void armAutoStop();
    void setIdleCaptions(bool idle);
    void putBack(const RollEnd &end);
    void showEndOfRoll(const RollEnd &end);
    void showEmptyBoxMessage();

    RollControls m_controls;
    const PrizePictures &m_pictures;
    BackgroundMusic &m_music;
    WinEffects &m_effects;
    Sound &m_sound;
    QByteArray m_chime;
    PendingSaves *m_saves = nullptr;
    StatusNotice *m_notice = nullptr;
    bool m_stopNoticeShown = false;
};
