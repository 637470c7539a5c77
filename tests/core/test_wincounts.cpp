#include "support_settingsfolder.h"

#include "core/keys.h"
#include "core/settingsfile.h"
#include "core/wincounts.h"

#include <QFile>
#include <QTest>

#include <optional>

class TestWinCounts : public QObject
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
    void changeSeesTheCountAndStoresItsText();

private:
    QByteArray fileBytes() const;

    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::optional<WinCounts> m_counts;
};

void TestWinCounts::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    QVERIFY(m_folder->isValid());
    m_settings = &m_folder->settings();
    m_counts.emplace(*m_settings);
}

QByteArray TestWinCounts::fileBytes() const
{
    return m_folder->bytes(DataFile::Results);
}

void TestWinCounts::addWin_data()
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

void TestWinCounts::addWin()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    if (!before.isEmpty())
        QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j5", before));
    QString stored;
    QCOMPARE(m_counts->addWin(5, [&stored](const QString &count) { stored = count; }),
             SettingsFile::Saved::Stored);
    QCOMPARE(stored, after);
    QCOMPARE(m_counts->text(5), after);
}

void TestWinCounts::firstWinCreatesFile()
{
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Results)));
    QCOMPARE(m_counts->addWin(3), SettingsFile::Saved::Stored);
    const QByteArray bytes = fileBytes();
    QVERIFY(bytes.contains("[zjjg]"));
    QVERIFY(bytes.contains("j3=1"));
    QCOMPARE(m_counts->text(3), QStringLiteral("1"));
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Config)));
}

void TestWinCounts::winTouchesOnlyItsSlot()
{
    for (int slot = 1; slot <= 8; ++slot)
        QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, keys::kWins[slot - 1],
                                  QString::number(slot * 10)));
    for (const int slot : {8, 8, 1})
        QCOMPARE(m_counts->addWin(slot), SettingsFile::Saved::Stored);
    for (int slot = 1; slot <= 8; ++slot) {
        const int expected = slot * 10 + (slot == 8 ? 2 : slot == 1 ? 1 : 0);
        QCOMPARE(m_counts->text(slot), QString::number(expected));
    }
}

void TestWinCounts::slotOutOfRange_data()
{
    QTest::addColumn<int>("slot");
    QTest::addRow("0") << 0;
    QTest::addRow("9") << 9;
    QTest::addRow("-1") << -1;
}

void TestWinCounts::slotOutOfRange()
{
    QFETCH(int, slot);
    QCOMPARE(m_counts->addWin(slot), SettingsFile::Saved::Refused);
    QCOMPARE(m_counts->addWinNow(slot, [](const QString &) { return true; }), SettingsFile::Saved::Refused);
    QCOMPARE(m_counts->change(slot, [](const QString &) { return QStringLiteral("5"); }),
             SettingsFile::Saved::Refused);
    QCOMPARE(m_counts->text(slot), QString());
    QVERIFY(!QFile::exists(m_settings->path(DataFile::Results)));
}

// A fresh file lists the keys in the order they were written: j1 first.
void TestWinCounts::resetAllInOrder()
{
    int stored = 0;
    QCOMPARE(m_counts->resetAll([&stored] { ++stored; }), SettingsFile::Saved::Stored);
    QCOMPARE(stored, 1);
    const QByteArray bytes = fileBytes();
    qsizetype previous = bytes.indexOf("[zjjg]");
    QVERIFY(previous >= 0);
    for (int slot = 1; slot <= 8; ++slot) {
        const QByteArray line = "j" + QByteArray::number(slot) + "=0";
        const qsizetype at = bytes.indexOf(line);
        QVERIFY2(at > previous, qPrintable(QStringLiteral("j%1").arg(slot)));
        previous = at;
        QCOMPARE(m_counts->text(slot), QStringLiteral("0"));
    }

    QCOMPARE(m_counts->addWin(2), SettingsFile::Saved::Stored);
    QCOMPARE(m_counts->addWin(7), SettingsFile::Saved::Stored);
    QCOMPARE(m_counts->resetAll(), SettingsFile::Saved::Stored);
    for (int slot = 1; slot <= 8; ++slot)
        QCOMPARE(m_counts->text(slot), QStringLiteral("0"));
}

void TestWinCounts::countTextUnchanged()
{
    QCOMPARE(m_counts->text(4), QString());
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j4", u"2.50x"));
    QCOMPARE(m_counts->text(4), QStringLiteral("2.50x"));
}

// The change a void makes and the one a public draw makes: each gets the
// count as stored and stores exactly the text it returns; a public draw's
// count refused under the lock leaves the file as it was.
void TestWinCounts::changeSeesTheCountAndStoresItsText()
{
    QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, u"j6", u"3"));
    QString seen;
    QCOMPARE(m_counts->change(6, [&seen](const QString &count) {
        seen = count;
        return QStringLiteral("2");
    }), SettingsFile::Saved::Stored);
    QCOMPARE(seen, u"3"_qs);
    QCOMPARE(m_counts->number(6), 2.0);

    const QByteArray before = fileBytes();
    QCOMPARE(m_counts->addWinNow(6, [&seen](const QString &count) {
        seen = count;
        return false;
    }), SettingsFile::Saved::Refused);
    QCOMPARE(seen, u"3"_qs);
    QCOMPARE(fileBytes(), before);
    QCOMPARE(m_counts->addWinNow(6, [](const QString &) { return true; }), SettingsFile::Saved::Stored);
    QCOMPARE(m_counts->text(6), u"3"_qs);
}

QTEST_GUILESS_MAIN(TestWinCounts)
#include "test_wincounts.moc"
