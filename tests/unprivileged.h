#pragma once

// Root writes through any permission bits, so a case about permissions that
// finds itself running as root runs again in a child process as an
// unprivileged user (nobody), through setpriv of util-linux, which every
// Debian has. The test executable is copied to a folder that user can
// read, since the build tree may sit inside one it cannot. A test function
// starts with
//
//     RERUN_UNPRIVILEGED_UNDER_ROOT();
//
// and goes on with what it checks, which then never runs as root.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace unprivileged {

// Windows has no root: its permission cases are skipped where they apply.
inline bool isRoot()
{
#ifdef Q_OS_WIN
    return false;
#else
    return ::geteuid() == 0;
#endif
}

// Runs the test function `function` of this executable as nobody. Returns
// nothing when it ran and passed, else why not with the child's output.
inline QByteArray rerun(const char *function)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return "no temporary folder";
    const auto readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    const QString copy = dir.filePath(QStringLiteral("test"));
    if (!QFile::setPermissions(dir.path(), readable)
        || !QFile::copy(QCoreApplication::applicationFilePath(), copy)
        || !QFile::setPermissions(copy, readable))
        return "cannot copy the test where an unprivileged user can run it";

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir.path()); // readable, not writable: caches stay off
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                            QStringLiteral("--clear-groups"), copy, QString::fromLatin1(function)});
    if (!child.waitForStarted(30000))
        return "setpriv (util-linux) did not start: " + child.errorString().toUtf8();
    if (!child.waitForFinished(240000)) {
        child.kill();
        child.waitForFinished();
        return "the unprivileged run did not finish:\n" + child.readAll();
    }
    const QByteArray output = child.readAll();
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
        && output.contains(QByteArray("PASS   : ")) && output.contains(QByteArray(QByteArray("::") + function))
        && !output.contains(QByteArray("SKIP   : "));
    return passed ? QByteArray() : "the unprivileged run failed:\n" + output;
}

} // namespace unprivileged

// Under root: runs the current test function again as nobody, passes or
// fails with it, and returns from the caller. Otherwise does nothing.
#define RERUN_UNPRIVILEGED_UNDER_ROOT()                                                  \
    do {                                                                                 \
        if (unprivileged::isRoot()) {                                                    \
            const QByteArray failure_ = unprivileged::rerun(QTest::currentTestFunction()); \
            QVERIFY2(failure_.isEmpty(), failure_.constData());                          \
            return;                                                                      \
        }                                                                                \
    } while (false)
