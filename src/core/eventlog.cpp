#include "eventlog.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

namespace {

// Notepad before Windows 10 reads a file without it as the system's code
// page, and shows each LF-only line run into the next.
constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

// The log messages go to while it is installed, and the handler before it.
// The mutex keeps a message from reaching a log that is ending.
std::mutex g_routeMutex;
EventLog *g_route = nullptr;
QtMessageHandler g_previous = nullptr;

void route(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArrayView category(context.category ? context.category : "");
    QtMessageHandler previous = nullptr;
    {
        const std::lock_guard guard(g_routeMutex);
        previous = g_previous;
        if (g_route && category.startsWith("lunora."))
            g_route->add(type, category, message);
    }
    if (previous)
        previous(type, context, message);
}

QByteArrayView levelName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

} // namespace

EventLog::EventLog(const QString &folder)
    : EventLog(folder, Limits{})
{
}

EventLog::EventLog(const QString &folder, Limits limits)
    : m_path(folder + u'/' + kFileName)
    , m_limits(limits)
    , m_thread([this] { run(); })
{
}

EventLog::~EventLog()
{
    if (m_installed) {
        const std::lock_guard guard(g_routeMutex);
        qInstallMessageHandler(g_previous);
        g_route = nullptr;
        g_previous = nullptr;
    }
    {
        const std::lock_guard guard(m_mutex);
        m_stop = true;
    }
    m_queued.notify_one();
    m_thread.join();
}

void EventLog::install()
{
    const std::lock_guard guard(g_routeMutex);
    g_route = this;
    g_previous = qInstallMessageHandler(&route);
    m_installed = true;
}

void EventLog::add(QtMsgType type, QByteArrayView category, const QString &message)
{
    QByteArray text = line(QDateTime::currentDateTime(), type, category, message);
    {
        const std::lock_guard guard(m_mutex);
        if (m_queue.size() >= m_limits.queuedLines)
            return;
        m_queue.append(std::move(text));
    }
    m_queued.notify_one();
}

QByteArray EventLog::line(const QDateTime &time, QtMsgType type, QByteArrayView category,
                          const QString &message)
{
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" | "))
        .replace(u'\n', QStringLiteral(" | "))
        .replace(u'\r', QStringLiteral(" | "));
    const QDateTime withOffset = time.toOffsetFromUtc(time.offsetFromUtc());
    return withOffset.toString(Qt::ISODateWithMs).toLatin1() + ' ' + category.toByteArray() + ' '
        + levelName(type).toByteArray() + ' ' + text.toUtf8() + "\r\n";
}

// What is queued is taken in one go and written outside the lock, so a
// message never waits for the disk; at the end the queue is written out.
void EventLog::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return m_stop || !m_queue.isEmpty(); });
        if (m_queue.isEmpty())
            return;
        const QList<QByteArray> lines = std::exchange(m_queue, {});
        lock.unlock();
        write(lines);
        lock.lock();
    }
}

// The file is opened for each batch and closed after it, so that it can be
// rotated (and on Windows copied or opened) between batches.
void EventLog::write(const QList<QByteArray> &lines)
{
    QFile file;
    for (const QByteArray &text : lines) {
        if (m_size < 0)
            m_size = QFileInfo(m_path).size();
        if (m_size > 0 && m_size + text.size() > m_limits.fileBytes) {
            file.close();
            rotate();
        }
        if (!file.isOpen()) {
            file.setFileName(m_path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
                return; // the folder refuses it: these lines are lost, and no more is said
            m_size = file.size();
            if (m_size == 0 && file.write(kByteOrderMark.data(), kByteOrderMark.size()) > 0)
                m_size = kByteOrderMark.size();
        }
        if (file.write(text) != text.size())
            return;
        m_size += text.size();
    }
}

// lunora.log.N-1 becomes .N, down to lunora.log becoming .1; the oldest
// goes. A file that cannot be renamed keeps growing; the next line tries
// again.
void EventLog::rotate()
{
    const auto numbered = [this](int n) -> QString { return m_path + u'.' + QString::number(n); };
    static_cast<void>(QFile::remove(numbered(m_limits.keptFiles)));
    for (int n = m_limits.keptFiles - 1; n >= 1; --n)
        static_cast<void>(QFile::rename(numbered(n), numbered(n + 1)));
    if (m_limits.keptFiles < 1 ? QFile::remove(m_path) : QFile::rename(m_path, numbered(1)))
        m_size = 0;
}
