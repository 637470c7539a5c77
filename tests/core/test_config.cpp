#include "support_settingsfolder.h"

#include "core/config.h"

#include <QFile>
#include <QTest>

#include <limits>

namespace {

QString text(std::optional<qint32> n)
{
    return n ? QString::number(*n) : QStringLiteral("-");
}

// Every typed read of a file in one line, so that a table row states all of
// them at once.
QString readBack(const Config &c)
{
    const Config::Position at = c.position(Config::Place::Wheel);
    const std::optional<Config::TitleFont> font = c.titleFont(Config::Title::Sub);
    const QString fontText = font ? QStringLiteral("%1/%2/%3,%4,%5")
                                        .arg(font->face)
                                        .arg(font->points)
                                        .arg(font->colour.red)
                                        .arg(font->colour.green)
                                        .arg(font->colour.blue)
                                  : QStringLiteral("-");
    // A typed text and the number it stands for.
    const auto typed = [](const QString &text, qint32 number) {
        return QStringLiteral("%1=%2").arg(text).arg(number);
    };
    const DisplayOptions o = c.displayOptions();
    return QStringList{text(at.left) + u',' + text(at.top), typed(o.resultWidth, o.resultWidthPx()),
                       typed(o.resultHeight, o.resultHeightPx()), fontText,
                       typed(o.wheelSize, o.wheelSteps()),
                       o.autoStop, o.rollSpeed, QString::number(o.effectsDisabled),
                       c.windowMode() == Config::WindowMode::Windowed ? u"win"_qs : u"full"_qs,
                       QString::number(c.musicOn()), text(c.style()),
                       QString::number(c.publicDraw()), c.screen().toText()}
        .join(u' ');
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void writesKeepTheirStoredForm();
    void screenMatching_data();
    void screenMatching();
    void rollInterval_data();
    void rollInterval();
    void autoStopDelay_data();
    void autoStopDelay();
};

void TestConfig::parse_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typed");
    // position, width, height, font, wheel size (the three as text=number),
    // auto stop, speed, effects off, mode, music, style, public draw, screen
    const QString nothing = u"-,- 200=200 160=160 - 0=0 0 30 0 full 1 - 0 "_qs;
    QTest::newRow("nothing stored") << u""_qs << nothing;
    // An empty value counts as none: the option keeps its default.
    QTest::newRow("empty values")
        << u"[zbt]\r\n奖品图片宽=\r\n奖品图片高=\r\n计次=\r\n自动停止=\r\n滚动速度=\r\n"_qs << nothing;
    QTest::newRow("stored values")
        << u"[zbt]\r\n外形框1左边=40\r\n外形框1顶边=-30\r\n奖品图片宽=120\r\n奖品图片高=90\r\n"
           u"计次=3\r\n自动停止=15\r\n滚动速度=45\r\n禁用特效=真\r\n界面大小=窗口\r\n"
           u"背景音乐=假\r\n样式=zp3\r\n公开抽奖=真\r\n屏幕=HDMI-1\r\n"
           u"[yanse]\r\n副标题字体=宋体\r\n副标题字体大小=20\r\n副标题字体颜色=255\r\n"_qs
        << u"40,-30 120=120 90=90 宋体/20/255,0,0 3=3 15 45 1 win 0 3 1 HDMI-1"_qs;
    // Each coordinate stands alone; a size is never negative; the number is
    // read as far as it goes, its text kept as typed.
    QTest::newRow("odd numbers")
        << u"[zbt]\r\n外形框1左边=abc\r\n奖品图片宽=-5\r\n奖品图片高=7.9px\r\n计次=2x\r\n"_qs
        << u"0,- -5=0 7.9px=7 - 2x=2 0 30 0 full 1 - 0 "_qs;
    // Only the exact texts count: "假" alone switches the music off, "真"
    // alone is true, "窗口" alone is windowed, zp1 to zp4 alone a style.
    QTest::newRow("near misses")
        << u"[zbt]\r\n禁用特效=true\r\n界面大小=窗口模式\r\n背景音乐=off\r\n样式=zp5\r\n公开抽奖=是\r\n"_qs
        << nothing;
    // A font counts only with its colour; its size is held to 1..1000 and
    // the colour is red in the low byte.
    QTest::newRow("font without colour")
        << u"[yanse]\r\n副标题字体=宋体\r\n副标题字体大小=12\r\n"_qs << nothing;
    QTest::newRow("font bounds and blue")
        << u"[yanse]\r\n副标题字体大小=5000\r\n副标题字体颜色=16711680\r\n"_qs
        << u"-,- 200=200 160=160 /1000/0,0,255 0=0 0 30 0 full 1 - 0 "_qs;
    QTest::newRow("font size zero")
        << u"[yanse]\r\n副标题字体大小=0\r\n副标题字体颜色=65280\r\n"_qs
        << u"-,- 200=200 160=160 /1/0,255,0 0=0 0 30 0 full 1 - 0 "_qs;
}

void TestConfig::parse()
{
    QFETCH(QString, file);
    QFETCH(QString, typed);
    SettingsFolder folder;
    QFile config(folder.filePath(QStringLiteral("config.a")));
    const QByteArray bytes = gbkCodec().encode(file);
    QVERIFY(config.open(QIODevice::WriteOnly) && config.write(bytes) == bytes.size());
    config.close();
    QCOMPARE(readBack(Config(folder.settings())), typed);
}

// Each write stores the form the program has always stored, and reads back.
void TestConfig::writesKeepTheirStoredForm()
{
    SettingsFolder folder;
    Config c(folder.settings());
    QCOMPARE(c.titleToEdit(Config::Title::Main), u"购物有奖活动"_qs);
    QVERIFY(c.setPosition(Config::Place::Wheel, -12, 34));
    QVERIFY(c.setDisplayOptions({u"120"_qs, u"9x"_qs, u"45"_qs, u"15"_qs, u"3"_qs, true}));
    QVERIFY(c.setWindowMode(Config::WindowMode::Windowed));
    QVERIFY(c.setMusicOn(false));
    QVERIFY(c.setStyle(3));
    QVERIFY(c.setScreen({u"HDMI-1"_qs, QPoint(-1280, 0)}));
    QVERIFY(c.setTitle(Config::Title::Main, u"年会"_qs));
    QVERIFY(c.setTitleFont(Config::Title::Sub, {u"宋体"_qs, 20, {1, 2, 3}}));
    QVERIFY(c.setPrizeValues({u"5"_qs, u"0"_qs, u"a"_qs, u""_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs}));
    QVERIFY(c.setDrawMode(DrawMode::ByProbability));
    QVERIFY(c.setPassword("abc"));
    const QString stored = gbkCodec().decode(folder.bytes(DataFile::Config));
    const QString password = folder.settings().readSetting(u"password");
    QCOMPARE(stored, u"[zbt]\r\n外形框1左边=-12\r\n外形框1顶边=34\r\n奖品图片高=9x\r\n奖品图片宽=120\r\n"
                     u"滚动速度=45\r\n禁用特效=真\r\n自动停止=15\r\n计次=3\r\n界面大小=窗口\r\n"
                     u"背景音乐=假\r\n样式=zp3\r\n屏幕=HDMI-1@-1280,0\r\n主标题=年会\r\n一=5\r\n二=0\r\n三=a\r\n"
                     u"四=\r\n五=1\r\n六=2\r\n七=3\r\n八=4\r\nlx=真\r\npassword="_qs
                         + password
                         + u"\r\n[yanse]\r\n副标题字体=宋体\r\n副标题字体大小=20\r\n副标题字体颜色=197121\r\n"_qs);
    QCOMPARE(readBack(c), u"-12,34 120=120 9x=9 宋体/20/1,2,3 3=3 15 45 1 win 0 3 0 HDMI-1@-1280,0"_qs);
    QCOMPARE(c.title(Config::Title::Main), u"年会"_qs);
    QCOMPARE(c.prizeValues()->at(2), u"a"_qs);
    QCOMPARE(c.drawMode(), DrawMode::ByProbability);
    QCOMPARE(c.password(), QByteArray("abc"));
    QVERIFY(c.setMusicOn(true) && c.setWindowMode(Config::WindowMode::FullScreen));
    QVERIFY(c.musicOn() && c.windowMode() == Config::WindowMode::FullScreen);
    QCOMPARE(folder.settings().readSetting(u"背景音乐"), u"真"_qs);
    QCOMPARE(folder.settings().readSetting(u"界面大小"), u"全屏"_qs);
}

// The stored screen is found by name and corner, then by model and corner
// (Windows numbers monitors of one model in the order it lists them), then
// by name alone; an older value holding only a name (or an "@" that is part
// of the name) still reads.
void TestConfig::screenMatching_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("found");
    QTest::newRow("name and corner") << u"DELL U2419H@3840,0"_qs << 2;
    QTest::newRow("numbered the other way now") << u"DELL U2419H@1920,0"_qs << 1;
    QTest::newRow("and back") << u"DELL U2419H (2)@3840,0"_qs << 2;
    QTest::newRow("moved: the name alone") << u"DELL U2419H@5760,0"_qs << 2;
    QTest::newRow("old value: a name only") << u"DELL U2419H (2)"_qs << 1;
    QTest::newRow("an at sign in the name") << u"a@b@-5,7"_qs << 3;
    QTest::newRow("not a corner") << u"a@b"_qs << 3;
    QTest::newRow("not connected") << u"HDMI-1@0,0"_qs << -1;
    QTest::newRow("nothing stored") << u""_qs << -1;
}

void TestConfig::screenMatching()
{
    QFETCH(QString, stored);
    QFETCH(int, found);
    // A laptop's panel and two monitors of one model, as Qt names them on
    // Windows.
    const QList<ScreenPlace> screens{{u"Built-in Display"_qs, QPoint(0, 0)},
                                     {u"DELL U2419H (2)"_qs, QPoint(1920, 0)},
                                     {u"DELL U2419H"_qs, QPoint(3840, 0)},
                                     {u"a@b"_qs, QPoint(-5, 7)}};
    const ScreenPlace place = ScreenPlace::fromText(stored);
    QCOMPARE(place.toText(), stored);
    QCOMPARE(place.matchIn(screens), found);
}

void TestConfig::rollInterval_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("interval");
    QTest::addRow("zero") << QStringLiteral("0") << 30;
    QTest::addRow("negative") << QStringLiteral("-5") << 30;
    QTest::addRow("not a number") << QStringLiteral("abc") << 30;
    QTest::addRow("empty") << QString() << 30;
    QTest::addRow("below one") << QStringLiteral("0.9") << 30;
    QTest::addRow("leading number") << QStringLiteral("12px") << 12;
    QTest::addRow("fraction") << QStringLiteral("1.5") << 1;
    QTest::addRow("full-width") << QStringLiteral("１２") << 12;
    QTest::addRow("slowest") << QStringLiteral("1000") << 1000;
    QTest::addRow("above the slowest") << QStringLiteral("1001") << 1000;
    QTest::addRow("huge") << QStringLiteral("1e12") << 1000;
}

// A speed that reads as 0 ms or less would leave the roll timer stopped, so
// that no stop could land: it rolls at the default 30 ms instead. One above
// a second rolls at a second, so a stop lands within it. The text stays as
// typed.
void TestConfig::rollInterval()
{
    QFETCH(QString, speed);
    QFETCH(int, interval);
    DisplayOptions options;
    options.rollSpeed = speed;
    QCOMPARE(options.rollIntervalMs(), interval);
    QCOMPARE(options.rollSpeed, speed);
}

void TestConfig::autoStopDelay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("set");
    QTest::addColumn<int>("delay");
    QTest::addRow("off") << QStringLiteral("0") << false << 0;
    QTest::addRow("1.5 s") << QStringLiteral("1.5") << true << 1500;
    QTest::addRow("10 s") << QStringLiteral("10") << true << 10000;
    QTest::addRow("full-width") << QStringLiteral("２") << true << 2000;
    QTest::addRow("huge") << QStringLiteral("1e12") << true << std::numeric_limits<qint32>::max();
    QTest::addRow("negative") << QStringLiteral("-3") << true << -3000;
    QTest::addRow("not a number") << QStringLiteral("abc") << true << 0;
    QTest::addRow("zero written otherwise") << QStringLiteral("0.0") << true << 0;
}

// Only exactly "0" means no auto-stop; anything else is a delay, and by the
// timer's interval rule 0 or below stops it.
void TestConfig::autoStopDelay()
{
    QFETCH(QString, text);
    QFETCH(bool, set);
    QFETCH(int, delay);
    DisplayOptions options;
    options.autoStop = text;
    QCOMPARE(options.autoStopMs().has_value(), set);
    QCOMPARE(options.autoStopMs().value_or(0), delay);
}

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
