// The MCI music's repeat by polling, with a stand-in for MCI: the worker
// looks whether the piece has ended and starts it again from its start, for
// as long as the music is wanted. Forced here, and taken where MCI refuses
// "repeat"; Wine accepts "repeat" and plays once, so it never ran there.
#include "support_wait.h"
#include "platform/mcimusic.h"

#include <QMutex>
#include <QtTest>

namespace {

class FakeMci final : public MciCommands
{
public:
    explicit FakeMci(bool refuseRepeat) : m_refuseRepeat(refuseRepeat) {}

    bool send(const std::wstring &command) override
    {
        const QMutexLocker lock(&m_mutex);
        const QString text = QString::fromStdWString(command);
        m_sent << text;
        if (m_refuseRepeat && text.endsWith(QLatin1String(" repeat")))
            return false;
        if (text.startsWith(QLatin1String("play ")))
            m_mode = QStringLiteral("playing");
        return true;
    }

    std::wstring ask(const std::wstring &command) override
    {
        const QMutexLocker lock(&m_mutex);
        if (command != L"status " + MciMusic::kAlias + L" mode")
            return {};
        ++m_polls;
        return m_mode.toStdWString();
    }

    // The piece plays to its end.
    void end()
    {
        const QMutexLocker lock(&m_mutex);
        m_mode = QStringLiteral("stopped");
    }

    QStringList sent()
    {
        const QMutexLocker lock(&m_mutex);
        return m_sent;
    }

    int polls()
    {
        const QMutexLocker lock(&m_mutex);
        return m_polls;
    }

private:
    QMutex m_mutex;
    const bool m_refuseRepeat;
    QStringList m_sent;
    QString m_mode;
    int m_polls = 0;
};

} // namespace

class TestMciMusic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pollingRepeatsThePiece_data();
    void pollingRepeatsThePiece();
};

void TestMciMusic::pollingRepeatsThePiece_data()
{
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("refuseRepeat");
    QTest::addColumn<QStringList>("started");

    const QString play = QStringLiteral("play lunora_music");
    QTest::newRow("forced") << true << false << QStringList {play};
    QTest::newRow("repeat refused") << false << true << QStringList {play + QStringLiteral(" repeat"), play};
}

void TestMciMusic::pollingRepeatsThePiece()
{
    QFETCH(bool, forced);
    QFETCH(bool, refuseRepeat);
    QFETCH(QStringList, started);

    auto mci = std::make_shared<FakeMci>(refuseRepeat);
    MciMusic music(mci, forced ? MciLoop::Polling : MciLoop::Repeat, std::chrono::milliseconds(5));
    const QString path = QDir(QDir::tempPath()).absoluteFilePath(QStringLiteral("bjyy.mp3"));
    music.request(path);
    const QString open =
        QStringLiteral("open \"%1\" type mpegvideo alias lunora_music").arg(QDir::toNativeSeparators(path));
    QTRY_COMPARE_WITH_TIMEOUT(mci->sent(), QStringList {open} + started, kPatienceMs);

    // Still playing: looked at, left alone.
    QTRY_VERIFY_WITH_TIMEOUT(mci->polls() >= 3, kPatienceMs);
    QCOMPARE(music.restarts(), 0);

    // A 20 s roll over a shorter piece: it ends, and ends again.
    const QStringList again {QStringLiteral("seek lunora_music to start"), QStringLiteral("play lunora_music")};
    for (int round = 1; round <= 2; ++round) {
        mci->end();
        QTRY_COMPARE_WITH_TIMEOUT(music.restarts(), round, kPatienceMs);
        QCOMPARE(mci->sent().mid(mci->sent().size() - 2), again);
    }
    QVERIFY(music.wanted());

    // Stopped: closed, and no longer started again.
    music.request(QString());
    QTRY_COMPARE_WITH_TIMEOUT(mci->sent().constLast(), QStringLiteral("close lunora_music"), kPatienceMs);
    QCOMPARE(music.restarts(), 2);
    QVERIFY(!music.wanted());
}

QTEST_MAIN(TestMciMusic)
#include "test_mcimusic.moc"
