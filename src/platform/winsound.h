#pragma once

#include "mcimusic.h"
#include "sound.h"

#include <QByteArray>
#include <memory>

// Sound through the system's own calls: PlaySound for the chime, MCI for the
// looping music (see MciMusic: on a worker thread, never waited for).
class WinSound final : public Sound
{
public:
    explicit WinSound(MciLoop loop = MciLoop::Repeat);
    ~WinSound() override;

    void playLooped(const QString &path) override;
    void stop() override;
    void playWave(const QByteArray &wave) override;

    // Whether music is wanted and playing: from playLooped() until stop(),
    // or until the file turned out to be unplayable.
    bool hasMusic() const;
    // Whether a WAVE was accepted and handed to PlaySound.
    bool hasWave() const { return !m_wave.isEmpty(); }
    // The samples of the WAVE last accepted for playing, whether or not a
    // device took them; empty once a later one was refused.
    const QByteArray &acceptedSamples() const { return m_accepted; }

private:
    std::unique_ptr<MciMusic> m_music;
    // PlaySound reads the bytes while it plays, so they are kept here until
    // the next chime or the end.
    QByteArray m_wave;
    QByteArray m_accepted;
};
