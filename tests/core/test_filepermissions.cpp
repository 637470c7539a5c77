// Writes in folders and files this user may not write, as an installation
// an administrator locked down leaves them, and beside a lock file that
// belongs to another user.
//
// Permissions do not bind root, so every case runs in a child process of
// this executable: under root the child drops to the unprivileged user
// 65534 through setpriv (a copy of the executable in a folder that user may
// read stands in for the build tree, which may be closed to it); otherwise
// the child runs as the current user, and "another user's file" becomes a
// file without write permission. Either way the same checks apply.
#include "core/filelock.h"
#include "core/config.h"
#include "core/wincounts.h"
#include "core/settingsfile.h"
#include "core/wholefile.h"
#include "platform/gbkcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kUnprivileged = 65534;

bool isRoot()
{
    return ::geteuid() == 0;
}

enum class Folder { Writable, ReadOnly };
enum class Data { None, Writable, ReadOnly };

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool giveToChild(const QString &path)
{
    return !isRoot()
        || ::chown(QFile::encodeName(path).constData(), kUnprivileged, kUnprivileged) == 0;
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A writable folder is root's with the sticky bit under root, like /tmp:
// the child may add files but not remove root's own.
bool prepareFolder(const QString &dir, Folder folder)
{
    if (folder == Folder::ReadOnly)
        return setMode(dir, isRoot() ? 0755 : 0555);
    return setMode(dir, isRoot() ? 01777 : 0755);
}

bool prepareData(const QString &path, Data data, const QByteArray &bytes)
{
    if (data == Data::None)
        return true;
    if (!putFile(path, bytes))
        return false;
    if (data == Data::Writable)
        return giveToChild(path) && setMode(path, 0644);
    return setMode(path, isRoot() ? 0644 : 0444);
}

// Root's lock file, which the child may open for reading only.
bool leaveForeignLock(const QString &path)
{
    return putFile(path, QByteArray()) && setMode(path, isRoot() ? 0644 : 0444);
}

int childWrite(const QString &dir)
{
    SettingsFile settings(dir, gbkCodec());
    // A write that only waits in memory is lost when this process ends.
    return settings.writeSetting(u"k", u"new") && settings.pendingCount(DataFile::Config) == 0 ? 0 : 1;
}

int childCount(const QString &dir, int wins)
{
    SettingsFile settings(dir, gbkCodec());
    for (int i = 0; i < wins; ++i) {
        if (WinCounts(settings).addWin(1) == SettingsFile::Saved::Refused)
            return 1;
    }
    return settings.pendingCount(DataFile::Results) == 0 ? 0 : 1;
}

ino_t inodeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList temporaryFiles(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(u".lunora-tmp-"_qs);
}

} // namespace

class TestFilePermissions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void write_data();
    void write();
    void copiesCountEveryWin_data();
    void copiesCountEveryWin();
    void administratorAndOperatorCountEveryWin();

private:
    QProcess *startChild(const QStringList &arguments);

    QTemporaryDir m_programDir;
    QString m_program;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFilePermissions::initTestCase()
{
    m_program = QCoreApplication::applicationFilePath();
    if (!isRoot())
        return;
    QVERIFY(m_programDir.isValid());
    QVERIFY(setMode(m_programDir.path(), 0755));
    const QString copy = m_programDir.filePath(u"child"_qs);
    QVERIFY(QFile::copy(m_program, copy));
    QVERIFY(setMode(copy, 0755));
    m_program = copy;
}

void TestFilePermissions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// The folder must be writable again for its removal.
void TestFilePermissions::cleanup()
{
    QVERIFY(setMode(m_dir->path(), 0700));
    m_dir.reset();
}

QProcess *TestFilePermissions::startChild(const QStringList &arguments)
{
    auto *child = new QProcess(this);
    child->setWorkingDirectory(m_dir->path());
    child->setProcessChannelMode(QProcess::ForwardedChannels);
    if (isRoot()) {
        const QStringList drop { u"--reuid=65534"_qs, u"--regid=65534"_qs,
            u"--clear-groups"_qs, m_program };
        child->start(u"setpriv"_qs, drop + arguments);
    } else {
        child->start(m_program, arguments);
    }
    return child;
}

void TestFilePermissions::write_data()
{
    QTest::addColumn<Folder>("folder");
    QTest::addColumn<Data>("data");
    QTest::addColumn<bool>("foreignLock");
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("lockHeld");

    QTest::newRow("writable folder, new file")
        << Folder::Writable << Data::None << false << true << false;
    QTest::newRow("writable folder and file")
        << Folder::Writable << Data::Writable << false << true << false;
    // A locked-down installation: the folder refuses new files (neither a
    // lock file nor a temporary file), the data file is the operator's.
    QTest::newRow("read-only folder, writable file")
        << Folder::ReadOnly << Data::Writable << false << true << false;
    QTest::newRow("read-only folder, no file")
        << Folder::ReadOnly << Data::None << false << false << false;
    QTest::newRow("read-only folder, read-only file")
        << Folder::ReadOnly << Data::ReadOnly << false << false << false;
    QTest::newRow("read-only file in a writable folder")
        << Folder::Writable << Data::ReadOnly << false << false << false;
    // A copy run by the administrator was killed and left its lock file.
    QTest::newRow("lock file of another user")
        << Folder::Writable << Data::Writable << true << true << false;
    QTest::newRow("lock file of another user, read-only folder")
        << Folder::ReadOnly << Data::Writable << true << true << false;
    // The child can only read that lock file, and still waits for its
    // holder: it gives up when its wait of ten seconds runs out.
    QTest::newRow("lock file of another user, held by its owner")
        << Folder::Writable << Data::Writable << true << false << true;
}

void TestFilePermissions::write()
{
    QFETCH(Folder, folder);
    QFETCH(Data, data);
    QFETCH(bool, foreignLock);
    QFETCH(bool, written);
    QFETCH(bool, lockHeld);

    const QString dir = m_dir->path();
    const QString config = dir + u"/config.a";
    const QByteArray before = gbkCodec().encode(u"[zbt]\r\nk=old\r\n主标题=春季\r\n");
    QVERIFY(prepareData(config, data, before));
    if (foreignLock)
        QVERIFY(leaveForeignLock(config + u".lock"));
    QVERIFY(prepareFolder(dir, folder));
    const QStringList filesBefore = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    const ino_t inodeBefore = inodeOf(config);
    FileLock owner(config + u".lock");
    if (lockHeld)
        QCOMPARE(owner.lock(0), FileLock::Result::Locked);

    QProcess *child = startChild({ u"--write"_qs, dir });
    QVERIFY(child->waitForFinished(60000));
    QCOMPARE(child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(child->exitCode() == 0, written);

    QByteArray expected = data == Data::None ? QByteArray() : before;
    if (written)
        expected = data == Data::None ? QByteArray("[zbt]\r\nk=new\r\n")
                                      : gbkCodec().encode(u"[zbt]\r\nk=new\r\n主标题=春季\r\n");
    QCOMPARE(readWholeFile(config), expected);
    QCOMPARE(temporaryFiles(dir), QStringList());
    // Replaced by rename wherever the folder allows it (a kill can then
    // never tear the file); rewritten in place only where it does not.
    if (written && data != Data::None)
        QCOMPARE(inodeOf(config) == inodeBefore, folder == Folder::ReadOnly);
    if (folder == Folder::ReadOnly)
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), filesBefore);
    // Under root the child cannot remove root's lock file from the sticky
    // folder: every lock of its own went through that file.
    if (foreignLock && isRoot())
        QVERIFY(QFile::exists(config + u".lock"));
}

void TestFilePermissions::copiesCountEveryWin_data()
{
    QTest::addColumn<Folder>("folder");
    QTest::addColumn<bool>("foreignLock");
    // The lock is taken on a lock file the copies may only read.
    QTest::newRow("lock file of another user") << Folder::Writable << true;
    // The lock is taken on the data file itself.
    QTest::newRow("read-only folder") << Folder::ReadOnly << false;
}

void TestFilePermissions::copiesCountEveryWin()
{
    QFETCH(Folder, folder);
    QFETCH(bool, foreignLock);

    constexpr int kEach = 150;
    const QString dir = m_dir->path();
    const QString results = dir + u"/jieguo.a";
    QVERIFY(prepareData(results, Data::Writable, "[zjjg]\r\nj1=0\r\n"));
    if (foreignLock)
        QVERIFY(leaveForeignLock(results + u".lock"));
    QVERIFY(prepareFolder(dir, folder));

    const QStringList arguments { u"--count"_qs, dir, QString::number(kEach) };
    QProcess *first = startChild(arguments);
    QProcess *second = startChild(arguments);
    for (QProcess *child : { first, second }) {
        QVERIFY(child->waitForFinished(120000));
        QCOMPARE(child->exitStatus(), QProcess::NormalExit);
        QCOMPARE(child->exitCode(), 0);
    }
    SettingsFile settings(dir, gbkCodec());
    QCOMPARE(WinCounts(settings).text(1), QString::number(2 * kEach));
    QCOMPARE(temporaryFiles(dir), QStringList());
}

// The administrator's copy makes its lock file and replaces the data file
// while the operator's copy, which may not make files there, locks the data
// file itself and rewrites it in place: neither may lose the other's wins.
// (Without root both copies are one user and take the same way.)
void TestFilePermissions::administratorAndOperatorCountEveryWin()
{
    constexpr int kEach = 150;
    const QString dir = m_dir->path();
    const QString results = dir + u"/jieguo.a";
    QVERIFY(prepareData(results, Data::Writable, "[zjjg]\r\nj1=0\r\n"));
    // Writable for all: a replace by root gives the file to root, and keeps
    // its permissions.
    QVERIFY(setMode(results, 0666));
    QVERIFY(prepareFolder(dir, Folder::ReadOnly));
    QProcess *child = startChild({ u"--count"_qs, dir, QString::number(kEach) });
    // Lock files the operator's copy cannot even open: it always takes the
    // other way.
    const mode_t mask = ::umask(077);
    const int counted = childCount(dir, kEach);
    ::umask(mask);
    QCOMPARE(counted, 0);
    QVERIFY(child->waitForFinished(120000));
    QCOMPARE(child->exitStatus(), QProcess::NormalExit);
    QCOMPARE(child->exitCode(), 0);
    SettingsFile settings(dir, gbkCodec());
    QCOMPARE(WinCounts(settings).text(1), QString::number(2 * kEach));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--write") == 0)
        return childWrite(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--count") == 0)
        return childCount(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestFilePermissions test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_filepermissions.moc"
