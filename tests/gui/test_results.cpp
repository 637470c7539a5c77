// The results window: layout, the stored counts, and clearing them.

#include "support_history.h"
#include "support_settingsfolder.h"

#include "core/historyfile.h"
#include "core/keys.h"
#include "core/drawhistory.h"
#include "core/settingsfile.h"
#include "lottery/resultswindow.h"
#include "platform/gbkcodec.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const std::array<QByteArray, 8> kNoPictures{};

QStringList countTexts(const ResultsWindow &w)
{
    QStringList texts;
    for (int slot = 1; slot <= 8; ++slot)
        texts << w.countEdit(slot)->text();
    return texts;
}

} // namespace

// Every line of the draw history is stamped with this time.
const QDateTime kHistoryTime(QDate(2026, 12, 7), QTime(15, 3, 12));

class TestResults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;
    std::unique_ptr<DrawHistory> m_history;

    void storeCounts(const QStringList &texts)
    {
        for (int i = 0; i < 8; ++i)
            QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, keys::kWins[i], texts[i]));
    }
    QStringList storedCounts() const
    {
        QStringList texts;
        for (QStringView key : keys::kWins)
            texts << m_settings->read(DataFile::Results, keys::kZjjg, key);
        return texts;
    }
    QByteArray resultsBytes() const
    {
        return m_folder->bytes(DataFile::Results);
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_settings = &m_folder->settings();
        m_history = std::make_unique<DrawHistory>(*m_settings, [] { return kHistoryTime; });
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("标签1") << "标签1" << QRect(4, 0, 104, 24) << "奖品" << 16 << true << true;
        QTest::newRow("标签2") << "标签2" << QRect(115, 0, 104, 24) << "已中奖数量" << 16 << true << false;
        QTest::newRow("标签3") << "标签3" << QRect(248, 0, 104, 24) << "奖品" << 16 << true << true;
        QTest::newRow("标签4") << "标签4" << QRect(359, 0, 104, 24) << "已中奖数量" << 16 << true << false;
        QTest::newRow("编辑框1") << "编辑框1" << QRect(124, 28, 100, 40) << "" << 20 << true << false;
        QTest::newRow("编辑框4") << "编辑框4" << QRect(124, 166, 100, 40) << "" << 20 << true << false;
        QTest::newRow("编辑框5") << "编辑框5" << QRect(364, 28, 100, 40) << "" << 20 << true << false;
        QTest::newRow("编辑框8") << "编辑框8" << QRect(364, 166, 100, 40) << "" << 20 << true << false;
        QTest::newRow("图片框1") << "图片框1" << QRect(8, 28, 100, 40) << "" << -1 << false << true;
        QTest::newRow("图片框6") << "图片框6" << QRect(248, 74, 100, 40) << "" << -1 << false << true;
        QTest::newRow("按钮1") << "按钮1" << QRect(184, 216, 112, 29) << "清空中奖" << 16 << false << true;
        QTest::newRow("按钮_作废") << "按钮_作废" << QRect(320, 216, 132, 29) << "作废上次中奖" << 16 << false
                               << true;
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(bool, enabled);
        ResultsWindow w(*m_history, kNoPictures);
        QCOMPARE(w.windowTitle(), QStringLiteral("中奖结果"));
        QCOMPARE(w.size(), QSize(484, 284));
        auto *control = w.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(control->isEnabled(), enabled);
        if (auto *l = qobject_cast<QLabel *>(control))
            QCOMPARE(l->text(), text);
        if (auto *b = qobject_cast<QPushButton *>(control))
            QCOMPARE(b->text(), text);
        if (pixels > 0) {
            QCOMPARE(control->font().pixelSize(), pixels);
            QCOMPARE(control->font().bold(), bold);
            QCOMPARE(control->font().families().value(0), QStringLiteral("宋体"));
        }
    }

    void freshInstallShowsEmptyBoxes()
    {
        ResultsWindow w(*m_history, kNoPictures);
        QCOMPARE(countTexts(w), QStringList(8, QString()));
    }

    void storedTextsAreShownRaw()
    {
        const QStringList stored{"3", "2.5", "abc", "", "1e+13", "0", "12", "-1"};
        storeCounts(stored);
        ResultsWindow w(*m_history, kNoPictures);
        QCOMPARE(countTexts(w), stored);
    }

    void countBoxesCannotBeEdited()
    {
        storeCounts({"1", "2", "3", "4", "5", "6", "7", "8"});
        ResultsWindow w(*m_history, kNoPictures);
        w.show();
        for (int slot = 1; slot <= 8; ++slot) {
            QLineEdit *count = w.countEdit(slot);
            QVERIFY(!count->isEnabled());
            count->setFocus();
            QVERIFY(!count->hasFocus());
            QTest::keyClicks(count, QStringLiteral("99"));
            QCOMPARE(count->text(), QString::number(slot));
        }
    }

    void clearWithOkZeroesFileAndBoxes()
    {
        storeCounts({"3", "2.5", "abc", "", "1", "0", "12", "4"});
        messagebox::Seam boxes;
        boxes.queueAnswers({true});
        ResultsWindow w(*m_history, kNoPictures);
        w.show();
        QSignalSpy finished(&w, &QDialog::finished);
        QTest::mouseClick(w.clearButton(), Qt::LeftButton);

        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown()[0].text, QStringLiteral("确定要清空中奖结果吗？"));
        QCOMPARE(boxes.shown()[0].caption, QStringLiteral("确定清空吗？"));
        QCOMPARE(boxes.shown()[0].buttons, messagebox::Buttons::OkCancel);
        // Cancel to the second question keeps the history where it is.
        QCOMPARE(boxes.shown()[1].caption, QStringLiteral("开始新的中奖记录吗？"));
        QCOMPARE(boxes.shown()[1].buttons, messagebox::Buttons::OkCancel);
        QVERIFY(QDir(m_folder->path()).entryList({u"中奖记录-*"_qs}).isEmpty());
        QCOMPARE(storedCounts(), QStringList(8, QStringLiteral("0")));
        QCOMPARE(countTexts(w), QStringList(8, QStringLiteral("0")));
        QVERIFY(finished.isEmpty()); // the window stays open
    }

    void clearOnAFreshInstallCreatesTheFile()
    {
        messagebox::Seam boxes;
        boxes.queueAnswers({true});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        QCOMPARE(storedCounts(), QStringList(8, QStringLiteral("0")));
        QCOMPARE(countTexts(w), QStringList(8, QStringLiteral("0")));
    }

    void clearWithCancelChangesNothing()
    {
        const QStringList stored{"3", "2.5", "abc", "", "1", "0", "12", "4"};
        storeCounts(stored);
        const QByteArray before = resultsBytes();
        messagebox::Seam boxes;
        boxes.queueAnswers({false});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(resultsBytes(), before);
        QCOMPARE(countTexts(w), stored);
    }

    // The window shows the file as it was when it opened.
    void notRefreshedWhileOpen()
    {
        storeCounts({"1", "1", "1", "1", "1", "1", "1", "1"});
        ResultsWindow w(*m_history, kNoPictures);
        QVERIFY(m_settings->write(DataFile::Results, keys::kZjjg, keys::kWins[0], QStringLiteral("2")));
        QCOMPARE(w.countEdit(1)->text(), QStringLiteral("1"));
    }

    void failedClearShowsWhatTheFileHolds()
    {
        // A folder in place of the results file: nothing can be written.
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("jieguo.a")));
        messagebox::Seam boxes;
        boxes.queueAnswers({true});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        QCOMPARE(boxes.texts().size(), 3);
        QVERIFY(boxes.texts()[2].contains(QStringLiteral("失败")));
        QCOMPARE(countTexts(w), QStringList(8, QString()));
    }

    // The history keeps its lines through a clearing and marks it; a
    // cancelled clearing marks nothing.
    void clearIsMarkedInTheHistory()
    {
        QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
        messagebox::Seam boxes;
        boxes.queueAnswers({false, true});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        w.clearResults();
        QFile file(m_history->path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<history::Entry> entries = history::parse(file.readAll());
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].slot, 2);
        QVERIFY(entries[1].isClear());
        QCOMPARE(entries[1].time, kHistoryTime);
        QCOMPARE(boxes.shown().size(), 3);
    }

    // OK to the second question: the window names where the old history
    // went, and the new one starts with the clearing.
    void newHistoryIsOfferedAndItsOldFileNamed()
    {
        QCOMPARE(m_history->recordWin(2), DrawHistory::Saved::Stored);
        messagebox::Seam boxes;
        boxes.queueAnswers({true, true});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        const QStringList kept = QDir(m_folder->path()).entryList({u"中奖记录-*.csv"_qs});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(boxes.texts().size(), 3);
        QCOMPARE(boxes.texts()[2], u"原来的中奖记录已改名为“"_qs + kept[0]
                     + u"”，在程序所在文件夹里；新的中奖记录.csv从这次清空开始。"_qs);
        QFile file(m_history->path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<history::Entry> entries = history::parse(file.readAll());
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].isClear());
    }

    // 作废上次中奖 names the win it takes back; cancelled, it changes
    // nothing; confirmed, the count shown and stored goes down; with none
    // left the operator is told, and nothing is asked.
    void voidTakesBackTheLastWin()
    {
        QVERIFY(m_settings->writeSetting(keys::kPrizeValue[6], QStringLiteral("5")));
        QCOMPARE(m_history->recordWin(7), DrawHistory::Saved::Stored);
        const QByteArray before = readWholeFile(m_history->path());
        messagebox::Seam boxes;
        boxes.queueAnswers({false, true});
        ResultsWindow w(*m_history, kNoPictures);
        w.show();
        auto *button = w.findChild<QPushButton *>(QStringLiteral("按钮_作废"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(readWholeFile(m_history->path()), before);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(boxes.shown()[1].caption, QStringLiteral("确定作废吗？"));
        QCOMPARE(boxes.shown()[1].buttons, messagebox::Buttons::OkCancel);
        for (const QString &part : {u"第 7 项"_qs, u"奖品数值：5"_qs, u"时间：2026-12-07 15:03:12"_qs})
            QVERIFY2(boxes.texts()[1].contains(part), qPrintable(boxes.texts()[1]));
        QCOMPARE(w.countEdit(7)->text(), QStringLiteral("0"));
        QCOMPARE(storedCounts()[6], QStringLiteral("0"));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(boxes.texts().size(), 3);
        QVERIFY(boxes.texts()[2].contains(u"没有可以作废的中奖"));
    }

    // A history that cannot be written does not stop the clearing; the
    // operator hears why once, and not again at the next clearing.
    void unkeptHistoryIsReportedOnceAtAClearing()
    {
        QVERIFY(QDir().mkpath(m_history->path()));
        storeCounts({"3", "2", "1", "1", "1", "1", "1", "1"});
        messagebox::Seam boxes;
        boxes.queueAnswers({true, false, true, false});
        ResultsWindow w(*m_history, kNoPictures);
        w.clearResults();
        w.clearResults();
        QCOMPARE(storedCounts(), QStringList(8, QStringLiteral("0")));
        QCOMPARE(countTexts(w), QStringList(8, QStringLiteral("0")));
        const QStringList texts = boxes.texts();
        QCOMPARE(texts.size(), 5);
        QVERIFY(texts[2].startsWith(u"中奖记录文件（中奖记录.csv）无法写入，中奖历史没有保存！\r\n原因：无法打开："));
        QVERIFY(texts[2].endsWith(u"\r\n\r\n中奖数量照常保存。本次运行中不再提示此信息。"));
        QCOMPARE(texts[3], QStringLiteral("确定要清空中奖结果吗？"));
    }

    void picturesAreCopied()
    {
        std::array<QByteArray, 8> pictures;
        for (int i = 0; i < 8; ++i)
            pictures[i] = QByteArray("bytes of slot ") + QByteArray::number(i + 1);
        ResultsWindow w(*m_history, pictures);
        for (int slot = 1; slot <= 8; ++slot) {
            QCOMPARE(w.pictureBox(slot)->picture(), pictures[slot - 1]);
            QCOMPARE(w.findChild<PictureBox *>(QStringLiteral("图片框%1").arg(slot)), w.pictureBox(slot));
        }
    }
};

QTEST_MAIN(TestResults)
#include "test_results.moc"
