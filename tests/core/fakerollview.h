#pragma once

#include "core/roll.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>
#include <functional>
#include <utility>

// Stands in for the main window: keeps the eight boxes' pictures as a window
// would show them, and each event in order with the data it came with.
class FakeRollView final : public RollView
{
public:
    FakeRollView()
    {
        for (int slot = 1; slot <= 8; ++slot)
            boxes[slot - 1] = files[slot - 1] = "picture " + QByteArray::number(slot);
    }

    void requested() override { events << "requested"; }
    void refused() override { events << "refused"; }
    void started(const RollEnd &lastEnd) override { events << "started"; putBack(lastEnd); }
    void stopRequested() override { events << "stop"; }
    void resumed() override { events << "resumed"; }
    void ranOut() override { events << "ran-out"; }
    void endedEmpty(const RollEnd &end) override { events << "ended-empty"; putBack(end); }
    QByteArray stepped(const RollStep &step) override
    {
        events << QStringLiteral("step %1>%2").arg(step.previous).arg(step.position);
        boxes[step.previous - 1] = files[step.previous - 1];
        result = std::exchange(boxes[step.position - 1], {});
        return result;
    }
    void landed(const RollEnd &end) override
    {
        events << QStringLiteral("landed %1").arg(end.slot);
        putBack(end);
        if (onLanded)
            onLanded(end.slot);
    }
    void winCounted(const WinOutcome &outcome) override { events << "counted"; outcomes << outcome; }
    void stopPressHandled(bool restarted) override { events << (restarted ? "kept" : "disarmed"); }
    void designationChanged(bool armed) override { events << (armed ? "armed" : "used"); }
    void startRefused(const QString &why) override { events << u"start-refused: " + why; }
    void stopNotTaken(const QString &why) override { events << u"not-taken: " + why; }

    QStringList take() { return std::exchange(events, {}); }

    std::array<QByteArray, 8> boxes;
    std::array<QByteArray, 8> files;
    QByteArray result;
    QList<WinOutcome> outcomes;
    std::function<void(int)> onLanded;

private:
    void putBack(const RollEnd &end)
    {
        if (end.slot != 0)
            boxes[end.slot - 1] = end.heldPicture;
    }
    QStringList events;
};
