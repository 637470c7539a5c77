#include "displayoptions.h"

#include "values.h"

#include <algorithm>

// A speed of 0 ms or less would leave the roll timer stopped and the roll
// without an end; a huge one (1e12 reads as 2,147,483,647 ms) would not
// tick, and so not land, for weeks.
int DisplayOptions::rollIntervalMs() const
{
    const int interval = values::textToInt(rollSpeed);
    if (interval <= 0)
        return kDefaultRollIntervalMs;
    return std::min(interval, kSlowestRollIntervalMs);
}

// Anything but exactly "0" gives a delay, even one of 0 ms or below, which
// by the interval rule stops the timer.
std::optional<int> DisplayOptions::autoStopMs() const
{
    if (autoStop == u"0")
        return std::nullopt;
    return values::truncToInt(values::textToNumber(autoStop) * 1000);
}

qint32 DisplayOptions::sizeFromText(QStringView text)
{
    return qMax(0, values::textToInt(text));
}

qint32 DisplayOptions::stepsFromText(QStringView text)
{
    return values::textToInt(text);
}
