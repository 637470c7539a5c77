#include "winsound.h"

#include "wave.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <iterator>
#include <memory>
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

// The music workers still running. The program's exit waits for them, a
// few seconds at most, because Windows tears down the DLLs while a detached
// thread may still be inside an MCI call: a worker cut off opening a file
// that is no music crashed the program on its way out.
class RunningWorkers
{
public:
    ~RunningWorkers()
    {
        std::unique_lock lock(m_mutex);
        m_done.wait_for(lock, std::chrono::seconds(10), [this] { return m_running == 0; });
    }

    void started()
    {
        const std::lock_guard lock(m_mutex);
        ++m_running;
    }

    void finished()
    {
        {
            const std::lock_guard lock(m_mutex);
            --m_running;
        }
        m_done.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    int m_running = 0;
};

RunningWorkers &runningWorkers()
{
    static RunningWorkers workers;
    return workers;
}

} // namespace

// The worker owns the MCI device from open to close. Opening a file can take
// seconds (Wine needed 2.7 s for a valid MP3 with no sound device and 6 s to
// turn down a JPEG), so the caller only leaves requests; only the latest one
// matters: a stop followed by a play before the worker woke is just a play.
// The worker shares the requests with the caller and outlives it if it must:
// a WinSound going away never waits for an open to finish.
class WinSound::Music
{
public:
    Music()
        : m_shared(std::make_shared<Shared>())
    {
        RunningWorkers &workers = runningWorkers();
        workers.started();
        std::thread([shared = m_shared, &workers] {
            Worker(*shared).run();
            workers.finished();
        }).detach();
    }

    ~Music()
    {
        {
            const std::lock_guard lock(m_shared->mutex);
            m_shared->quit = true;
        }
        m_shared->wake.notify_one();
    }

    // An empty path asks for a stop.
    void request(const QString &path)
    {
        {
            const std::lock_guard lock(m_shared->mutex);
            m_shared->request = path.isEmpty()
                ? std::wstring()
                : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
            ++m_shared->generation;
            m_shared->wanted = !path.isEmpty();
        }
        m_shared->wake.notify_one();
    }

    bool wanted() const
    {
        const std::lock_guard lock(m_shared->mutex);
        return m_shared->wanted;
    }

private:
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable wake;
        std::optional<std::wstring> request;
        quint64 generation = 0;
        bool wanted = false;
        bool quit = false;
    };

    class Worker
    {
    public:
        explicit Worker(Shared &shared) : m_shared(shared) {}

        void run()
        {
            std::unique_lock lock(m_shared.mutex);
            while (true) {
                // Without MCI's own repeat the worker looks every quarter
                // second whether the music ended and starts it again.
                const auto wait = m_polling ? std::chrono::milliseconds(250) : std::chrono::hours(1);
                m_shared.wake.wait_for(lock, wait, [this] { return m_shared.quit || m_shared.request; });
                if (m_shared.quit)
                    break;
                if (m_shared.request) {
                    const std::wstring path = *m_shared.request;
                    const quint64 generation = m_shared.generation;
                    m_shared.request.reset();
                    lock.unlock();
                    close();
                    const bool ok = path.empty() || open(path);
                    lock.lock();
                    if (!ok && generation == m_shared.generation)
                        m_shared.wanted = false;
                } else if (m_polling) {
                    lock.unlock();
                    restartIfEnded();
                    lock.lock();
                }
            }
            lock.unlock();
            close();
        }

    private:
        bool open(const std::wstring &path)
        {
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

        Shared &m_shared;
        bool m_open = false;
        bool m_polling = false;
    };

    std::shared_ptr<Shared> m_shared;
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
    // No output device at all: nothing to play on, and no worker to keep.
    if (waveOutGetNumDevs() == 0)
        return std::make_unique<SilentSound>();
    return std::make_unique<WinSound>();
}
