#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The display options as the operator typed them into the options panel,
// and the numbers they stand for. The texts are kept and stored exactly as
// typed; only what uses an option reads the number. Default-constructed it
// holds what the panel shows when nothing is stored.
struct DisplayOptions
{
    QString resultWidth = QStringLiteral("200");
    QString resultHeight = QStringLiteral("160");
    QString rollSpeed = QStringLiteral("30");
    QString autoStop = QStringLiteral("0");
    QString wheelSize = QStringLiteral("0");
    bool effectsDisabled = false;

    friend bool operator==(const DisplayOptions &, const DisplayOptions &) = default;

    // What a roll speed of 0 ms or less rolls at: the speed's default.
    static constexpr int kDefaultRollIntervalMs = 30;
    // What a roll speed above it rolls at: a stop still lands within a second.
    static constexpr int kSlowestRollIntervalMs = 1000;

    // The result picture's size, never below 0.
    qint32 resultWidthPx() const { return sizeFromText(resultWidth); }
    qint32 resultHeightPx() const { return sizeFromText(resultHeight); }
    // The roll timer's interval.
    int rollIntervalMs() const;
    // The auto-stop delay; none for exactly "0".
    std::optional<int> autoStopMs() const;
    // The wheel's enlargement steps; below 1 none.
    qint32 wheelSteps() const { return stepsFromText(wheelSize); }

    // How a typed size and a typed step count read: the leading number, a
    // size never below 0.
    static qint32 sizeFromText(QStringView text);
    static qint32 stepsFromText(QStringView text);
};
