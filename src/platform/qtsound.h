#pragma once

#include "sound.h"

#include <QAudioDevice>
#include <QByteArray>
#include <memory>

class QAudioOutput;
class QAudioSink;
class QBuffer;
class QMediaPlayer;

// Sound through Qt Multimedia on one output device.
class QtSound final : public Sound
{
public:
    explicit QtSound(const QAudioDevice &device);
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

    QAudioDevice m_device;
    QByteArray m_accepted;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    // The sink reads the buffer, so it is declared after it and goes first.
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
