// One size at any scaling: with Qt's scaling off the program draws in the
// screen's pixels and sets its fonts in pixels, so a box on a screen at
// 150 % (144 dpi) must measure what it measures at 100 %: its icon, its
// buttons, its margins and a check box keep their proportion to the text.
// Each scaling is its own run of this program (a screen's DPI is fixed
// while it runs), set up as the program sets itself up; the test compares
// what the two runs measured.
#include "platform/environment.h"
#include "widgets/designstyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>

namespace {

constexpr char kMeasureAt[] = "LUNORA_TEST_MEASURE_AT_DPI";

// The screen's DPI, the text's height, then the sizes that must follow it:
// the OK button's height, the icon, the box's margin, a check box.
QList<int> measure()
{
    QMessageBox box(QMessageBox::Information, u"信息："_qs, u"底图复制失败，底图没有改变！"_qs, QMessageBox::Ok);
    QCheckBox check(u"禁用特效"_qs);
    box.show();
    check.show();
    const auto *icon = box.findChild<QLabel *>(u"qt_msgboxex_icon_label"_qs);
    QStyleOptionButton option;
    option.initFrom(&check);
    return {box.logicalDpiY(),
            box.fontMetrics().height(),
            box.button(QMessageBox::Ok)->sizeHint().height(),
            icon ? icon->pixmap().height() : -1,
            box.layout()->contentsMargins().left(),
            check.style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, &check)};
}

QList<int> measuredAt(int dpi)
{
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kMeasureAt), QString::number(dpi));
    env.insert(u"QT_FONT_DPI"_qs, QString::number(dpi));
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    run.setProcessEnvironment(env);
    run.start(QCoreApplication::applicationFilePath(), {});
    if (!run.waitForFinished(60000) || run.exitCode() != 0)
        return {};
    QList<int> sizes;
    for (const QByteArray &word : run.readAllStandardOutput().simplified().split(' '))
        sizes << word.toInt();
    return sizes;
}

} // namespace

class TestDialogScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxesKeepTheirSizesAt150Percent()
    {
        const QList<int> plain = measuredAt(96);
        const QList<int> scaled = measuredAt(144);
        QCOMPARE(plain.size(), 6);
        QCOMPARE(scaled.size(), 6);
        // The runs had the screens the test means them to have.
        QCOMPARE(plain.at(0), 96);
        QCOMPARE(scaled.at(0), 144);
        QVERIFY(plain.at(1) > 0 && plain.at(3) > 0 && plain.at(2) > plain.at(1));
        // The text has the same pixels at both scalings, so each size must
        // too; a size that followed the screen's DPI came out half as large
        // again.
        QCOMPARE(scaled.at(1), plain.at(1));
        const char *what[] = {"button height", "icon", "margin", "check box"};
        for (int i = 2; i < 6; ++i)
            QVERIFY2(qAbs(scaled.at(i) - plain.at(i)) <= 1,
                     qPrintable(QStringLiteral("%1: %2 px at 144 dpi, %3 px at 96 dpi")
                                    .arg(QLatin1String(what[i - 2]))
                                    .arg(scaled.at(i))
                                    .arg(plain.at(i))));
    }
};

int main(int argc, char *argv[])
{
    preparePlatformEnvironment();
    if (qEnvironmentVariableIsSet(kMeasureAt)) {
        QApplication app(argc, argv);
        useDesignSizes();
        QStringList words;
        for (const int size : measure())
            words << QString::number(size);
        std::printf("%s\n", qPrintable(words.join(u' ')));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestDialogScale test;
    // The runner may name a platform (as the Wine wrapper does): it is for
    // the measuring runs, which choose their own, not for QTest.
    QStringList arguments = app.arguments();
    if (const qsizetype at = arguments.indexOf(u"-platform"_qs); at > 0)
        arguments.remove(at, qMin<qsizetype>(2, arguments.size() - at));
    return QTest::qExec(&test, arguments);
}

#include "test_dialogscale.moc"
