// The data files survive a process killed at any moment, and two running
// copies never lose each other's wins.
//
// The test executable doubles as the child: started with "--writer" it
// performs numbered steps for ever (even steps write a key of config.a, odd
// steps count a win in jieguo.a) and prints each step's number once the step
// has returned. The parent kills it with SIGKILL at a random moment, then
// checks the files against every step the child reported, allowing only the
// one step that may have been in flight. Each win also adds its line to the
// draw history: the lines must follow the counts in order, and a line may be
// missing only for a win the kill cut off between its count and its line.
#include "support_lockfiles.h"
#include "support_history.h"

#include "core/drawhistory.h"
#include "core/filelock.h"
#include "core/historyfile.h"
#include "core/inidocument.h"
#include "core/keys.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/settingsfile.h"
#include "core/values.h"
#include "platform/gbkcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <array>
#include <cstdio>
#include <map>
#include <set>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

namespace {

constexpr int kConfigKeys = 10;
constexpr int kKills = 200;

// The effect of step s: even steps write "v<s>" to one of ten keys of
// config.a, odd steps add a win to one of the eight slots.
bool isConfigStep(qint64 s)
{
    return s % 2 == 0;
}
QString configKey(qint64 s)
{
    return u"键" + QString::number((s / 2) % kConfigKeys);
}
QString configValue(qint64 s)
{
    return u"值" + QString::number(s);
}
int winSlot(qint64 s)
{
    return int((s / 2) % 8) + 1;
}

// The children stamp their lines with one fixed time: the test reads the
// order of the lines, never their times.
QDateTime fixedClock()
{
    return QDateTime(QDate(2026, 12, 7), QTime(15, 3, 12));
}

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Steps from firstStep on, `count` of them or for ever when count < 0.
int runWriter(const QString &dir, qint64 firstStep, qint64 count)
{
    SettingsFile settings(dir, gbkCodec());
    DrawHistory history(settings, fixedClock);
    say("ready");
    for (qint64 s = firstStep; count < 0 || s < firstStep + count; ++s) {
        const bool ok = isConfigStep(s)
            ? settings.write(DataFile::Config, keys::kZbt, configKey(s), configValue(s))
            : history.recordWin(winSlot(s)) == DrawHistory::Saved::Stored
                && history.failureToReport().isEmpty();
        say((ok ? "" : "failed ") + QByteArray::number(s));
        if (!ok)
            return 2;
    }
    return 0;
}

int runCounter(const QString &dir, int wins)
{
    SettingsFile settings(dir, gbkCodec());
    DrawHistory history(settings, fixedClock);
    for (int i = 0; i < wins; ++i) {
        if (history.recordWin(1) != DrawHistory::Saved::Stored)
            return 2;
    }
    return history.failureToReport().isEmpty() ? 0 : 3;
}

// What the files must hold after every step up to lastDone.
struct Model {
    qint64 lastDone = -1;
    std::map<QString, QString> config;
    std::array<qint64, 8> wins {};
    // Every win in order, as the line its step writes: the win step, the slot
    // and the count after it.
    QList<std::pair<qint64, std::pair<int, qint64>>> winLines;
    // The win steps a kill cut off between the count and the line.
    std::set<qint64> unlined;

    void apply(qint64 s)
    {
        if (isConfigStep(s)) {
            config[configKey(s)] = configValue(s);
        } else {
            const qint64 count = ++wins[winSlot(s) - 1];
            winLines.append({s, {winSlot(s), count}});
        }
        lastDone = s;
    }
};

// A file's keys as the program reads them, straight from its bytes.
struct FileView {
    bool exists = false;
    IniDocument document;

    explicit FileView(const QString &path)
    {
        QFile file(path);
        exists = file.open(QIODevice::ReadOnly);
        if (exists)
            document = IniDocument(file.readAll());
    }

    QString value(QStringView section, QStringView key) const
    {
        const auto bytes = document.value(gbkCodec().encode(section), gbkCodec().encode(key));
        return bytes ? gbkCodec().decode(*bytes) : QString();
    }
};

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLosesNoReportedWrite();
    void twoCopiesCountEveryWin();
    void killedHolderReleasesTheLock();
    void leftoverLockFilesNeverBlockAWrite();

private:
    static QProcess *startChild(QObject *parent, const QStringList &arguments);
    static QList<qint64> reportedSteps(const QByteArray &output, qint64 first);
    static void verifyFiles(SettingsFile &settings, Model &model);
    static void verifyHistory(const QString &path, Model &model, qint64 inFlight);
};

QProcess *TestCrashSafety::startChild(QObject *parent, const QStringList &arguments)
{
    auto *child = new QProcess(parent);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start(QCoreApplication::applicationFilePath(), arguments);
    return child;
}

// The step numbers of the complete lines, which must follow on from first.
QList<qint64> TestCrashSafety::reportedSteps(const QByteArray &output, qint64 first)
{
    QList<qint64> steps;
    const QList<QByteArray> lines = output.split('\n');
    // The last piece is an unfinished line (or empty): never reported.
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == "ready")
            continue;
        bool ok = false;
        const qint64 s = lines[i].toLongLong(&ok);
        if (!ok || s != first + steps.size()) {
            qWarning("unexpected child output: %s", lines[i].constData());
            return {};
        }
        steps.append(s);
    }
    return steps;
}

// Every reported step is in the files; the step after the last reported one
// may or may not be, and the model takes it on when it is.
void TestCrashSafety::verifyFiles(SettingsFile &settings, Model &model)
{
    const FileView config(settings.path(DataFile::Config));
    const FileView results(settings.path(DataFile::Results));
    const qint64 inFlight = model.lastDone + 1;
    bool inFlightDone = false;

    QVERIFY(config.exists || model.config.empty());
    for (const auto &[key, expected] : model.config) {
        const QString actual = config.value(keys::kZbt, key);
        if (actual == expected)
            continue;
        QVERIFY2(
            isConfigStep(inFlight) && key == configKey(inFlight) && actual == configValue(inFlight),
            qPrintable(key + u": " + actual + u" instead of " + expected));
        inFlightDone = true;
    }
    const bool anyWin = model.lastDone >= 1;
    QVERIFY(results.exists || !anyWin);
    for (int slot = 1; slot <= 8; ++slot) {
        const qint64 expected = model.wins[slot - 1];
        const QString text = results.value(keys::kZjjg, keys::kWins[slot - 1]);
        const auto actual = qint64(values::textToNumber(text));
        if (actual == expected)
            continue;
        QVERIFY2(!isConfigStep(inFlight) && slot == winSlot(inFlight) && actual == expected + 1,
            qPrintable(u"j" + QString::number(slot) + u": " + text + u" instead of "
                + QString::number(expected)));
        inFlightDone = true;
    }
    // A new key of the in-flight step is not in the model yet.
    if (isConfigStep(inFlight) && !model.config.count(configKey(inFlight))
        && config.value(keys::kZbt, configKey(inFlight)) == configValue(inFlight))
        inFlightDone = true;
    if (inFlightDone)
        model.apply(inFlight);
    verifyHistory(settings.runDir() + u'/' + history::kFileName, model, inFlight);
}

// The lines are the model's wins in order with their exact counts. A win
// without its line is allowed only for the step the last kill interrupted
// (then remembered) or for one an earlier kill interrupted.
void TestCrashSafety::verifyHistory(const QString &path, Model &model, qint64 inFlight)
{
    QFile file(path);
    const QList<history::Entry> entries
        = file.open(QIODevice::ReadOnly) ? history::parse(file.readAll()) : QList<history::Entry>();
    qsizetype next = 0;
    for (const auto &[step, line] : model.winLines) {
        if (next < entries.size() && entries[next].slot == line.first
            && entries[next].count == QString::number(line.second)) {
            ++next;
            continue;
        }
        if (model.unlined.count(step))
            continue;
        QVERIFY2(step == inFlight && step == model.winLines.last().first,
            qPrintable(u"no line for the win of step " + QString::number(step)));
        model.unlined.insert(step);
    }
    QVERIFY2(next == entries.size(),
        qPrintable(QString::number(entries.size() - next) + u" lines without a counted win"));
}

void TestCrashSafety::killedWriterLosesNoReportedWrite()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SettingsFile settings(dir.path(), gbkCodec());
    Model model;
    // A fixed schedule of kill moments, so a failing run can be repeated
    // with the same delays (the child's own speed still varies).
    QRandomGenerator random(20240607);
    QElapsedTimer clock;
    clock.start();
    qint64 reportedTotal = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess *child = startChild(this,
            { QStringLiteral("--writer"), dir.path(), QString::number(model.lastDone + 1),
                QStringLiteral("-1") });
        QByteArray output;
        while (!output.contains('\n') && child->waitForReadyRead(10000))
            output += child->readAllStandardOutput();
        QVERIFY2(output.startsWith("ready\n"), "the child did not start");
        QThread::msleep(random.bounded(5, 61));
        ::kill(pid_t(child->processId()), SIGKILL);
        QVERIFY(child->waitForFinished(10000));
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        output += child->readAllStandardOutput();
        delete child;

        const QList<qint64> steps = reportedSteps(output, model.lastDone + 1);
        QVERIFY2(!output.contains("failed"), output.constData());
        for (const qint64 s : steps)
            model.apply(s);
        reportedTotal += steps.size();
        verifyFiles(settings, model);
        if (QTest::currentTestFailed())
            return;
    }
    // Temporary files a kill left behind next to the data files, and two
    // more as a writer killed between making one and renaming it leaves
    // them; beside them files that are not ours, which must stay.
    const QDir folder(dir.path());
    const QStringList leftovers = folder.entryList(QDir::Files).filter(u".lunora-tmp-"_qs);
    qInfo("%d kills, %lld steps reported, %lld in the files, %lld ms, %lld temporary files left",
        kKills, reportedTotal, model.lastDone + 1, clock.elapsed(), qint64(leftovers.size()));
    qInfo("%lld wins, %lld history lines: %lld kills fell between a count and its line",
        qint64(model.winLines.size()), qint64(model.winLines.size() - model.unlined.size()),
        qint64(model.unlined.size()));
    const QStringList ours { u"config.a.lunora-tmp-Ab3xYz"_qs, u"jieguo.a.lunora-tmp-000000"_qs };
    const QStringList others { u"config.a.bak"_qs, u"config.a.Ab3xYz"_qs,
        u"notes.a.lunora-tmp-Ab3xYz"_qs };
    for (const QString &name : ours + others)
        QVERIFY(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));

    // Whatever the kills left behind (stale or empty lock files among it),
    // a copy started now writes every step, and its first write of each
    // file clears that file's temporary files.
    constexpr int kFinalSteps = 20;
    QProcess *last = startChild(this,
        { QStringLiteral("--writer"), dir.path(), QString::number(model.lastDone + 1),
            QString::number(kFinalSteps) });
    QVERIFY(last->waitForFinished(60000));
    QCOMPARE(last->exitCode(), 0);
    const QList<qint64> steps = reportedSteps(last->readAllStandardOutput(), model.lastDone + 1);
    QCOMPARE(steps.size(), kFinalSteps);
    for (const qint64 s : steps)
        model.apply(s);
    verifyFiles(settings, model);
    QStringList expected = others + QStringList { u"config.a"_qs, u"jieguo.a"_qs, history::kFileName.toString() };
    expected.sort();
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
#else
    QSKIP("needs SIGKILL");
#endif
}

void TestCrashSafety::twoCopiesCountEveryWin()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    constexpr int kEach = 1000;
    QElapsedTimer clock;
    clock.start();
    const QStringList arguments { QStringLiteral("--counter"), dir.path(), QString::number(kEach) };
    QProcess *first = startChild(this, arguments);
    QProcess *second = startChild(this, arguments);
    for (QProcess *child : { first, second }) {
        QVERIFY(child->waitForFinished(120000));
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->exitCode(), 0);
    }
    qInfo("%d wins from two processes in %lld ms", 2 * kEach, clock.elapsed());
    SettingsFile settings(dir.path(), gbkCodec());
    QCOMPARE(WinCounts(settings).text(1), QString::number(2 * kEach));
    // The two copies count under one lock, so their lines follow the
    // counts: 1, 2, ... with none lost, doubled or out of order.
    QFile file(DrawHistory(settings).path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<history::Entry> entries = history::parse(file.readAll());
    QCOMPARE(entries.size(), 2 * kEach);
    for (qsizetype i = 0; i < entries.size(); ++i)
        QCOMPARE(entries[i].count, QString::number(i + 1));
}

// The lock is the operating system's: held while its owner lives, free the
// moment the owner is killed, without any wait for it to grow stale.
void TestCrashSafety::killedHolderReleasesTheLock()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("jieguo.a.lock"));
    QProcess *holder = startChild(this, { QStringLiteral("--hold"), path });
    QByteArray output;
    while (!output.contains('\n') && holder->waitForReadyRead(10000))
        output += holder->readAllStandardOutput();
    QCOMPARE(output, QByteArray("held\n"));

    FileLock rival(path);
    QCOMPARE(rival.lock(0), FileLock::Result::Busy);
    ::kill(pid_t(holder->processId()), SIGKILL);
    QVERIFY(holder->waitForFinished(10000));
    QCOMPARE(rival.lock(0), FileLock::Result::Locked);
    rival.unlock();
    QVERIFY(!QFileInfo::exists(path));
#else
    QSKIP("needs SIGKILL");
#endif
}

// Whatever lock files a killed copy left behind (empty ones, ones naming a
// dead owner, the guard files of other locking schemes) no write waits on
// them. Each of these once blocked every write for half a minute.
void TestCrashSafety::leftoverLockFilesNeverBlockAWrite()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SettingsFile settings(dir.path(), gbkCodec());
    const auto leave = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const QString results = settings.path(DataFile::Results) + u".lock";
    const QString config = settings.path(DataFile::Config) + u".lock";
    QVERIFY(leave(results, "2147483000\nlunora\n" + QSysInfo::machineHostName().toUtf8() + '\n'));
    QVERIFY(leave(results + u".rmlock", QByteArray()));
    QVERIFY(leave(config, QByteArray()));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(WinCounts(settings).addWin(3), SettingsFile::Saved::Stored);
    QVERIFY(settings.writeSetting(u"主标题", u"春季抽奖"));
    qInfo("two writes past leftover locks in %lld ms", clock.elapsed());
    QCOMPARE(WinCounts(settings).text(3), QStringLiteral("1"));
    QCOMPARE(settings.readSetting(u"主标题"), QStringLiteral("春季抽奖"));
    QVERIFY(kLockFilesStay || !QFileInfo::exists(results));
    QVERIFY(kLockFilesStay || !QFileInfo::exists(config));
}

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong(),
            QByteArray(argv[4]).toLongLong());
    }
    if (argc == 4 && qstrcmp(argv[1], "--counter") == 0) {
        QCoreApplication app(argc, argv);
        return runCounter(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    }
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        QCoreApplication app(argc, argv);
        FileLock lock(QString::fromLocal8Bit(argv[2]));
        if (lock.lock(0) != FileLock::Result::Locked)
            return 2;
        say("held");
        QThread::sleep(60);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_crashsafety.moc"
