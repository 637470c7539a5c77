// Replacing or removing the media files (background picture, roll music,
// prize pictures) where the run folder will not take them: the operator is
// told, and the screen and the files stay as they were. Offscreen, on the
// real main window, with every dialog answered by its seam.
#include "support_operator.h"
#include "support_pictures.h"
#include "support_runfolder.h"

#include "unprivileged.h"
#include "core/wholefile.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

const QString kPictureNotCopied = QStringLiteral("底图复制失败，底图没有改变！请检查程序所在文件夹是否可写。");
const QString kPictureNotRemoved = QStringLiteral("底图删除失败，底图没有取消！请检查程序所在文件夹是否可写。");
const QString kMusicNotCopied = QStringLiteral("背景音乐复制失败，背景音乐没有改变！请检查程序所在文件夹是否可写。");
const QString kPrizeNotCopied = QStringLiteral("奖品图片复制失败，图片没有改变！请检查程序所在文件夹是否可写。");

QByteArray smallJpeg(const QColor &colour)
{
    return solidJpeg({40, 30}, colour);
}

// What the operator picks in the file dialogs, outside the run folder.
struct Chosen
{
    RunFolder folder;
    QString picture;
    QString music;

    Chosen()
    {
        folder.writeBytes(QStringLiteral("新底图.jpg"), smallJpeg(Qt::green));
        folder.writeBytes(QStringLiteral("新音乐.mp3"), QByteArray(3000, 'm'));
        picture = folder.file(QStringLiteral("新底图.jpg"));
        music = folder.file(QStringLiteral("新音乐.mp3"));
    }
};

// The bottom left corner of the window as painted now: the background.
QRgb corner(QWidget &window)
{
    const QImage image = window.grab().toImage();
    return image.pixel(2, image.height() - 2);
}

// Each of the four file handlers once, each failing; checks what the
// operator is told and that the files and the screen are unchanged.
void everyHandlerFailsAndSays(const RunFolder &run, MainWindow &w, const Chosen &chosen,
                              const QByteArray &background, const QByteArray &prize)
{
    messagebox::Seam boxes;
    filedialog::Seam files;
    const QRgb painted = corner(w);
    PictureBox &box = operate::slot(w, 1);

    files.queueChoice(chosen.picture);
    choose(w, QStringLiteral("更换背景图"));
    QCOMPARE(corner(w), painted);

    choose(w, QStringLiteral("取消背景图"));
    QCOMPARE(corner(w), painted);

    files.queueChoice(chosen.music);
    choose(w, QStringLiteral("更换背景音乐"));

    files.queueChoice(chosen.picture);
    QTest::mouseDClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(box.picture(), prize);

    QCOMPARE(files.pendingAnswers(), 0);
    QCOMPARE(boxes.texts(), (QStringList{kPictureNotCopied, kPictureNotRemoved, kMusicNotCopied, kPrizeNotCopied}));
    QCOMPARE(readWholeFile(run.file(QStringLiteral("奖品图片/1.jpg"))), prize);
    QCOMPARE(readWholeFile(run.file(QStringLiteral("底图.jpg"))), background);
}

} // namespace

class TestUnwritableMedia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readOnlyRunFolder();
    void namesTakenByFolders();
    void writableFolderSaysNothing();
    void readOnlyFolderIsNotAHeldFile();
};

// The run folder and its subfolders lose their write permission after
// start-up (an administrator's lock-down, a medium gone read-only).
void TestUnwritableMedia::readOnlyRunFolder()
{
#ifdef Q_OS_WIN
    QSKIP("Windows: a folder's read-only attribute does not stop writes into it (namesTakenByFolders covers it)");
#else
    RERUN_UNPRIVILEGED_UNDER_ROOT();
    Chosen chosen;
    RunFolder run;
    const QByteArray background = smallJpeg(Qt::blue);
    const QByteArray music(700, 'o');
    const QByteArray prize = smallJpeg(Qt::red);
    run.writeBytes(QStringLiteral("底图.jpg"), background);
    run.writeBytes(QStringLiteral("wav/bjyy.mp3"), music);
    run.writeBytes(QStringLiteral("奖品图片/1.jpg"), prize);
    auto w = run.openWindow();

    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    const QStringList folders{run.path(), run.file(QStringLiteral("wav")), run.file(QStringLiteral("奖品图片"))};
    for (const QString &folder : folders)
        QVERIFY(QFile::setPermissions(folder, readOnly));
    everyHandlerFailsAndSays(run, *w, chosen, background, prize);
    for (const QString &folder : folders)
        QFile::setPermissions(folder, readOnly | QFile::WriteOwner | QFile::WriteUser);
    QCOMPARE(readWholeFile(run.file(QStringLiteral("wav/bjyy.mp3"))), music);
#endif
}

// Folders where the files should be, and a file where the music folder
// should be: no user, root included, can write these.
void TestUnwritableMedia::namesTakenByFolders()
{
    Chosen chosen;
    RunFolder run;
    QVERIFY(QDir(run.path()).mkpath(QStringLiteral("底图.jpg/inside")));
    QVERIFY(QDir(run.path()).mkpath(QStringLiteral("奖品图片/1.jpg")));
    run.writeBytes(QStringLiteral("wav"), "not a folder");
    auto w = run.openWindow();
    everyHandlerFailsAndSays(run, *w, chosen, QByteArray(), QByteArray());
    QVERIFY(QFileInfo(run.file(QStringLiteral("底图.jpg/inside"))).isDir());
    QCOMPARE(readWholeFile(run.file(QStringLiteral("wav"))), QByteArray("not a folder"));
}

// The same handlers where the writes succeed ask the operator nothing, and
// removing a background picture that is not there is no failure.
void TestUnwritableMedia::writableFolderSaysNothing()
{
    Chosen chosen;
    RunFolder run;
    auto w = run.openWindow();
    messagebox::Seam boxes;
    filedialog::Seam files;
    choose(*w, QStringLiteral("取消背景图"));
    files.queueChoice(chosen.picture);
    choose(*w, QStringLiteral("更换背景图"));
    files.queueChoice(chosen.music);
    choose(*w, QStringLiteral("更换背景音乐"));
    files.queueChoice(chosen.picture);
    QTest::mouseDClick(&operate::slot(*w, 1), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    choose(*w, QStringLiteral("取消背景图"));

    QVERIFY2(boxes.texts().isEmpty(), qPrintable(boxes.texts().join(u'|')));
    const QByteArray picture = readWholeFile(chosen.picture);
    QCOMPARE(readWholeFile(run.file(QStringLiteral("奖品图片/1.jpg"))), picture);
    QCOMPARE(operate::slot(*w, 1).picture(), picture);
    QCOMPARE(readWholeFile(run.file(QStringLiteral("wav/bjyy.mp3"))), readWholeFile(chosen.music));
    QVERIFY(!QFileInfo::exists(run.file(QStringLiteral("底图.jpg"))));
}

// A locked-down installation: the run folder refuses new files, jieguo.a is
// the operator's. The win is counted in place; the history, which cannot be
// made, is told as a matter of permissions with what to do, never as a file
// another program holds.
void TestUnwritableMedia::readOnlyFolderIsNotAHeldFile()
{
#ifdef Q_OS_WIN
    QSKIP("Windows: a folder's read-only attribute does not stop new files in it");
#else
    RERUN_UNPRIVILEGED_UNDER_ROOT();
    RunFolder run;
    prepareDrawable(run, kQuickRoll);
    run.writeGbk(QStringLiteral("jieguo.a"), QStringLiteral("[zjjg]\r\n"));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser;
    QVERIFY(QFile::setPermissions(run.path(), readOnly));
    auto w = run.openWindow();
    messagebox::Seam boxes;
    const bool landed = drawOnce(*w);
    // Told once the save worker tried the win.
    const QLabel &notice = control<QLabel>(*w, QStringLiteral("标签_保存提示"));
    QTRY_VERIFY(!notice.text().isEmpty());
    const QString told = notice.text();
    QFile::setPermissions(run.path(), readOnly | QFile::WriteOwner | QFile::WriteUser);

    QVERIFY(landed);
    QTRY_COMPARE(storedWins(run), 1);
    QVERIFY2(boxes.texts().isEmpty(), qPrintable(boxes.texts().join(u'|')));
    QVERIFY2(told.contains(QStringLiteral("没有写入权限")), qPrintable(told));
    QVERIFY2(!told.contains(QStringLiteral("占用")), qPrintable(told));
#endif
}

QTEST_MAIN(TestUnwritableMedia)
#include "test_unwritablemedia.moc"
