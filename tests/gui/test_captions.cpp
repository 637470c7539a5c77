// Captions as the operator sees them: titles show their text as typed, and
// every window's fonts cover the layout's pixel sizes whatever the screen's
// resolution. The program runs here at 144 dpi without scaling, where a
// point is 2 pixels instead of 4/3.
#include "support_mainwindow.h"
#include "support_runfolder.h"

#include "core/drawhistory.h"
#include "core/keys.h"
#include "core/draw.h"
#include "core/settingsfile.h"
#include "display/wheellayout.h"
#include "lottery/prizevalueswindow.h"
#include "lottery/resultswindow.h"
#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/inputbox.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

QString config(const QString &zbtLines, const QString &yanseLines = {})
{
    return QStringLiteral("[zbt]\r\n") + zbtLines + QStringLiteral("[yanse]\r\n") + yanseLines;
}

// The pixel size the font engine really draws a widget's text at.
int drawnPixels(const QWidget *widget)
{
    return QFontInfo(widget->font()).pixelSize();
}

// A label shows `literal` character for character when it is as wide as
// that text. Read as markup it would lose the tags or the entity and come
// out much narrower.
bool showsLiterally(const QLabel *label, const QString &literal)
{
    return label->text() == literal
        && label->sizeHint().width() >= QFontMetrics(label->font()).horizontalAdvance(literal);
}

} // namespace

class TestCaptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Without this the test would prove nothing about resolution.
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 144.0);
    }

    void storedTitlesShowAsTyped_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("tags") << QStringLiteral("<b>年终</b>抽奖");
        QTest::newRow("entity") << QStringLiteral("A &lt; B");
        QTest::newRow("line break tag") << QStringLiteral("<br>第一<br/>轮");
    }

    void storedTitlesShowAsTyped()
    {
        QFETCH(QString, title);
        RunFolder run;
        run.writeGbk(QStringLiteral("config.a"),
                     config(QStringLiteral("主标题=%1\r\n副标题=%1\r\n").arg(title)));
        auto w = run.openWindow();
        QVERIFY(showsLiterally(parts(w).controls().mainTitle, title));
        QVERIFY(showsLiterally(parts(w).controls().subTitle, title));
    }

    void editedTitlesShowAsTyped()
    {
        RunFolder run;
        auto w = run.openWindow();
        inputbox::Seam boxes;
        const QString main = QStringLiteral("<i>春节</i> &amp; 抽奖");
        const QString sub = QStringLiteral("<font color=red>现场</font>");
        boxes.queueOk(main);
        boxes.queueOk(sub);
        parts(w).menu().mainTitle->trigger();
        parts(w).menu().subTitle->trigger();
        QVERIFY(showsLiterally(parts(w).controls().mainTitle, main));
        QVERIFY(showsLiterally(parts(w).controls().subTitle, sub));
    }

    // The main window's design sizes, in pixels.
    void mainWindowFontsArePixels()
    {
        RunFolder run;
        auto w = run.openWindow();
        const MainControls &c = parts(w).controls();
        QCOMPARE(drawnPixels(c.mainTitle), 67);
        QCOMPARE(drawnPixels(c.subTitle), 40);
        QCOMPARE(drawnPixels(c.startCaption), 40);
        QCOMPARE(drawnPixels(c.stopCaption), 40);
        QCOMPARE(drawnPixels(c.panelClose), 20);
        QCOMPARE(drawnPixels(c.saveButton), 14);
    }

    void lotteryWindowFontsArePixels()
    {
        RunFolder run;
        SettingsFile settings(run.path(), gbkCodec());
        Draw draw;
        draw.setTable(PrizeTable::defaults());
        const std::array<QByteArray, 8> noPictures{};
        PrizeValuesWindow prizes(settings, draw, noPictures);
        QCOMPARE(drawnPixels(prizes.findChild<QLineEdit *>(QStringLiteral("编辑框1"))), 20);
        DrawHistory history(settings);
        ResultsWindow results(history, noPictures);
        QCOMPARE(drawnPixels(results.clearButton()), 16);
    }

    // The wheel's table gives the centre captions 30 points at size 0 and
    // 42 at size 4: 40 and 56 pixels.
    void enlargedCaptionsKeepTheirPixels()
    {
        RunFolder run;
        auto w = run.openWindow();
        parts(w).wheel().applySize(4);
        QCOMPARE(drawnPixels(parts(w).controls().startCaption), 56);
        QCOMPARE(drawnPixels(parts(w).controls().stopCaption), 56);
        parts(w).wheel().applySize(0);
        QCOMPARE(drawnPixels(parts(w).controls().startCaption), 40);
    }

    // A title font is stored in points and shown at the pixels those points
    // have on the layout's screens: 30 points, 40 pixels.
    void storedTitlePointsShowAsLayoutPixels()
    {
        RunFolder run;
        run.writeGbk(QStringLiteral("config.a"),
                     config({}, QStringLiteral("主标题字体=宋体\r\n主标题字体大小=30\r\n主标题字体颜色=65535\r\n")));
        auto w = run.openWindow();
        QCOMPARE(drawnPixels(parts(w).controls().mainTitle), 40);
    }

    // The font dialog deals in points: it offers the design title at 50
    // points, and a confirmed 24 points is stored as 24, shown at 32 pixels,
    // with the label 24 × 1.8 pixels high.
    void fontDialogChoicesStayInPoints()
    {
        RunFolder run;
        auto w = run.openWindow();
        FontDialog::Seam dialogs;
        dialogs.queueCancel();
        parts(w).menu().mainTitleFont->trigger();
        QCOMPARE(dialogs.openedWith().size(), 1);
        QCOMPARE(dialogs.openedWith()[0].font.pointSize(), 50);
        QCOMPARE(parts(w).settings().read(DataFile::Config, keys::kYanse, keys::kMainTitleFontSize),
                 QStringLiteral("50"));
        QCOMPARE(parts(w).controls().mainTitle->height(), 90);

        QFont chosen = parts(w).controls().subTitle->font();
        chosen.setPointSize(24);
        dialogs.queueOk({chosen, QColor(0, 0, 255)});
        parts(w).menu().subTitleFont->trigger();
        QCOMPARE(parts(w).settings().read(DataFile::Config, keys::kYanse, keys::kSubTitleFontSize),
                 QStringLiteral("24"));
        QCOMPARE(drawnPixels(parts(w).controls().subTitle), 32);
        QCOMPARE(parts(w).controls().subTitle->height(), 43);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "144");
    QApplication app(argc, argv);
    TestCaptions test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_captions.moc"
