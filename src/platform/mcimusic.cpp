#include "mcimusic.h"

#include <QDir>
#include <QFileInfo>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace {

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

struct MciMusic::Shared
{
    std::shared_ptr<MciCommands> commands;
    MciLoop loop = MciLoop::Repeat;
    std::chrono::milliseconds poll;
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<std::wstring> request;
    quint64 generation = 0;
    bool wanted = false;
    bool quit = false;
    int restarts = 0;
};

class MciMusic::Worker
{
public:
    explicit Worker(Shared &shared) : m_shared(shared), m_mci(*shared.commands) {}

    void run()
    {
        std::unique_lock lock(m_shared.mutex);
        while (true) {
            const auto wait = m_polling ? m_shared.poll : std::chrono::milliseconds(std::chrono::hours(1));
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
                const bool restarted = restartIfEnded();
                lock.lock();
                m_shared.restarts += restarted;
            }
        }
        lock.unlock();
        close();
    }

private:
    bool open(const std::wstring &path)
    {
        if (!m_mci.send(L"open \"" + path + L"\" type mpegvideo alias " + kAlias))
            return false;
        m_open = true;
        if (m_shared.loop == MciLoop::Repeat && m_mci.send(L"play " + kAlias + L" repeat"))
            return true;
        if (m_mci.send(L"play " + kAlias)) {
            m_polling = true;
            return true;
        }
        close();
        return false;
    }

    // True when the piece had ended and was started again.
    bool restartIfEnded()
    {
        if (m_mci.ask(L"status " + kAlias + L" mode") != L"stopped")
            return false;
        if (m_mci.send(L"seek " + kAlias + L" to start") && m_mci.send(L"play " + kAlias))
            return true;
        close();
        return false;
    }

    void close()
    {
        if (m_open)
            m_mci.send(L"close " + kAlias);
        m_open = false;
        m_polling = false;
    }

    Shared &m_shared;
    MciCommands &m_mci;
    bool m_open = false;
    bool m_polling = false;
};

MciMusic::MciMusic(std::shared_ptr<MciCommands> commands, MciLoop loop, std::chrono::milliseconds poll)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->commands = std::move(commands);
    m_shared->loop = loop;
    m_shared->poll = poll;
    RunningWorkers &workers = runningWorkers();
    workers.started();
    std::thread([shared = m_shared, &workers] {
        Worker(*shared).run();
        workers.finished();
    }).detach();
}

MciMusic::~MciMusic()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->quit = true;
    }
    m_shared->wake.notify_one();
}

void MciMusic::request(const QString &path)
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

bool MciMusic::wanted() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->wanted;
}

int MciMusic::restarts() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->restarts;
}
