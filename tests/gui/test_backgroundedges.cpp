// The background picture and music at their edges: a window that changes
// size, the operator choosing the stored file itself, bytes that are no
// picture, and a music folder that cannot be made. None of them may lose
// the stored bytes; only the music that could not be copied says so.
#include "support_operator.h"
#include "support_pictures.h"
#include "support_runfolder.h"

#include "core/wholefile.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QImage>
#include <QTest>

namespace {

QByteArray tallJpeg(const QColor &colour)
{
    return solidJpeg({5, 40}, colour, 100);
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

// The two bottom corners of the window as painted now.
bool cornersAre(QWidget *window, const QColor &colour)
{
    const QImage shot = window->grab().toImage();
    return shot.size() == window->size() && near(shot.pixelColor(2, shot.height() - 2), colour)
        && near(shot.pixelColor(shot.width() - 2, shot.height() - 2), colour);
}

} // namespace

class TestBackgroundEdges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void backgroundFollowsWindowMode();
    void choosingTheStoredFilesKeepsThem();
    void bytesThatAreNoPictureAreRefused();
    void musicFolderBlockedByAFile();

private:
    std::unique_ptr<RunFolder> m_run;
    std::unique_ptr<messagebox::Seam> m_boxes;
    std::unique_ptr<filedialog::Seam> m_files;
};

void TestBackgroundEdges::init()
{
    m_boxes = std::make_unique<messagebox::Seam>();
    m_files = std::make_unique<filedialog::Seam>();
    m_run = std::make_unique<RunFolder>();
}

void TestBackgroundEdges::cleanup()
{
    QVERIFY2(m_boxes->shown().isEmpty(), qPrintable(m_boxes->texts().join(u'|')));
    QCOMPARE(m_files->pendingAnswers(), 0);
    m_run.reset();
    m_files.reset();
    m_boxes.reset();
}

void TestBackgroundEdges::backgroundFollowsWindowMode()
{
    m_run->writeBytes(QStringLiteral("底图.jpg"), tallJpeg(QColor(0, 0, 255)));
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(cornersAre(w.get(), QColor(0, 0, 255)));
    const QSize full = w->size();
    choose(*w, QStringLiteral("窗口"));
    QTRY_VERIFY(w->size() != full);
    QVERIFY(cornersAre(w.get(), QColor(0, 0, 255)));
    choose(*w, QStringLiteral("全屏"));
    QTRY_COMPARE(w->size(), full);
    QVERIFY(cornersAre(w.get(), QColor(0, 0, 255)));
}

void TestBackgroundEdges::choosingTheStoredFilesKeepsThem()
{
    const QByteArray picture = tallJpeg(QColor(0, 255, 0));
    const QByteArray music = QByteArray("ID3") + QByteArray(4000, '\x5a');
    m_run->writeBytes(QStringLiteral("底图.jpg"), picture);
    m_run->writeBytes(QStringLiteral("wav/bjyy.mp3"), music);
    auto w = m_run->openWindow();
    m_files->queueChoice(m_run->file(QStringLiteral("底图.jpg")));
    choose(*w, QStringLiteral("更换背景图"));
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), picture);
    QVERIFY(cornersAre(w.get(), QColor(0, 255, 0)));
    m_files->queueChoice(m_run->file(QStringLiteral("wav/bjyy.mp3")));
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav/bjyy.mp3"))), music);
}

void TestBackgroundEdges::bytesThatAreNoPictureAreRefused()
{
    m_run->writeBytes(QStringLiteral("底图.jpg"), tallJpeg(QColor(0, 0, 255)));
    prepareDrawable(*m_run, kQuickRoll);
    RunFolder elsewhere;
    const QByteArray notAPicture("this is a text file, not a JPEG\r\n");
    elsewhere.writeBytes(QStringLiteral("notes.jpg"), notAPicture);
    auto w = m_run->openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    // A draw leaves the result picture showing.
    const auto &result = control<PictureBox>(*w, QStringLiteral("图片框a_结果"));
    QVERIFY(drawOnce(*w));
    QVERIFY(result.isVisible());
    m_files->queueChoice(elsewhere.file(QStringLiteral("notes.jpg")));
    choose(*w, QStringLiteral("更换背景图"));
    // Refused by name, whatever its name says: nothing is copied and the
    // stored background still covers the window.
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("底图.jpg"))), tallJpeg(QColor(0, 0, 255)));
    QCOMPARE(m_boxes->texts().size(), 1);
    QVERIFY(m_boxes->texts()[0].contains(QStringLiteral("notes.jpg")));
    QVERIFY(result.isHidden());
    QVERIFY(cornersAre(w.get(), QColor(0, 0, 255)));
    m_boxes = std::make_unique<messagebox::Seam>(); // told, as it should be
}

void TestBackgroundEdges::musicFolderBlockedByAFile()
{
    const QByteArray blocker("a plain file where the music folder belongs");
    m_run->writeBytes(QStringLiteral("wav"), blocker);
    RunFolder elsewhere;
    elsewhere.writeBytes(QStringLiteral("song.mp3"), QByteArray(3000, '\x11'));
    auto w = m_run->openWindow();
    m_files->queueChoice(elsewhere.file(QStringLiteral("song.mp3")));
    choose(*w, QStringLiteral("更换背景音乐"));
    QCOMPARE(m_files->filters().size(), 1);
    QCOMPARE(readWholeFile(m_run->file(QStringLiteral("wav"))), blocker);
    QCOMPARE(m_boxes->texts(),
             QStringList{QStringLiteral("背景音乐复制失败，背景音乐没有改变！请检查程序所在文件夹是否可写。")});
    m_boxes->clear();
}

QTEST_MAIN(TestBackgroundEdges)
#include "test_backgroundedges.moc"
