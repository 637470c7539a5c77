#include "saveworker.h"

#include "drawhistory.h"

#include <chrono>
#include <utility>

SaveWorker::SaveWorker(DrawHistory &history, Changed changed)
    : m_history(history)
    , m_changed(std::move(changed))
    , m_thread([this] { run(); })
{
}

SaveWorker::~SaveWorker()
{
    stop();
}

void SaveWorker::wake()
{
    {
        const std::lock_guard guard(m_mutex);
        m_woken = true;
    }
    m_wakeUp.notify_one();
}

void SaveWorker::post()
{
    {
        const std::lock_guard guard(m_mutex);
        m_woken = true;
        m_posted = true;
        ++m_posts;
    }
    m_wakeUp.notify_one();
}

void SaveWorker::stop()
{
    {
        const std::lock_guard guard(m_mutex);
        m_stop = true;
    }
    m_wakeUp.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

// The pause is the real clock's, not the FileSystem's: a test's clock that
// jumps at every pause would make this loop spin.
void SaveWorker::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_wakeUp.wait_for(lock, std::chrono::milliseconds(kPauseMs),
                          [this] { return m_stop || m_woken; });
        m_woken = false;
        const bool posted = std::exchange(m_posted, false);
        const int posts = m_posts;
        if (m_stop || !m_history.waits())
            continue;
        lock.unlock();
        m_history.retry(posted ? kPostedTryMs : kTryMs);
        if (m_changed)
            m_changed(posts);
        lock.lock();
    }
}
