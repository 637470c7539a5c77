#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <thread>

// The program's log, lunora.log beside the data files, for an organiser to
// send after an event: what went wrong and was recovered from (a write that
// waited for a held file and how it ended, a win or a setting that could
// not be kept, a picture that does not decode, a file repaired or unreadable
// at start-up). The messages come through Qt's logging categories
// (lunora.save, lunora.draw, lunora.picture, lunora.start); once install()
// is called, every message of a lunora.* category that is enabled (info and
// up unless QT_LOGGING_RULES says otherwise) becomes one line:
//   2026-12-08T15:03:12.345+08:00 lunora.save warning jieguo.a ...
// Qt's own output still goes to its previous handler (stderr) as before.
//
// The caller never waits for the file: a message only queues its line, and
// a thread of the log's own appends it, one line at a time, so lines of
// several threads never interleave. Past the size limit lunora.log becomes
// lunora.log.1 (that one .2, and so on; the oldest goes). A log that cannot
// be written (a read-only folder) loses its lines and nothing else happens:
// the operator hears of the failures themselves from the program's
// messages.
class EventLog
{
public:
    static inline const QString kFileName = QStringLiteral("lunora.log");

    struct Limits
    {
        qint64 fileBytes = 1024 * 1024; // a file that would grow past this is rotated
        int keptFiles = 3;              // lunora.log.1 ... lunora.log.3
        int queuedLines = 10000;        // lines past this while the disk lags are dropped
    };

    explicit EventLog(const QString &folder);
    EventLog(const QString &folder, Limits limits);
    // Writes what is queued, then ends the thread (and uninstalls).
    ~EventLog();
    EventLog(const EventLog &) = delete;
    EventLog &operator=(const EventLog &) = delete;

    QString path() const { return m_path; }

    // Routes Qt's messages here until this log ends. One log at a time.
    void install();
    // Queues one line; never waits for the disk.
    void add(QtMsgType type, QByteArrayView category, const QString &message);

    // One line, CRLF ended: the time with its offset from UTC, the
    // category, the level and the message on one line.
    static QByteArray line(const QDateTime &time, QtMsgType type, QByteArrayView category,
                           const QString &message);

private:
    void run();
    void write(const QList<QByteArray> &lines);
    void rotate();

    QString m_path;
    Limits m_limits;
    qint64 m_size = -1; // of the file now, once looked at
    bool m_installed = false;
    std::mutex m_mutex;
    std::condition_variable m_queued;
    QList<QByteArray> m_queue;
    bool m_stop = false;
    std::thread m_thread;
};
