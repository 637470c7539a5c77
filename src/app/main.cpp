#include "core/eventlog.h"
#include "core/filesystem.h"
#include "platform/displayawake.h"
#include "platform/environment.h"
#include "platform/runfolderlock.h"
#include "platform/sound.h"
#include "platform/systemfiles.h"
#include "platform/unpackfolder.h"
#include "platform/windowfront.h"
#include "mainwindow/mainwindow.h"
#include "widgets/messagebox.h"
#include "widgets/decodedcache.h"
#include "widgets/designstyle.h"
#include "widgets/translations.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>

namespace {

// A second start in a folder whose copy still starts up (a slow first start
// invites a second double-click) waits this long for that copy's window,
// and gives a window this long to answer.
constexpr int kWaitForFirstWindowMs = 5000;
constexpr int kWaitForAnswerMs = 3000;

// Another copy runs from this folder: its window comes to the front, and
// this one ends without touching anything. When that window cannot be found
// or does not answer, a box says so: a program without a console has no
// other way to tell why nothing appeared.
int handOverTo(qint64 firstCopy)
{
    const QDeadlineTimer deadline(kWaitForFirstWindowMs);
    WindowFront front = WindowFront::NoWindow;
    while ((front = bringWindowOfProcessToFront(firstCopy, kWaitForAnswerMs)) == WindowFront::NoWindow
           && !deadline.hasExpired())
        QThread::msleep(200);
    if (front != WindowFront::Raised) {
#ifdef Q_OS_WIN
        const QString end = QStringLiteral("在任务管理器中结束 lunora.exe");
#else
        const QString end = QStringLiteral("在系统监视器中结束 lunora（或用 kill 命令）");
#endif
        messagebox::inform(QStringLiteral("程序已经从这个文件夹运行，但它的窗口没有出现或没有回应。\n"
                                          "请关闭正在运行的程序；如果它关不掉（没有反应），请%1，然后再启动。")
                               .arg(end));
    }
    return 0;
}

// Pictures scaled for their boxes are kept in the user's cache folder, so a
// start after the first with the same pictures does not decode them again.
void keepDecodedPictures()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cache.isEmpty())
        decodedcache::setFolder(cache + QStringLiteral("/pictures"));
}

QString runFolder()
{
#ifdef LUNORA_PER_USER_DATA
    // Installed by the package: the program's folder is not writable, so each
    // user's data lives in ~/.local/share/lunora (or $XDG_DATA_HOME/lunora).
    const QString runDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/lunora");
    if (!QDir().mkpath(runDir))
        std::fprintf(stderr, "lunora: cannot make the data folder %s\n", qPrintable(runDir));
    return runDir;
#else
    // The program keeps its data beside itself.
    return QDir(QCoreApplication::applicationDirPath()).absolutePath();
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    preparePlatformEnvironment();
    // The core reads and writes the data files through the system's calls,
    // for the whole process and before any file is touched.
    FileSystem::install(systemFiles());
    if (const QByteArray problem = displayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "lunora: %s\n", problem.constData());
        return 1;
    }
    QApplication app(argc, argv);
    // No application display name: Qt would append it to every window title.
    app.setWindowIcon(QIcon(QStringLiteral(":/assets/app_icon.png")));
    installChineseTranslations(app);
    useDesignSizes();
    keepDecodedPictures();

    const QString runDir = runFolder();
    // Checked before anything is written: results kept there would be
    // deleted with the archive program's temporary folder.
    if (runsFromArchive(runDir)) {
        messagebox::inform(QStringLiteral("请先把压缩包解压到一个可以写入的文件夹，再运行解压后的 lunora.exe。"
                                          "程序不能在压缩包里运行：这样保存的中奖结果会随临时文件夹一起被删除。"));
        return 1;
    }
    const RunFolderLock lock(runDir);
    if (lock.state() == RunFolderLock::State::HeldByAnother)
        return handOverTo(lock.holder());

    EventLog log(runDir); // lunora.log: what went wrong and was recovered from
    log.install();
    const DisplayAwake awake;
    MainWindow window(runDir, createSystemSound());
    window.show();
    return app.exec();
}
