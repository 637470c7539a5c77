#pragma once

#include "core/displayoptions.h"
#include "core/roll.h"

#include <QByteArray>
#include <array>
#include <optional>

class BackgroundMusic;
class IntervalTimer;
class PendingSaves;
class PictureBox;
class PrizePictures;
class QPushButton;
class Sound;
class StatusNotice;
class TransparentLabel;
class WinEffects;

// The controls a roll shows itself on.
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
};

// Shows the roll's events on the main window's widgets, timers, music,
// effects and sound. It keeps no state of the roll: each event carries what
// it shows. The captions are its own, and the pictures' (the held one
// included) are PrizePictures'.
class RollScreen final : public RollView
{
public:
    static inline const QString kStartCaption = QStringLiteral("开始");
    static inline const QString kStopCaption = QStringLiteral("停止");

    RollScreen(const RollControls &controls, PrizePictures &pictures, BackgroundMusic &music,
               WinEffects &effects, Sound &sound);

    // The options in force: the roll speed, the auto-stop and the effects
    // switch count from the next event that uses them.
    void setOptions(const DisplayOptions &options);

    void requested() override;
    void refused() override;
    void started(const RollEnd &lastEnd) override;
    void stopRequested() override;
    void resumed() override;
    void ranOut() override;
    void endedEmpty(const RollEnd &end) override;
    void stepped(const RollStep &step) override;
    void landed(const RollEnd &end) override;
    void winCounted(const WinOutcome &outcome) override;
    void stopHandled(bool restarted) override;
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
    PrizePictures &m_pictures;
    int m_rollIntervalMs = DisplayOptions().rollIntervalMs();
    std::optional<int> m_autoStopMs;
    bool m_effectsDisabled = false;
    BackgroundMusic &m_music;
    WinEffects &m_effects;
    Sound &m_sound;
    QByteArray m_chime;
    PendingSaves *m_saves = nullptr;
    StatusNotice *m_notice = nullptr;
    bool m_stopNoticeShown = false;
};
