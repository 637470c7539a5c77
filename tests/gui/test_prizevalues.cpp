// The prize settings window: layout, loading, the mode radios and saving.

#include "support_settingsfolder.h"

#include "core/config.h"
#include "core/keys.h"
#include "core/draw.h"
#include "core/settingsfile.h"
#include "core/wincounts.h"
#include "lottery/prizevalueswindow.h"
#include "platform/gbkcodec.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QFontMetrics>
#include <QTest>
#include <memory>

namespace {

const std::array<QByteArray, 8> kNoPictures{};
const QStringList kDesignTexts{"1", "2", "4", "8", "10", "15", "20", "50"};

QStringList editTexts(const PrizeValuesWindow &w)
{
    QStringList texts;
    for (int slot = 1; slot <= 8; ++slot)
        texts << w.valueEdit(slot)->text();
    return texts;
}

} // namespace

class TestPrizeValues : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SettingsFolder> m_folder;
    SettingsFile *m_settings = nullptr;

    QStringList storedValues() const
    {
        QStringList texts;
        for (QStringView key : keys::kPrizeValue)
            texts << m_settings->readSetting(key);
        return texts;
    }
    void storeValues(const QStringList &texts)
    {
        for (int i = 0; i < 8; ++i)
            QVERIFY(m_settings->writeSetting(keys::kPrizeValue[i], texts[i]));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        QVERIFY(m_folder->isValid());
        m_settings = &m_folder->settings();
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour"); // invalid: the toolkit's default
        const QColor navy(0, 0, 128);
        QTest::newRow("标签1") << "标签1" << QRect(4, 0, 104, 24) << "对应奖品" << 16 << false << navy;
        QTest::newRow("标签2") << "标签2" << QRect(115, 0, 157, 24) << "中奖概率(奖品数量)" << 16 << false << navy;
        QTest::newRow("标签5") << "标签5" << QRect(280, 0, 104, 24) << "对应奖品" << 16 << false << navy;
        QTest::newRow("标签6") << "标签6" << QRect(391, 0, 157, 24) << "中奖概率(奖品数量)" << 16 << false << navy;
        QTest::newRow("编辑框1") << "编辑框1" << QRect(115, 28, 157, 40) << "1" << 20 << true << QColor();
        QTest::newRow("编辑框4") << "编辑框4" << QRect(115, 166, 157, 40) << "8" << 20 << true << QColor();
        QTest::newRow("编辑框5") << "编辑框5" << QRect(391, 28, 157, 40) << "10" << 20 << true << QColor();
        QTest::newRow("编辑框7") << "编辑框7" << QRect(391, 120, 157, 40) << "20" << 20 << true << QColor();
        QTest::newRow("单选框1") << "单选框1" << QRect(103, 224, 150, 24) << "按奖品数量抽奖" << 16 << false << QColor();
        QTest::newRow("单选框2") << "单选框2" << QRect(327, 224, 150, 24) << "按概率抽奖" << 16 << false << QColor();
        QTest::newRow("分组框1") << "分组框1" << QRect(7, 243, 537, 125) << "设置说明" << -1 << false << QColor();
        QTest::newRow("标签3") << "标签3" << QRect(8, 15, 521, 102) << "" << 14 << false << navy;
        QTest::newRow("按钮1") << "按钮1" << QRect(223, 372, 112, 29) << "确定" << 16 << false << QColor();
        QTest::newRow("图片框2") << "图片框2" << QRect(8, 74, 100, 40) << "" << -1 << false << QColor();
        QTest::newRow("图片框8") << "图片框8" << QRect(288, 166, 100, 40) << "" << -1 << false << QColor();
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QCOMPARE(w.windowTitle(), QStringLiteral("设置"));
        QCOMPARE(w.size(), QSize(564, 433));
        auto *control = w.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), geometry);
        QString caption;
        if (auto *l = qobject_cast<QLabel *>(control))
            caption = l->text();
        else if (auto *e = qobject_cast<QLineEdit *>(control))
            caption = e->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(control))
            caption = b->text();
        else if (auto *g = qobject_cast<QGroupBox *>(control))
            caption = g->title();
        if (!text.isEmpty())
            QCOMPARE(caption, text);
        if (pixels > 0 && name == u"标签3") {
            // The explanation starts at its design size and shrinks until the
            // whole text fits, whatever face stands in for the design one.
            auto *label = qobject_cast<QLabel *>(control);
            QVERIFY(label->font().pixelSize() <= pixels);
            const QRect needed = QFontMetrics(label->font()).boundingRect(
                QRect(0, 0, label->contentsRect().width(), 1 << 20), Qt::TextWordWrap, label->text());
            QVERIFY(needed.height() <= label->contentsRect().height());
        } else if (pixels > 0) {
            QCOMPARE(control->font().pixelSize(), pixels);
            QCOMPARE(control->font().bold(), bold);
        }
        if (colour.isValid())
            QCOMPARE(control->palette().color(QPalette::WindowText), colour);
    }

    void explanationAndFaces()
    {
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        auto *explanation = w.findChild<QLabel *>(QStringLiteral("标签3"));
        QVERIFY(explanation);
        QCOMPARE(explanation->parentWidget()->objectName(), QStringLiteral("分组框1"));
        QVERIFY(explanation->text().startsWith(QStringLiteral("1.按奖品数量抽奖：\r\n    选择按数量抽奖")));
        QVERIFY(explanation->text().endsWith(QStringLiteral("保持盒子里的奖品总量不变，等待下一次抽取。")));
        QVERIFY(explanation->wordWrap());
        for (const char *name : {"标签3", "编辑框1", "编辑框8", "按钮1"})
            QCOMPARE(w.findChild<QWidget *>(QString::fromUtf8(name))->font().families().value(0),
                     QStringLiteral("宋体"));
    }

    void firstOpeningShowsAndSavesTheDesignTexts()
    {
        Draw draw; // its table all 0
        messagebox::Seam boxes;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QSignalSpy finished(&w, &QDialog::finished);
        QCOMPARE(editTexts(w), kDesignTexts);
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        QCOMPARE(storedValues(), kDesignTexts);
        QCOMPARE(draw.table().values, PrizeTable::defaults().values);
        QCOMPARE(boxes.texts(), QStringList{"设置成功！"});
        QCOMPARE(boxes.shown()[0].caption, QStringLiteral("信息："));
        QCOMPARE(boxes.shown()[0].buttons, messagebox::Buttons::Ok);
        QCOMPARE(finished.size(), 1);
    }

    void storedTextsAreShownRaw()
    {
        const QStringList stored{"3.9", "-2", "abc", "", "５", "7个", "0", "100"};
        storeValues(stored);
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QCOMPARE(editTexts(w), stored);
    }

    // With "一" empty the design texts stay even if other keys hold values.
    void emptyFirstValueKeepsTheDesignTexts()
    {
        storeValues({"", "9", "9", "9", "9", "9", "9", "9"});
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QCOMPARE(editTexts(w), kDesignTexts);
    }

    void savedTextsAndTheirValues_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("fraction") << "3.9" << 3;
        QTest::newRow("negative") << "-2" << -2;
        QTest::newRow("text") << "abc" << 0;
        QTest::newRow("full-width") << "５" << 5;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading number") << "12个" << 12;
    }

    void savedTextsAndTheirValues()
    {
        QFETCH(QString, typed);
        QFETCH(int, value);
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        messagebox::Seam boxes;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        w.valueEdit(3)->setText(typed);
        w.savePrizeSettings();
        QCOMPARE(m_settings->readSetting(keys::kPrizeValue[2]), typed);
        QCOMPARE(draw.table()[3], value);
        QCOMPARE(draw.table()[1], 1);
        QCOMPARE(draw.table()[8], 50);
    }

    // Refused whole, naming the character; the window stays open to mend it.
    void valuesTheFileCannotHoldAreRefused()
    {
        storeValues(kDesignTexts);
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        messagebox::Seam boxes;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        w.valueEdit(2)->setText(QStringLiteral("5台🎁"));
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        QCOMPARE(storedValues(), kDesignTexts);
        QCOMPARE(draw.table().values, PrizeTable::defaults().values);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY2(boxes.texts()[0].startsWith(QStringLiteral("奖品数值中有程序的文件无法保存的字符：“🎁”(U+1F381)")),
                 qPrintable(boxes.texts()[0]));
    }

    void clearingEveryBoxEmptiesTheTable()
    {
        storeValues(kDesignTexts);
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        messagebox::Seam boxes;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        for (int slot = 1; slot <= 8; ++slot)
            w.valueEdit(slot)->clear();
        QTest::mouseClick(w.okButton(), Qt::LeftButton);
        QCOMPARE(storedValues(), QStringList(8, QString()));
        QCOMPARE(draw.table().values, (std::array<qint32, 8>{}));
        QCOMPARE(boxes.texts(), QStringList{"设置成功！"});
        // The next start-up falls back to the defaults.
        QCOMPARE(Config(*m_settings).prizeTable().values, PrizeTable::defaults().values);
    }

    void modeShownOnOpening_data()
    {
        QTest::addColumn<QString>("lx");
        QTest::addColumn<bool>("byProbability");
        QTest::newRow("missing") << QString() << false;
        QTest::newRow("真") << "真" << true;
        QTest::newRow("假") << "假" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("true") << "true" << false;
    }

    void modeShownOnOpening()
    {
        QFETCH(QString, lx);
        QFETCH(bool, byProbability);
        if (!lx.isNull())
            QVERIFY(m_settings->writeSetting(keys::kDrawMode, lx));
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, kNoPictures);
        QCOMPARE(w.byProbabilityRadio()->isChecked(), byProbability);
        QCOMPARE(w.byQuantityRadio()->isChecked(), !byProbability);
    }

    // The radios save the mode at once; only 确定 touches the values.
    void modeClickWritesAtOnce()
    {
        const PrizeTable before = PrizeTable::defaults();
        Draw draw;
        draw.setTable(before);
        messagebox::Seam boxes;
        {
            PrizeValuesWindow w(*m_settings, draw, kNoPictures);
            w.show();
            w.valueEdit(1)->setText(QStringLiteral("99"));
            QTest::mouseClick(w.byProbabilityRadio(), Qt::LeftButton);
            QCOMPARE(m_settings->readSetting(keys::kDrawMode), QStringLiteral("真"));
            QVERIFY(w.byProbabilityRadio()->isChecked());
            QVERIFY(!w.byQuantityRadio()->isChecked());
            QTest::mouseClick(w.byQuantityRadio(), Qt::LeftButton);
            QCOMPARE(m_settings->readSetting(keys::kDrawMode), QStringLiteral("假"));
            QVERIFY(w.byQuantityRadio()->isChecked());
            QTest::mouseClick(w.byProbabilityRadio(), Qt::LeftButton);
        }
        QCOMPARE(Config(*m_settings).drawMode(), DrawMode::ByProbability);
        QCOMPARE(draw.table().values, before.values);
        QVERIFY(m_settings->readSetting(keys::kPrizeValue[0]).isEmpty());
        QVERIFY(boxes.shown().isEmpty());
    }

    void picturesAreCopied()
    {
        std::array<QByteArray, 8> pictures;
        for (int i = 0; i < 8; ++i)
            pictures[i] = QByteArray("bytes of slot ") + QByteArray::number(i + 1);
        Draw draw;
        PrizeValuesWindow w(*m_settings, draw, pictures);
        for (int slot = 1; slot <= 8; ++slot) {
            QCOMPARE(w.pictureBox(slot)->picture(), pictures[slot - 1]);
            QCOMPARE(w.findChild<PictureBox *>(QStringLiteral("图片框%1").arg(slot)), w.pictureBox(slot));
        }
    }

    void failedSaveIsNotReportedAsSuccess()
    {
        SettingsFile unwritable(m_folder->filePath(QStringLiteral("missing")), gbkCodec());
        Draw draw;
        messagebox::Seam boxes;
        PrizeValuesWindow w(unwritable, draw, kNoPictures);
        w.valueEdit(2)->setText(QStringLiteral("7"));
        w.savePrizeSettings();
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(!boxes.texts().contains(QStringLiteral("设置成功！")));
        QVERIFY(boxes.texts()[0].contains(QStringLiteral("保存失败")));
        // The values still apply for the rest of this run: by quantity the
        // stock comes from them, not from the file, and the window shows them.
        QVERIFY(draw.refill(unwritable, unwritable));
        QCOMPARE(draw.table()[2], 7);
        PrizeValuesWindow again(unwritable, draw, kNoPictures);
        QCOMPARE(again.valueEdit(2)->text(), QStringLiteral("7"));
    }

    // The draw reads the mode from the file: a click whose write failed says
    // so and leaves the radios on the mode the draw will still use.
    void failedModeClickKeepsTheStoredMode()
    {
        SettingsFile unwritable(m_folder->filePath(QStringLiteral("missing")), gbkCodec());
        Draw draw;
        messagebox::Seam boxes;
        PrizeValuesWindow w(unwritable, draw, kNoPictures);
        w.show();
        QVERIFY(w.byQuantityRadio()->isChecked());
        QTest::mouseClick(w.byProbabilityRadio(), Qt::LeftButton);
        QCOMPARE(Config(unwritable).drawMode(), DrawMode::ByQuantity);
        QVERIFY(w.byQuantityRadio()->isChecked());
        QVERIFY(!w.byProbabilityRadio()->isChecked());
        QCOMPARE(boxes.texts().size(), 1);
        QVERIFY(boxes.texts()[0].contains(QStringLiteral("保存失败")));
    }
};

QTEST_MAIN(TestPrizeValues)
#include "test_prizevalues.moc"
