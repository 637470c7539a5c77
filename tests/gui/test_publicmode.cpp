// The public mode in the window: Shift+Q is neither registered nor caught,
// focused or not; the caption shows the commitment and the last check, and
// a roll stopped by hand lands where its public draw says.
#include "support_operator.h"
#include "support_runfolder.h"
#include "support_wait.h"

#include "core/historycheck.h"
#include "core/historyfile.h"
#include "core/wholefile.h"
#include "platform/hotkey.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"

#include <QFontMetrics>
#include <QLabel>
#include <QTest>

namespace {

// By quantity the first ticket is slot 1's: a designation would land there.
// Each slot's picture names it, so the result picture tells where a roll
// landed.
void prepare(const RunFolder &run, const QString &mode)
{
    run.writeGbk(QStringLiteral("config.a"), QStringLiteral("[zbt]\r\n") + mode + kQuickRoll
                                                 + QStringLiteral("lx=假\r\n一=1\r\n八=1000000\r\n"));
    for (int slot = 1; slot <= 8; ++slot)
        run.writeBytes(QStringLiteral("奖品图片/%1.jpg").arg(slot), QByteArray("picture ") + QByteArray::number(slot));
}

// The cells of the last line of 中奖记录.csv.
QStringList lastCells(const RunFolder &run)
{
    QFile file(run.file(history::kFileName.toString()));
    return file.open(QIODevice::ReadOnly) ? *history::lines(file.readAll()).constLast().cells : QStringList();
}

// Shift+Q as typed on the focused 按钮1: where no system-wide grab exists
// the window takes it itself.
void typeShiftQ(const QWidget &w)
{
    QTest::keyClick(&control<QPushButton>(w, QStringLiteral("按钮1")), Qt::Key_Q, Qt::ShiftModifier);
}

// Shift+Q as the system delivers it to the registered hot key (on Windows
// a key typed into the window goes that way too).
void systemShiftQ(const QWidget &w)
{
    Q_EMIT w.findChild<GlobalHotKey *>()->activated();
}

bool designationShown(const QWidget &w)
{
    return !control<TransparentLabel>(w, QStringLiteral("透明标签_zd")).isHidden();
}

} // namespace

class TestPublicMode : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shiftQDoesNothingAndTheDrawIsPublic();
    void switchedFromTheMenuBehindThePassword();
};

void TestPublicMode::shiftQDoesNothingAndTheDrawIsPublic()
{
    RunFolder run;
    prepare(run, QStringLiteral("公开抽奖=真\r\n"));
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QVERIFY(!w->findChild<GlobalHotKey *>()); // nothing registered with the system
    const auto &caption = control<QLabel>(*w, QStringLiteral("标签_公开抽奖"));

    const QString commitment = lastCells(run)[10];
    QCOMPARE(lastCells(run)[1], u"承诺"_qs);
    QVERIFY(caption.isVisible());
    QCOMPARE(caption.text(), u"公开抽奖 · 第 1 次 · 承诺 "_qs + commitment.left(16) + u" · 校验 "_qs
                                 + lastCells(run)[11].left(16));
    // The characters themselves, not only the band, at least 28 pixels high.
    QVERIFY(QFontMetrics(caption.font()).tightBoundingRect(u"公开抽奖"_qs).height() >= 28);

    typeShiftQ(*w);
    QWidget other;
    other.show();
    QTest::keyClick(&other, Qt::Key_Q, Qt::ShiftModifier);
    QVERIFY(!designationShown(*w));

    QVERIFY(drawOnce(*w));
    const QStringList draw = lastCells(run);
    QCOMPARE(draw[6], u"1"_qs);
    QCOMPARE(draw[5], u"否"_qs);
    // The wheel shows the recorded slot's prize.
    const QByteArray shown = control<PictureBox>(*w, QStringLiteral("图片框a_结果")).picture();
    QCOMPARE(shown, readWholeFile(run.file(QStringLiteral("奖品图片/%1.jpg").arg(draw[1]))));
    QCOMPARE(caption.text(), u"公开抽奖 · 第 2 次 · 承诺 "_qs + commitment.left(16) + u" · 校验 "_qs
                                 + draw[11].left(16));
    QFile file(run.file(history::kFileName.toString()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const historycheck::Report report = historycheck::check(file.readAll());
    QVERIFY2(report.ok() && report.publicDraws == 1, qPrintable(report.text()));
}

// On: 公开抽奖=真 is stored and the commitment is on the record at once,
// the next draw is public; off: 公开抽奖=假 and the line that ends it, and
// Shift+Q designates again. A wrong password switches nothing. The check
// mark shows what is stored, whatever the click did to it.
void TestPublicMode::switchedFromTheMenuBehindThePassword()
{
    RunFolder run;
    prepare(run, QString());
    auto w = run.openWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QAction &entry = control<QAction>(*w, QStringLiteral("公开抽奖"));
    QVERIFY(entry.isCheckable() && !entry.isChecked());
    const QString path = run.file(history::kFileName.toString());
    inputbox::Seam prompts;
    messagebox::Seam boxes;
    prompts.queueOk(QStringLiteral("x"));
    choose(*w, QStringLiteral("公开抽奖"));
    QCOMPARE(boxes.texts(), QStringList(u"密码不正确！"_qs));
    QVERIFY(!entry.isChecked() && !QFile::exists(path));

    // A designation armed before the switch does not outlive it.
    systemShiftQ(*w);
    QVERIFY(designationShown(*w));
    prompts.queueOk(QString());
    choose(*w, QStringLiteral("公开抽奖"));
    QVERIFY(entry.isChecked());
    QVERIFY(!designationShown(*w));
    QVERIFY(!w->findChild<GlobalHotKey *>());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(u"公开抽奖=真"));
    QCOMPARE(lastCells(run)[1], u"承诺"_qs);
    QVERIFY(control<QLabel>(*w, QStringLiteral("标签_公开抽奖")).isVisible());
    typeShiftQ(*w);
    QVERIFY(!designationShown(*w));
    QVERIFY(drawOnce(*w));
    QCOMPARE(lastCells(run)[6], u"1"_qs);

    prompts.queueOk(QString());
    choose(*w, QStringLiteral("公开抽奖"));
    QVERIFY(!entry.isChecked());
    QVERIFY(run.readGbk(QStringLiteral("config.a")).contains(u"公开抽奖=假"));
    QCOMPARE(lastCells(run).mid(1, 10), QStringList({u"公开抽奖结束"_qs, {}, {}, {}, {}, {}, {}, {}, {}, {}}));
    QVERIFY(!control<QLabel>(*w, QStringLiteral("标签_公开抽奖")).isVisible());
    QVERIFY(w->findChild<GlobalHotKey *>());
    // Nothing typed during the public draws designates the first one after.
    QVERIFY(!designationShown(*w));
    systemShiftQ(*w);
    QVERIFY(designationShown(*w));
    QCOMPARE(boxes.texts().size(), 1);
}

QTEST_MAIN(TestPublicMode)
#include "test_publicmode.moc"
