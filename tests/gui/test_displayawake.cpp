// The display kept awake, on Linux: through the desktop's screen saver
// service on a private session bus (a stand-in service records the calls),
// and, with no session bus, through the X server's own screen saver on
// Xvfb. Each case runs in a copy of this program started with the bus or
// the display it needs, since Qt settles both once per process.
#include "support_wait.h"
#include "platform/displayawake.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMutex>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

constexpr char kCaseVariable[] = "LUNORA_TEST_AWAKE_CASE";

class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls()
    {
        const QMutexLocker lock(&m_mutex);
        return m_calls;
    }

public Q_SLOTS:
    uint Inhibit(const QString &application, const QString &reason)
    {
        const QMutexLocker lock(&m_mutex);
        m_calls << QStringLiteral("Inhibit %1 %2").arg(application, reason);
        return 42;
    }
    void UnInhibit(uint cookie)
    {
        const QMutexLocker lock(&m_mutex);
        m_calls << QStringLiteral("UnInhibit %1").arg(cookie);
    }

private:
    QMutex m_mutex;
    QStringList m_calls;
};

#define CHECK(condition)                                                                                               \
    if (!(condition)) {                                                                                                \
        std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition);                                   \
        return 1;                                                                                                      \
    }

// The service answers on a thread of its own: the release is a call that
// waits for its answer.
int inhibitOverTheBus()
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("service"));
    QThread thread;
    FakeScreenSaver saver;
    saver.moveToThread(&thread);
    thread.start();
    CHECK(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver, QDBusConnection::ExportAllSlots));
    CHECK(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    const QString inhibit = QStringLiteral("Inhibit lunora 抽奖进行中");
    {
        const DisplayAwake awake;
        CHECK(QTest::qWaitFor([&] { return !saver.calls().isEmpty(); }, kPatienceMs));
        CHECK(saver.calls() == QStringList {inhibit});
    }
    // The release waits only briefly for its answer (the program is ending),
    // so on a busy machine the service may record it after that wait.
    const QStringList released = {inhibit, QStringLiteral("UnInhibit 42")};
    CHECK(QTest::qWaitFor([&] { return saver.calls().size() >= 2; }, kPatienceMs));
    const QStringList calls = saver.calls();
    thread.quit();
    thread.wait();
    CHECK(calls == released);
    return 0;
}

int saverState(Display *display)
{
    XScreenSaverInfo info {};
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
    return info.state;
}

unsigned long idleMs(Display *display)
{
    XScreenSaverInfo info {};
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
    return info.idle;
}

// The server's saver starts after a second of idleness, except while the
// display is kept awake: three idle seconds pass with it off.
int suspendTheXScreenSaver()
{
    Display *display = XOpenDisplay(nullptr);
    CHECK(display);
    XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
    CHECK(QTest::qWaitFor([&] { return saverState(display) == ScreenSaverOn; }, kPatienceMs));
    XResetScreenSaver(display);
    XSync(display, False);
    {
        const DisplayAwake awake;
        QApplication::processEvents();
        CHECK(QTest::qWaitFor([&] { return idleMs(display) >= 3000; }, kPatienceMs));
        CHECK(saverState(display) != ScreenSaverOn);
    }
    CHECK(QTest::qWaitFor([&] { return saverState(display) == ScreenSaverOn; }, kPatienceMs));
    XCloseDisplay(display);
    return 0;
}

QByteArray startProcess(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    QByteArray line;
    while (!line.contains('\n') && process.waitForReadyRead(15000))
        line += process.readAllStandardOutput();
    return line.trimmed();
}

} // namespace

class TestDisplayAwake : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inhibitsThroughTheScreenSaverService();
    void suspendsTheXScreenSaverWithoutABus();

private:
    static void runCase(const char *name, const QProcessEnvironment &env);
};

void TestDisplayAwake::runCase(const char *name, const QProcessEnvironment &base)
{
    QProcessEnvironment env = base;
    env.insert(kCaseVariable, QString::fromLatin1(name));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    QVERIFY2(finished, output.constData());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
}

void TestDisplayAwake::inhibitsThroughTheScreenSaverService()
{
    QProcess daemon;
    const QByteArray address =
        startProcess(daemon, QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    QVERIFY2(!address.isEmpty(), "dbus-daemon did not start: run scripts/deps.sh");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromLatin1(address));
    runCase("bus", env);
    daemon.terminate();
    daemon.waitForFinished();
}

void TestDisplayAwake::suspendsTheXScreenSaverWithoutABus()
{
    QProcess server;
    const QByteArray display = startProcess(
        server, QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"});
    QVERIFY2(!display.isEmpty(), "Xvfb did not start: run scripts/deps.sh");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", ":" + QString::fromLatin1(display));
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    runCase("x", env);
    server.terminate();
    server.waitForFinished();
}

int main(int argc, char *argv[])
{
    const QByteArray which = qgetenv(kCaseVariable);
    QApplication app(argc, argv);
    if (which == "bus")
        return inhibitOverTheBus();
    if (which == "x")
        return suspendTheXScreenSaver();
    TestDisplayAwake test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_displayawake.moc"
