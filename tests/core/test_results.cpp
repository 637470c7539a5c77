#include "support_settingsfolder.h"

#include "core/keys.h"
#include "core/results.h"
#include "core/settingsfile.h"
#include "platform/gbkcodec.h"

#include <QFile>
#include <QTest>

class TestResults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void addWin_data();
    void addWin();
    void firstWinCreatesFile();
    void winTouchesOnlyItsSlot();
    void slotOutOfRange_data();
    void slotOutOfRange();
    void resetAllInOrder();
    void countTextUnchanged();

private:
    QByteArray fileBytes() const;

    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
};

void TestResults::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
}

QByteArray TestResults::fileBytes() const
{
    return m_folder->bytes(DataFile::Results);
}

void TestResults::addWin_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addRow("missing") << QString() << QStringLiteral("1");
    QTest::addRow("whole") << QStringLiteral("41") << QStringLiteral("42");
    QTest::addRow("fraction") << QStringLiteral("2.5") << QStringLiteral("3.5");
    QTest::addRow("not a number") << QStringLiteral("abc") << QStringLiteral("1");
    QTest::addRow("leading number") << QStringLiteral("12abc") << QStringLiteral("13");
    QTest::addRow("negative") << QStringLiteral("-1") << QStringLiteral("0");
    QTest::addRow("thirteen digits") << QStringLiteral("9999999999999") << QStringLiteral("1e+13");
    QTest::addRow("written back") << QStringLiteral("1e+13") << QStringLiteral("1e+13");
}

void TestResults::addWin()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    if (!before.isEmpty())
        QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j5", before));
    QVERIFY(results::addWin(*m_settings, 5));
    QCOMPARE(results::countText(*m_settings, 5), after);
}

void TestResults::firstWinCreatesFile()
{
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Results)));
    QVERIFY(results::addWin(*m_settings, 3));
    const QByteArray bytes = fileBytes();
    QVERIFY(bytes.contains("[zjjg]"));
    QVERIFY(bytes.contains("j3=1"));
    QCOMPARE(results::countText(*m_settings, 3), QStringLiteral("1"));
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Config)));
}

void TestResults::winTouchesOnlyItsSlot()
{
    for (int slot = 1; slot <= 8; ++slot)
        QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1],
                                  QString::number(slot * 10)));
    QVERIFY(results::addWin(*m_settings, 8));
    QVERIFY(results::addWin(*m_settings, 8));
    QVERIFY(results::addWin(*m_settings, 1));
    for (int slot = 1; slot <= 8; ++slot) {
        const int expected = slot * 10 + (slot == 8 ? 2 : slot == 1 ? 1 : 0);
        QCOMPARE(results::countText(*m_settings, slot), QString::number(expected));
    }
}

void TestResults::slotOutOfRange_data()
{
    QTest::addColumn<int>("slot");
    QTest::addRow("0") << 0;
    QTest::addRow("9") << 9;
    QTest::addRow("-1") << -1;
}

void TestResults::slotOutOfRange()
{
    QFETCH(int, slot);
    QVERIFY(!results::addWin(*m_settings, slot));
    QCOMPARE(results::countText(*m_settings, slot), QString());
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Results)));
}

// A fresh file lists the keys in the order they were written: j1 first.
void TestResults::resetAllInOrder()
{
    QVERIFY(results::resetAll(*m_settings));
    const QByteArray bytes = fileBytes();
    qsizetype previous = bytes.indexOf("[zjjg]");
    QVERIFY(previous >= 0);
    for (int slot = 1; slot <= 8; ++slot) {
        const QByteArray line = "j" + QByteArray::number(slot) + "=0";
        const qsizetype at = bytes.indexOf(line);
        QVERIFY2(at > previous, qPrintable(QStringLiteral("j%1").arg(slot)));
        previous = at;
        QCOMPARE(results::countText(*m_settings, slot), QStringLiteral("0"));
    }

    QVERIFY(results::addWin(*m_settings, 2));
    QVERIFY(results::addWin(*m_settings, 7));
    QVERIFY(results::resetAll(*m_settings));
    for (int slot = 1; slot <= 8; ++slot)
        QCOMPARE(results::countText(*m_settings, slot), QStringLiteral("0"));
}

void TestResults::countTextUnchanged()
{
    QCOMPARE(results::countText(*m_settings, 4), QString());
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j4", u"2.50x"));
    QCOMPARE(results::countText(*m_settings, 4), QStringLiteral("2.50x"));
}

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
