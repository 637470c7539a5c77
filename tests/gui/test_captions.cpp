// Captions as the operator sees them: titles show their text as typed, and
// every window's fonts cover the layout's pixel sizes whatever the screen's
// resolution. The program runs here at 144 dpi without scaling, where a
// point is 2 pixels instead of 4/3.
#include "support_operator.h"
#include "support_runfolder.h"

#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/inputbox.h"
#include "widgets/modalwindow.h"

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

QWidget &widget(const QWidget &w, const char16_t *name)
{
    return control<QWidget>(w, QString::fromUtf16(name));
}

QLabel &title(const QWidget &w, bool main)
{
    return control<QLabel>(w, main ? QStringLiteral("透明标签_主标题") : QStringLiteral("透明标签_副标题"));
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
        QVERIFY(showsLiterally(&::title(*w, true), title));
        QVERIFY(showsLiterally(&::title(*w, false), title));
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
        control<QAction>(*w, QStringLiteral("主标题")).trigger();
        control<QAction>(*w, QStringLiteral("副标题")).trigger();
        QVERIFY(showsLiterally(&title(*w, true), main));
        QVERIFY(showsLiterally(&title(*w, false), sub));
    }

    // The main window's design sizes, in pixels.
    void mainWindowFontsArePixels()
    {
        RunFolder run;
        auto w = run.openWindow();
        QCOMPARE(drawnPixels(&title(*w, true)), 67);
        QCOMPARE(drawnPixels(&title(*w, false)), 40);
        QCOMPARE(drawnPixels(&widget(*w, u"透明标签_开始")), 40);
        QCOMPARE(drawnPixels(&widget(*w, u"透明标签_结束")), 40);
        QCOMPARE(drawnPixels(&widget(*w, u"标签8")), 20);
        QCOMPARE(drawnPixels(&widget(*w, u"按钮_保存")), 14);
    }

    // The prize settings and results windows, opened from the menu as an
    // operator does (the initial password is empty).
    void lotteryWindowFontsArePixels()
    {
        RunFolder run;
        auto w = run.openWindow();
        modalwindow::Seam windows;
        inputbox::Seam passwords;
        passwords.queueOk(QString());
        int prizeEdit = 0;
        int clearButton = 0;
        windows.queueHandler([](QDialog &password) {
            QTest::mouseClick(&control<QPushButton>(password, QStringLiteral("按钮_登陆")), Qt::LeftButton);
        });
        windows.queueHandler([&](QDialog &prizes) {
            prizeEdit = drawnPixels(&control<QLineEdit>(prizes, QStringLiteral("编辑框1")));
        });
        windows.queueHandler([&](QDialog &results) {
            clearButton = drawnPixels(&control<QPushButton>(results, QStringLiteral("按钮1")));
        });
        control<QAction>(*w, QStringLiteral("奖项设置")).trigger();
        control<QAction>(*w, QStringLiteral("中奖结果")).trigger();
        QCOMPARE(windows.opened(), QStringList({QStringLiteral("PasswordWindow"), QStringLiteral("PrizeValuesWindow"),
                                                QStringLiteral("ResultsWindow")}));
        QCOMPARE(prizeEdit, 20);
        QCOMPARE(clearButton, 16);
    }

    // The wheel's table gives the centre captions 30 points at size 0 and
    // 42 at size 4: 40 and 56 pixels.
    void enlargedCaptionsKeepTheirPixels()
    {
        RunFolder run;
        auto w = run.openWindow();
        operate::saveWheelSize(*w, 4);
        QCOMPARE(drawnPixels(&widget(*w, u"透明标签_开始")), 56);
        QCOMPARE(drawnPixels(&widget(*w, u"透明标签_结束")), 56);
        operate::saveWheelSize(*w, 0);
        QCOMPARE(drawnPixels(&widget(*w, u"透明标签_开始")), 40);
    }

    // A title font is stored in points and shown at the pixels those points
    // have on the layout's screens: 30 points, 40 pixels.
    void storedTitlePointsShowAsLayoutPixels()
    {
        RunFolder run;
        run.writeGbk(QStringLiteral("config.a"),
                     config({}, QStringLiteral("主标题字体=宋体\r\n主标题字体大小=30\r\n主标题字体颜色=65535\r\n")));
        auto w = run.openWindow();
        QCOMPARE(drawnPixels(&title(*w, true)), 40);
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
        control<QAction>(*w, QStringLiteral("主标题字体")).trigger();
        QCOMPARE(dialogs.openedWith().size(), 1);
        QCOMPARE(dialogs.openedWith()[0].font.pointSize(), 50);
        QCOMPARE(storedValue(run, QStringLiteral("主标题字体大小")), QStringLiteral("50"));
        QCOMPARE(title(*w, true).height(), 90);

        QFont chosen = title(*w, false).font();
        chosen.setPointSize(24);
        dialogs.queueOk({chosen, QColor(0, 0, 255)});
        control<QAction>(*w, QStringLiteral("副标题字体")).trigger();
        QCOMPARE(storedValue(run, QStringLiteral("副标题字体大小")), QStringLiteral("24"));
        QCOMPARE(drawnPixels(&title(*w, false)), 32);
        QCOMPARE(title(*w, false).height(), 43);
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
