// The system-wide grab of Shift+Q on a real X server. The test starts its own
// Xvfb, runs itself again on it, and types with xdotool while another
// program's window has the focus. Without Xvfb or xdotool it is skipped.

#include "support_wait.h"
#include "platform/hotkey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>

namespace {

// Set in a copy of this program that only holds the hot key, standing in for
// another application that owns Shift+Q.
constexpr char kHoldVariable[] = "LUNORA_TEST_HOLD_HOTKEY";

int holdHotKey(QApplication &app)
{
    QWidget window;
    GlobalHotKey hotKey(&window);
    std::puts(hotKey.isGlobal() ? "held" : "refused");
    std::fflush(stdout);
    return app.exec();
}

// Counts the presses of the A key that reach it.
class KeyTarget : public QWidget
{
public:
    explicit KeyTarget(QWidget *parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override { presses += event->key() == Qt::Key_A; }
};

// Starts Xvfb on a free display and returns its number, or nothing. Another
// server starting at the same moment can take the same number first, so a
// refused start is tried again.
QByteArray startXvfb(QProcess &server)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        // -displayfd picks a free display and writes its number once it is ready.
        server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp", "-noreset"});
        if (!server.waitForStarted())
            return {};
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(15000))
            number += server.readAllStandardOutput();
        bool ok = false;
        number.trimmed().toInt(&ok);
        if (ok)
            return number.trimmed();
        server.waitForFinished();
    }
    return {};
}

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

} // namespace

class TestHotKeyX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void grabOnRootWindow();

private:
    void runOnXvfb();
    void checkGrab();
    QString startHolder(QProcess &holder);
};

void TestHotKeyX11::grabOnRootWindow()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        checkGrab();
    else
        runOnXvfb();
}

void TestHotKeyX11::runOnXvfb()
{
    for (const char *tool : {"Xvfb", "xdotool", "xmessage"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is not installed: run scripts/deps.sh").arg(QString::fromLatin1(tool))));
    QProcess server;
    const QByteArray display = startXvfb(server);
    QVERIFY2(!display.isEmpty(), server.readAllStandardError().constData());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", ":" + QString::fromLatin1(display));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"grabOnRootWindow"});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    server.terminate();
    server.waitForFinished();
    QVERIFY2(finished, output.constData());
    QVERIFY2(child.exitCode() == 0, output.constData());
    QVERIFY2(output.contains("PASS   : TestHotKeyX11::grabOnRootWindow()"), output.constData());
}

QString TestHotKeyX11::startHolder(QProcess &holder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kHoldVariable, "1");
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(), {});
    QByteArray line;
    while (!line.contains('\n') && holder.waitForReadyRead(15000))
        line += holder.readAllStandardOutput();
    return QString::fromLatin1(line.trimmed());
}

void TestHotKeyX11::checkGrab()
{
    QWidget window;
    auto *target = new KeyTarget(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Another program holds the key: the grab is refused quietly.
    QProcess holder;
    QCOMPARE(startHolder(holder), QStringLiteral("held"));
    {
        GlobalHotKey refused(&window);
        QVERIFY(!refused.isGlobal());
    }
    holder.kill();
    holder.waitForFinished();

    // The server lets go of the holder's grab once it notices that
    // connection closed, which may come after a request of ours that was
    // already waiting: until then a grab is refused, so it is asked again.
    GlobalHotKey *hotKey = nullptr;
    const auto grabbed = [&] {
        delete hotKey;
        hotKey = new GlobalHotKey(&window);
        return hotKey->isGlobal();
    };
    QTRY_VERIFY_WITH_TIMEOUT(grabbed(), kPatienceMs);
    QSignalSpy spy(hotKey, &GlobalHotKey::activated);

    // Another program's window has the focus.
    QProcess other;
    other.start("xmessage", {"-name", "lunora-focus-test", "focus"});
    QVERIFY2(other.waitForStarted(), "xmessage (x11-utils) did not start: run scripts/deps.sh");
    QVERIFY(xdotool({"search", "--sync", "--classname", "lunora-focus-test", "windowfocus", "--sync"}));

    QVERIFY(xdotool({"key", "shift+q"}));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kPatienceMs);
    QVERIFY(xdotool({"key", "Caps_Lock", "shift+q", "Caps_Lock"}));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kPatienceMs);
    QVERIFY(xdotool({"key", "Num_Lock", "shift+q", "Num_Lock"}));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, kPatienceMs);
    // Keys are delivered in order, so once the last Shift+Q has counted the
    // keys before it have been seen and ignored.
    QVERIFY(xdotool({"key", "q", "ctrl+shift+q", "alt+shift+q", "shift+w", "shift+q"}));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 4, kPatienceMs);

    // With the focus in the window itself a press still counts once.
    QVERIFY(xdotool({"windowfocus", "--sync", QString::number(window.winId())}));
    target->setFocus();
    QVERIFY(xdotool({"key", "shift+q", "a"}));
    QTRY_COMPARE_WITH_TIMEOUT(target->presses, 1, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 5, kPatienceMs);

    // Released with its object: another program can take the key again.
    delete hotKey;
    QProcess next;
    QCOMPARE(startHolder(next), QStringLiteral("held"));
    next.kill();
    next.waitForFinished();
    other.kill();
    other.waitForFinished();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kHoldVariable))
        return holdHotKey(app);
    TestHotKeyX11 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_hotkeyx11.moc"
