#pragma once

#include "sound.h"

#include <QAudioDevice>
#include <QByteArray>
#include <memory>

class QAudioOutput;
class QAudioSink;
class QBuffer;
class QMediaPlayer;

// Sound through Qt Multimedia: on one output device, or on the system's
// default output as it is at each play, so that a device that appears after
// start (a projector's sound over HDMI) is used from the next play on.
class QtSound final : public Sound
{
public:
    explicit QtSound(const QAudioDevice &device);
    static std::unique_ptr<QtSound> followingDefaultOutput();
    ~QtSound() override;

    void playLooped(const QString &path) override;
    void stop() override;
    void playWave(const QByteArray &wave) override;

    // Whether a music player exists: from playLooped() until stop(), or
    // until the file turns out to be unplayable.
    bool hasMusic() const { return m_player != nullptr; }
    // Whether a WAVE was accepted and handed to the output.
    bool hasWave() const { return m_sink != nullptr; }
    // The samples of the WAVE last accepted for playing, whether or not a
    // device took them; empty once a later one was refused.
    const QByteArray &acceptedSamples() const { return m_accepted; }

private:
    void dropWave();
    void followDefaultOutput();

    QAudioDevice m_device;
    bool m_followsDefault = false;
    QByteArray m_accepted;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    // The sink reads the buffer, so it is declared after it and goes first.
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
