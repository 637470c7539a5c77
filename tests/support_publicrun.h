#pragma once

// The program's own code drawing on a run folder, as the roll drives it:
// design draws, or public ones with fixed commitment bytes.

#include "support_settingsfolder.h"

#include "core/draw.h"
#include "core/drawhistory.h"
#include "core/keys.h"
#include "core/publicdraw.h"
#include "core/securerandom.h"

// Fixed bytes where the program takes the system's: each commitment's.
class FixedRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override { return QByteArray(size, char(m_next++)); }

private:
    int m_next = 7;
};

// A run of the program's own code on a folder: design draws, or public ones.
struct Event
{
    explicit Event(const QString &dir)
        : settings(dir, gbkCodec())
        , history(settings, [] { return QDateTime(QDate(2026, 12, 7), QTime(15, 3, 12)); })
    {
        draw.setWallClock([this] { return us += 1234567; });
        for (int slot = 1; slot <= 8; ++slot)
            ready = settings.writeSetting(keys::kPrizeValue[slot - 1], QString::number(slot * 3)) && ready;
    }
    void goPublic()
    {
        history.setPublic(&keys, [this] {
            static_cast<void>(draw.refill(settings, history.counts()));
            return draw.box();
        });
        history.commit();
    }
    // A stop request, then its landing, as the roll makes them.
    int land(bool designated = false)
    {
        if (!ready || !draw.refill(settings, history.counts()))
            return 0;
        if (history.isPublic()) {
            const PublicRecord record = history.recordPublicStop({Config(settings).drawMode(), draw.box(), draw.now()});
            return record.taken ? record.slot : 0;
        }
        if (designated)
            draw.armDesignation();
        const int slot = draw.drawLanding();
        return history.recordWin(slot, draw.takeLandingMark()) == DrawHistory::Saved::Stored ? slot : 0;
    }

    SettingsFile settings;
    bool ready = true; // the prize values were written
    DrawHistory history;
    Draw draw;
    FixedRandom random;
    publicdraw::Keys keys{random};
    qint64 us = 1765000000000000;
};

