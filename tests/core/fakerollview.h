#pragma once

#include "core/roll.h"

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <array>
#include <utility>

inline QString shown(const QByteArray &picture)
{
    return picture.isEmpty() ? QStringLiteral("<empty>") : QString::fromLatin1(picture);
}

// Stands in for the main window: keeps what a window would show and logs
// every call in order, so the step order of each handler can be checked.
class FakeRollView final : public RollView
{
public:
    FakeRollView()
    {
        for (int slot = 1; slot <= 8; ++slot) {
            files[slot - 1] = "picture " + QByteArray::number(slot);
            pictures[slot - 1] = files[slot - 1];
        }
    }

    QString rollSpeedText() const override { return speed; }
    QString autoStopText() const override { return autoStop; }
    bool effectsDisabled() const override { return effectsOff; }
    QString buttonCaption() const override { return caption; }
    void setButtonCaption(const QString &text) override { caption = text; note(u"caption " + text); }
    void setButtonEnabled(bool enabled) override
    {
        buttonEnabled = enabled;
        note(QStringLiteral("button-enabled %1").arg(enabled));
    }
    void setIdleCaptions(bool idle) override
    {
        idleCaptions = idle;
        note(QStringLiteral("idle-captions %1").arg(idle));
    }
    // The interval rule: negative counts as 0; the same value is no restart.
    void setRollInterval(int ms) override
    {
        rollInterval = qMax(ms, 0);
        note(QStringLiteral("roll-interval %1").arg(ms));
    }
    void setAutoStopInterval(int ms) override
    {
        const int value = qMax(ms, 0);
        if (value != autoStopInterval && value > 0)
            ++autoStopStarts;
        autoStopInterval = value;
        note(QStringLiteral("auto-stop %1").arg(ms));
    }
    void setSlotRaised(int slot, bool up) override
    {
        raised[slot - 1] = up;
        note(QStringLiteral("raised %1 %2").arg(slot).arg(up));
    }
    QByteArray slotPicture(int slot) const override { return pictures[slot - 1]; }
    void setSlotPicture(int slot, const QByteArray &bytes) override
    {
        pictures[slot - 1] = bytes;
        note(QStringLiteral("slot-picture %1 %2").arg(slot).arg(shown(bytes)));
    }
    void reloadSlotPicture(int slot) override
    {
        pictures[slot - 1] = files[slot - 1];
        note(QStringLiteral("reload %1").arg(slot));
    }
    void setResultPicture(const QByteArray &bytes) override
    {
        result = bytes;
        note(u"result-picture " + shown(bytes));
    }
    void setResultVisible(bool visible) override
    {
        resultVisible = visible;
        note(QStringLiteral("result-visible %1").arg(visible));
    }
    bool designationArmed() const override { return armed; }
    void clearDesignation() override { armed = false; note(u"clear-designation"_qs); }
    void showEmptyBoxMessage() override { ++emptyMessages; note(u"empty-box"_qs); }
    void showWinNotCounted() override { note(u"win-not-counted"_qs); }
    void showWinPending() override { note(u"win-pending"_qs); }
    void showHistoryNotKept(const QString &reason) override { note(u"history-not-kept " + reason); }
    void startMusic() override { ++musicStarts; note(u"music-start"_qs); }
    void stopMusic() override { ++musicStops; note(u"music-stop"_qs); }
    void showWinEffect() override { ++effectsShown; note(u"show-effect"_qs); }
    void closeWinEffect() override { note(u"close-effect"_qs); }
    void playEndSound() override { ++endSounds; note(u"end-sound"_qs); }

    QStringList take() { return std::exchange(log, {}); }
    std::array<bool, 8> raisedSlots() const { return raised; }

    QString speed = QStringLiteral("30");
    QString autoStop = QStringLiteral("0");
    bool effectsOff = false;
    QString caption = Roll::kStartCaption;
    bool buttonEnabled = true;
    bool idleCaptions = true;
    int rollInterval = 0;
    int autoStopInterval = 0;
    int autoStopStarts = 0;
    std::array<bool, 8> raised{};
    std::array<QByteArray, 8> pictures;
    std::array<QByteArray, 8> files;
    QByteArray result;
    bool resultVisible = false;
    bool armed = false;
    int emptyMessages = 0, musicStarts = 0, musicStops = 0;
    int effectsShown = 0, endSounds = 0;
    bool logging = true;

private:
    void note(const QString &entry)
    {
        if (logging)
            log.append(entry);
    }
    QStringList log;
};

inline std::array<bool, 8> raisedOnly(std::initializer_list<int> slots)
{
    std::array<bool, 8> r{};
    for (const int slot : slots)
        r[slot - 1] = true;
    return r;
}
