#include "winsound.h"

#include "wave.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include <windows.h>
#include <mmsystem.h>

namespace {

constexpr wchar_t kAlias[] = L"lunora_music";

bool mci(const std::wstring &command)
{
    return mciSendStringW(command.c_str(), nullptr, 0, nullptr) == 0;
}

std::wstring mciAnswer(const std::wstring &command)
{
    wchar_t answer[64] = {};
    if (mciSendStringW(command.c_str(), answer, DWORD(std::size(answer)), nullptr) != 0)
        return {};
    return answer;
}

} // namespace

// The worker owns the MCI device from open to close. Only the latest request
// matters: a stop followed by a play before the worker woke is just a play.
class WinSound::Music
{
public:
    Music() : m_thread([this] { run(); }) {}

    ~Music()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    void play(const QString &path)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_request = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
            ++m_generation;
            m_wanted = true;
        }
        m_wake.notify_one();
    }

    void stop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_request = std::wstring();
            ++m_generation;
            m_wanted = false;
        }
        m_wake.notify_one();
    }

    bool wanted() const
    {
        const std::lock_guard lock(m_mutex);
        return m_wanted;
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        while (true) {
            // Without MCI's own repeat the worker looks every quarter second
            // whether the music ended and starts it again.
            const auto wait = m_polling ? std::chrono::milliseconds(250) : std::chrono::hours(1);
            m_wake.wait_for(lock, wait, [this] { return m_quit || m_request; });
            if (m_quit)
                break;
            if (m_request) {
                const std::wstring path = *m_request;
                const quint64 generation = m_generation;
                m_request.reset();
                lock.unlock();
                const bool ok = path.empty() || open(path);
                lock.lock();
                if (!ok && generation == m_generation)
                    m_wanted = false;
            } else if (m_polling) {
                lock.unlock();
                restartIfEnded();
                lock.lock();
            }
        }
        lock.unlock();
        close();
    }

    bool open(const std::wstring &path)
    {
        close();
        const std::wstring alias = kAlias;
        if (!mci(L"open \"" + path + L"\" type mpegvideo alias " + alias))
            return false;
        m_open = true;
        if (mci(L"play " + alias + L" repeat"))
            return true;
        if (mci(L"play " + alias)) {
            m_polling = true;
            return true;
        }
        close();
        return false;
    }

    void restartIfEnded()
    {
        const std::wstring alias = kAlias;
        if (mciAnswer(L"status " + alias + L" mode") == L"stopped"
            && !(mci(L"seek " + alias + L" to start") && mci(L"play " + alias)))
            close();
    }

    void close()
    {
        if (m_open)
            mci(std::wstring(L"close ") + kAlias);
        m_open = false;
        m_polling = false;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    // Guarded by m_mutex: an empty path asks for a stop.
    std::optional<std::wstring> m_request;
    quint64 m_generation = 0;
    bool m_wanted = false;
    bool m_quit = false;
    // The worker's own.
    bool m_open = false;
    bool m_polling = false;
    std::thread m_thread;
};

WinSound::WinSound()
    : m_music(std::make_unique<Music>())
{
}

WinSound::~WinSound()
{
    PlaySoundW(nullptr, nullptr, 0);
}

void WinSound::playLooped(const QString &path)
{
    // Checked here: a missing file must cost nothing, not even a wake-up.
    if (!QFileInfo(path).isFile()) {
        m_music->stop();
        return;
    }
    m_music->play(path);
}

void WinSound::stop()
{
    m_music->stop();
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
    if (!parseWave(wave))
        return;
    m_wave = wave;
    const auto bytes = reinterpret_cast<LPCWSTR>(m_wave.constData());
    if (!PlaySoundW(bytes, nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT))
        m_wave.clear();
}

namespace {

class SilentSound final : public Sound
{
public:
    void playLooped(const QString &) override {}
    void stop() override {}
    void playWave(const QByteArray &) override {}
};

} // namespace

std::unique_ptr<Sound> createSystemSound()
{
    // No output device at all: nothing to play on, and no worker to keep.
    if (waveOutGetNumDevs() == 0)
        return std::make_unique<SilentSound>();
    return std::make_unique<WinSound>();
}
