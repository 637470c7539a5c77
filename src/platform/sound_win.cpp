#include "winsound.h"

#include "wave.h"

#include <QFileInfo>

#include <iterator>
#include <memory>
#include <string>

#include <windows.h>
#include <mmsystem.h>

namespace {

class SystemMci final : public MciCommands
{
public:
    bool send(const std::wstring &command) override
    {
        return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
    }

    std::wstring ask(const std::wstring &command) override
    {
        wchar_t answer[64] = {};
        if (mciSendStringW(command.c_str(), answer, DWORD(std::size(answer)), nullptr) != 0)
            return {};
        return answer;
    }
};

} // namespace

WinSound::WinSound(MciLoop loop)
    : m_music(std::make_unique<MciMusic>(std::make_shared<SystemMci>(), loop))
{
}

WinSound::~WinSound()
{
    PlaySoundW(nullptr, nullptr, 0);
}

void WinSound::playLooped(const QString &path)
{
    // A missing file is a stop, never an open.
    m_music->request(QFileInfo(path).isFile() ? path : QString());
}

void WinSound::stop()
{
    m_music->request(QString());
}

bool WinSound::hasMusic() const
{
    return m_music->wanted();
}

void WinSound::playWave(const QByteArray &wave)
{
    // The chime being played reads m_wave: stopped before it is replaced.
    PlaySoundW(nullptr, nullptr, 0);
    m_wave.clear();
    m_accepted.clear();
    const std::optional<WaveData> parsed = parseWave(wave);
    if (!parsed)
        return;
    m_accepted = parsed->pcm.toByteArray();
    m_wave = wave;
    const auto bytes = reinterpret_cast<LPCWSTR>(m_wave.constData());
    if (!PlaySoundW(bytes, nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT))
        m_wave.clear();
}

std::unique_ptr<Sound> createSystemSound()
{
    // Made even without an output device: PlaySound and each MCI open take
    // the default device of the moment, so a projector's sound plugged in
    // later is used at the next play. LUNORA_MUSIC_LOOP=poll repeats the
    // music by polling, as where MCI plays once what it was asked to repeat.
    const bool poll = qEnvironmentVariable("LUNORA_MUSIC_LOOP") == QLatin1String("poll");
    return std::make_unique<WinSound>(poll ? MciLoop::Polling : MciLoop::Repeat);
}
