#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DrawHistory;

// The one thread that waits for held files, so that the window's thread
// never does. While a win, a setting or a history line waits (the window's
// one try met a file another program holds), it tries again, each file for
// at most kTryMs with the retry's short pauses, every kPauseMs, and after
// each try calls changed() on its own thread with how many post()s the try
// covered: the window's side posts that to its own thread and shows what
// became of the changes. The changes'
// callbacks (a stored win's history line) run here, under the counts' lock.
class SaveWorker
{
public:
    static constexpr int kTryMs = 250;
    static constexpr int kPauseMs = 50;
    // The first try at a posted change: long enough to wait out the lock of
    // a read the window's thread makes meanwhile, short enough that a held
    // file is told at once.
    static constexpr int kPostedTryMs = 50;

    using Changed = std::function<void(int postsTried)>;
    SaveWorker(DrawHistory &history, Changed changed);
    // Stops it as stop() does.
    ~SaveWorker();
    SaveWorker(const SaveWorker &) = delete;
    SaveWorker &operator=(const SaveWorker &) = delete;

    // Something may wait now: look without waiting for the next pause.
    void wake();
    // A change was just posted (a landing's win): wake, and make the first
    // try a short one (kPostedTryMs), so that changed() tells at once
    // whether it was stored, refused, or meets a held file.
    void post();
    // Lets the try under way end (within kTryMs for each file) and ends
    // the thread; what still waits stays for the caller (DrawHistory::finish).
    void stop();

private:
    void run();

    DrawHistory &m_history;
    Changed m_changed;
    std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    bool m_stop = false;
    bool m_woken = false;
    bool m_posted = false;
    int m_posts = 0;
    std::thread m_thread;
};
