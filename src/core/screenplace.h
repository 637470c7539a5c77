#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <optional>

// Which screen the main window shows on, as stored: the system's name for
// it and where its top-left corner was. Two monitors of one model have
// names that differ only by their order ("DELL U2419H" and
// "DELL U2419H (2)" on Windows), and that order may change from one start
// to the next: the corner tells them apart.
struct ScreenPlace
{
    QString name;
    std::optional<QPoint> topLeft;

    // "name@x,y"; a value with no corner (as older versions stored it) is
    // the name alone, and so is one whose "@" is not followed by two numbers.
    static ScreenPlace fromText(const QString &text);
    QString toText() const;

    // The index in `screens` of the stored screen: the one with the same
    // name and corner, else one of the same model (the name without its
    // " (n)") at that corner, else the first with the same name, else none
    // (-1).
    int matchIn(const QList<ScreenPlace> &screens) const;

    friend bool operator==(const ScreenPlace &, const ScreenPlace &) = default;
};
