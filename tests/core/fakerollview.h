#pragma once

#include "core/roll.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <utility>

// Stands in for the main window's roll screen: keeps each event in order
// with the slots it came with.
class FakeRollView final : public RollView
{
public:
    void requested() override { events << "requested"; }
    void refused() override { events << "refused"; }
    void started(const RollEnd &lastEnd) override { events << QStringLiteral("started %1").arg(lastEnd.slot); }
    void stopRequested() override { events << "stop"; }
    void resumed() override { events << "resumed"; }
    void ranOut() override { events << "ran-out"; }
    void endedEmpty(const RollEnd &end) override { events << QStringLiteral("ended-empty %1").arg(end.slot); }
    void stepped(const RollStep &step) override
    {
        events << QStringLiteral("step %1>%2").arg(step.previous).arg(step.position);
    }
    void landed(const RollEnd &end) override
    {
        events << QStringLiteral("landed %1").arg(end.slot);
        if (onLanded)
            onLanded(end.slot);
    }
    void winCounted(const WinOutcome &outcome) override { events << "counted"; outcomes << outcome; }
    void stopHandled(bool restarted) override { events << (restarted ? "kept" : "disarmed"); }
    void designationChanged(bool armed) override { events << (armed ? "armed" : "used"); }
    void startRefused(const QString &why) override { events << u"start-refused: " + why; }
    void stopNotTaken(const QString &why) override { events << u"not-taken: " + why; }

    QStringList take() { return std::exchange(events, {}); }

    QList<WinOutcome> outcomes;
    std::function<void(int)> onLanded;

private:
    QStringList events;
};
