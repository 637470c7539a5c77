#include "qtsound.h"

#include "wave.h"

#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

// Qt 6.4's QMediaPlayer::stop() and setSource() both wait about a second once
// the player has reported a media error, while destroying a player takes a
// millisecond or two. So a player is made for every piece of music and
// destroyed to stop it, and stop() is never called on one.

QtSound::QtSound(const QAudioDevice &device)
    : m_device(device)
    , m_output(std::make_unique<QAudioOutput>(device))
{
}

std::unique_ptr<QtSound> QtSound::followingDefaultOutput()
{
    auto sound = std::make_unique<QtSound>(QMediaDevices::defaultAudioOutput());
    sound->m_followsDefault = true;
    return sound;
}

void QtSound::followDefaultOutput()
{
    if (!m_followsDefault)
        return;
    const QAudioDevice current = QMediaDevices::defaultAudioOutput();
    if (current == m_device)
        return;
    m_device = current;
    m_output->setDevice(current);
}

QtSound::~QtSound()
{
    stop();
    dropWave();
}

void QtSound::playLooped(const QString &path)
{
    stop();
    followDefaultOutput();
    // Checked first: a missing file must cost nothing.
    if (!QFileInfo(path).isFile())
        return;
    m_player = std::make_unique<QMediaPlayer>();
    QMediaPlayer *player = m_player.get();
    player->setAudioOutput(m_output.get());
    QObject::connect(player, &QMediaPlayer::errorOccurred, player, [this, player] {
        // An unplayable file: the player is let go at once, so that neither
        // stop() nor the player's own clean-up has to wait later.
        if (m_player.get() == player)
            m_player.release()->deleteLater();
    });
    player->setLoops(QMediaPlayer::Infinite);
    player->setSource(QUrl::fromLocalFile(path));
    if (m_player)
        m_player->play();
}

void QtSound::stop()
{
    m_player.reset();
}

void QtSound::dropWave()
{
    m_accepted.clear();
    m_sink.reset();
    m_buffer.reset();
}

void QtSound::playWave(const QByteArray &wave)
{
    dropWave();
    followDefaultOutput();
    const std::optional<WaveData> parsed = parseWave(wave);
    if (!parsed)
        return;
    m_accepted = parsed->pcm.toByteArray();
    QAudioFormat format;
    format.setSampleRate(parsed->sampleRate);
    format.setChannelCount(parsed->channels);
    format.setSampleFormat(parsed->bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    if (!m_device.isFormatSupported(format))
        return;
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(m_accepted);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(m_device, format);
    QAudioSink *sink = m_sink.get();
    // Played out: give the device back instead of idling on it.
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState)
            sink->stop();
    });
    sink->start(m_buffer.get());
}

std::unique_ptr<Sound> createSystemSound()
{
    // Made even without an output device (a server, a CI machine): one may
    // be plugged in later. With none, playing is silent and costs no delay.
    return QtSound::followingDefaultOutput();
}
