// Soak: thousands of complete rolls of the real main window, offscreen, with
// the fireworks opening and closing every time. Not a timing benchmark: it
// checks that long use leaves nothing behind (counts, memory, file handles,
// timers, windows), that the draw history holds every landing in order with
// its count, and exits non-zero when something is wrong.
//
//   bench_gui_soak [rolls] [warm-up rolls]     defaults: 10000 and 200
#include "gui/support_mainwindow.h"
#include "benchmedia.h"
#include "benchscreen.h"
#include "support_history.h"
#include "core/drawhistory.h"
#include "core/historyfile.h"
#include "core/keys.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/roll.h"
#include "core/settingsfile.h"
#include "core/values.h"
#include "display/wineffects.h"
#include "platform/gbkcodec.h"
#include "platform/sound.h"
#include "widgets/controls.h"
#include "mainwindow/mainwindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <cstdio>

namespace {

// Counts the landings: each one plays the end-of-roll sound exactly once.
class CountingSound final : public Sound
{
public:
    void playLooped(const QString &) override { ++loops; }
    void stop() override {}
    void playWave(const QByteArray &) override { ++waves; }
    int loops = 0;
    int waves = 0;
};

constexpr double kMiB = 1024.0 * 1024.0;
constexpr qint64 kRssAllowance = 5 * 1024 * 1024;
constexpr int kRollDeadlineMs = 10000;

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

int openFileHandles()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                   .size());
}

// Remembers every object that has received a timer event, so that the
// timers of members that are no QObject children (a QTimer held by value)
// are counted too.
class TimerWatch final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            m_seen.insert(watched, watched);
        return false;
    }
    int activeTimers() const
    {
        QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
        int n = 0;
        for (const QPointer<QObject> &o : m_seen) {
            if (o)
                n += int(dispatcher->registeredTimers(o).size());
        }
        return n;
    }

private:
    QHash<QObject *, QPointer<QObject>> m_seen;
};

struct ObjectCensus
{
    int objects = 0;
    int timers = 0;
    int topLevels = 0;
};

// Taken between rolls with the fireworks closed: every object the window
// owns, the timers still registered on any object that ever ticked, and the
// top-level windows (an effects window never destroyed shows here).
ObjectCensus census(MainWindow &window, const TimerWatch &watch)
{
    window.findChild<WinEffects *>()->closeWinEffect();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ObjectCensus c;
    c.objects = int(window.findChildren<QObject *>().size()) + 1;
    c.timers = watch.activeTimers();
    c.topLevels = int(QApplication::topLevelWidgets().size());
    return c;
}

void prepareRunFolder(const QString &runDir)
{
    SettingsFile settings(runDir, gbkCodec());
    // By probability: the box never empties.
    if (!settings.writeSetting(keys::kDrawMode, values::kTrue))
        qFatal("cannot write the run folder's config.a");
    QDir().mkpath(runDir + QStringLiteral("/奖品图片"));
    for (int slot = 1; slot <= 8; ++slot) {
        QFile f(runDir + QStringLiteral("/奖品图片/%1.jpg").arg(slot));
        if (f.open(QIODevice::WriteOnly))
            f.write(makePhotoJpeg(480, 360, 85, quint32(slot)));
    }
}

class Soak
{
public:
    Soak(MainWindow &window, CountingSound &sound)
        : m_window(window)
        , m_sound(sound)
    {
        m_guard.setInterval(kRollDeadlineMs);
        m_guard.setSingleShot(true);
    }

    // One complete roll: a start request (which also closes the previous
    // fireworks), then the real timers run until the auto-stop has stopped
    // the roll and the next tick has landed it.
    bool roll()
    {
        const int wavesBefore = m_sound.waves;
        parts(m_window).roll().startStopPress();
        if (parts(m_window).roll().state().phase != RollPhase::Rolling)
            return fail("the start request did not start a roll");
        m_guard.start();
        while (m_sound.waves == wavesBefore || parts(m_window).roll().state().phase != RollPhase::Idle) {
            if (!m_guard.isActive())
                return fail("no landing within the deadline");
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        m_guard.stop();
        if (m_sound.waves != wavesBefore + 1)
            return fail("more than one end sound for one landing");
        if (m_window.findChild<WinEffects *>()->isShowing())
            ++m_fireworksAtLanding;
        ++m_landed[size_t(parts(m_window).roll().state().position - 1)];
        m_order.append(parts(m_window).roll().state().position);
        // What the main loop does between events.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    }

    int landings() const
    {
        int total = 0;
        for (int n : m_landed)
            total += n;
        return total;
    }
    const std::array<int, 8> &landedPerSlot() const { return m_landed; }
    const QList<int> &order() const { return m_order; }
    int fireworksAtLanding() const { return m_fireworksAtLanding; }

private:
    bool fail(const char *why)
    {
        std::fprintf(stderr, "FAIL: %s (after %d landings)\n", why, landings());
        return false;
    }

    MainWindow &m_window;
    CountingSound &m_sound;
    QTimer m_guard;
    std::array<int, 8> m_landed{};
    QList<int> m_order; // the slot of every landing, first to last
    int m_fireworksAtLanding = 0;
};

struct Figures
{
    qint64 rssStart = 0;
    qint64 rssEnd = 0;
    qint64 rssMax = 0;
    int fdStart = 0;
    int fdEnd = 0;
    ObjectCensus censusStart;
    ObjectCensus censusEnd;
};

bool check(bool ok, const char *what)
{
    std::printf("%-44s %s\n", what, ok ? "ok" : "FAILED");
    return ok;
}

// The history holds one line per landing, in the order of the landings, and
// each line's count is that slot's running count: the last one per slot is
// what jieguo.a holds (a line the file did not take is missing from it).
bool historyMatches(const Soak &soak, MainWindow &window)
{
    QFile file(parts(window).settings().runDir() + u'/' + history::kFileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<history::Entry> entries = history::parse(file.readAll());
    std::printf("history: %lld lines, %.1f KiB\n", qint64(entries.size()), double(file.size()) / 1024.0);
    if (entries.size() != soak.order().size())
        return false;
    std::array<int, 8> running{};
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int slot = soak.order()[i];
        const int count = ++running[size_t(slot - 1)];
        if (entries[i].slot != slot || entries[i].count != QString::number(count)
            || entries[i].mode != history::kByProbability)
            return false;
    }
    return true;
}

int report(const Soak &soak, MainWindow &window, const Figures &f, int rolls, qint64 ms)
{
    bool ok = true;
    std::printf("rolls %d, landings %d, fireworks open at landing %d, wall time %.1f s\n", rolls,
                soak.landings(), soak.fireworksAtLanding(), double(ms) / 1000.0);
    std::printf("slot  landed  jieguo.a\n");
    bool countsMatch = true;
    for (int slot = 1; slot <= 8; ++slot) {
        const QString stored = WinCounts(parts(window).settings()).text(slot);
        const int landed = soak.landedPerSlot()[size_t(slot - 1)];
        std::printf("j%d   %6d  %8s\n", slot, landed, qPrintable(stored));
        countsMatch = countsMatch && stored.toInt() == landed;
    }
    std::printf("RSS after warm-up %.2f MiB, end %.2f MiB, max %.2f MiB (growth %+.2f MiB, peak %+.2f MiB)\n",
                double(f.rssStart) / kMiB, double(f.rssEnd) / kMiB, double(f.rssMax) / kMiB,
                double(f.rssEnd - f.rssStart) / kMiB, double(f.rssMax - f.rssStart) / kMiB);
    std::printf("open files %d -> %d; window objects %d -> %d; timers %d -> %d; top-level windows %d -> %d\n",
                f.fdStart, f.fdEnd, f.censusStart.objects, f.censusEnd.objects, f.censusStart.timers,
                f.censusEnd.timers, f.censusStart.topLevels, f.censusEnd.topLevels);
    ok &= check(soak.landings() == rolls, "every roll landed once");
    ok &= check(soak.fireworksAtLanding() == rolls, "the fireworks were open at every landing");
    ok &= check(countsMatch, "jieguo.a counts equal the landings");
    ok &= check(historyMatches(soak, window), "history lines follow the landings");
    ok &= check(f.rssMax - f.rssStart <= kRssAllowance, "resident memory within 5 MiB of warm-up");
    ok &= check(f.fdEnd <= f.fdStart, "no file handle left open");
    ok &= check(f.censusEnd.timers <= f.censusStart.timers, "no timer left running");
    ok &= check(f.censusEnd.objects <= f.censusStart.objects, "no object left behind");
    ok &= check(f.censusEnd.topLevels <= f.censusStart.topLevels, "no window left behind");
    return ok ? 0 : 1;
}

int runSoak(const QString &runDir, int rolls, int warmUp)
{
    auto sound = std::make_unique<CountingSound>();
    CountingSound &counting = *sound;
    MainWindow window(runDir, std::move(sound));
    window.show();
    MainControls &c = parts(window).controls();
    c.rollSpeedEdit->setText(QStringLiteral("1"));
    c.autoStopEdit->setText(QStringLiteral("0.005"));
    c.effectsDisabledBox->setChecked(false);

    TimerWatch watch;
    qApp->installEventFilter(&watch);
    Soak soak(window, counting);
    for (int i = 0; i < warmUp; ++i) {
        if (!soak.roll())
            return 1;
    }
    // The warm-up rolls are counted too, so the file is compared whole.
    Figures f;
    f.rssStart = f.rssMax = residentBytes();
    f.fdStart = openFileHandles();
    f.censusStart = census(window, watch);
    QElapsedTimer clock;
    clock.start();
    for (int i = warmUp; i < rolls; ++i) {
        if (!soak.roll())
            return 1;
        if (i % 100 == 0) {
            f.rssMax = std::max(f.rssMax, residentBytes());
            if (i % 1000 == 0)
                std::printf("  %5d rolls, RSS %.2f MiB\n", i, double(residentBytes()) / kMiB), std::fflush(stdout);
        }
    }
    const qint64 ms = clock.elapsed();
    f.rssEnd = residentBytes();
    f.rssMax = std::max(f.rssMax, f.rssEnd);
    f.fdEnd = openFileHandles();
    f.censusEnd = census(window, watch);
    qApp->removeEventFilter(&watch);
    return report(soak, window, f, rolls, ms);
}

// The offscreen platform cannot raise windows or set masks, and says so for
// every fireworks window; those lines are counted instead of printed.
int g_platformNotes = 0;
QtMessageHandler g_defaultHandler = nullptr;

void filterMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(u"This plugin does not support")) {
        ++g_platformNotes;
        return;
    }
    g_defaultHandler(type, context, text);
}

} // namespace

int main(int argc, char **argv)
{
    const ProjectorScreen screen;
    g_defaultHandler = qInstallMessageHandler(filterMessages);
    QApplication app(argc, argv);
    const int rolls = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const int warmUp = argc > 2 ? std::max(0, atoi(argv[2])) : 200;
    QTemporaryDir runDir;
    prepareRunFolder(runDir.path());
    QElapsedTimer total;
    total.start();
    const int rc = runSoak(runDir.path(), rolls, std::min(warmUp, rolls));
    std::printf("platform notes suppressed: %d\n", g_platformNotes);
    std::printf("total wall time %.1f s, %s\n", double(total.elapsed()) / 1000.0, rc == 0 ? "PASS" : "FAIL");
    return rc;
}
