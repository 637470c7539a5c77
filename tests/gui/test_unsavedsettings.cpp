// Settings that config.a does not take (here it is a folder, which stops
// every user, root included) stay in effect for the run, and each kind says
// so once: the options panel, the titles and their fonts, the drags, the
// window mode, the wheel style and the music switch.
#include "support_mousedrag.h"
#include "support_operator.h"
#include "support_runfolder.h"

#include "widgets/fontdialog.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

namespace {

QString unsaved(const QString &what)
{
    return what + QStringLiteral("保存失败，只在本次运行中有效！请检查程序所在文件夹是否可写。");
}

} // namespace

class TestUnsavedSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachKindSaysOnceAndApplies()
    {
        RunFolder run;
        QVERIFY(QDir().mkpath(run.file(QStringLiteral("config.a"))));
        messagebox::Seam boxes;
        auto w = run.openWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(boxes.shown().isEmpty()); // start-up's own write of the mode says nothing
        const auto &result = control<PictureBox>(*w, QStringLiteral("图片框a_结果"));
        auto &frame = control<ShapeBox>(*w, QStringLiteral("外形框1"));

        for (const QString &width : {QStringLiteral("150"), QStringLiteral("120")}) {
            choose(*w, QStringLiteral("其它设置"));
            operate::typeOver(control<QLineEdit>(*w, QStringLiteral("编辑框_奖品图片宽")), width);
            QTest::mouseClick(&control<QPushButton>(*w, QStringLiteral("按钮_保存")), Qt::LeftButton);
        }
        QCOMPARE(result.width(), 120);

        inputbox::Seam answers;
        answers.queueOk(QStringLiteral("年终抽奖"));
        choose(*w, QStringLiteral("主标题"));
        FontDialog::Seam fonts;
        fonts.queueCancel();
        choose(*w, QStringLiteral("副标题字体"));
        QCOMPARE(control<TransparentLabel>(*w, QStringLiteral("透明标签_主标题")).text(), QStringLiteral("年终抽奖"));

        const QPoint place = frame.pos();
        dragWithMouse(&frame, QPoint(5, 5), QPoint(10, 10));
        QCOMPARE(frame.pos(), place + QPoint(10, 10));

        choose(*w, QStringLiteral("窗口"));
        choose(*w, QStringLiteral("全屏"));
        QVERIFY(control<QAction>(*w, QStringLiteral("全屏")).isChecked());
        choose(*w, QStringLiteral("样式二"));
        QVERIFY(control<QAction>(*w, QStringLiteral("样式二")).isChecked());
        choose(*w, QStringLiteral("禁用背景音乐"));
        QVERIFY(control<QAction>(*w, QStringLiteral("禁用背景音乐")).isChecked());

        // Laid out again for its screen, the window keeps the unsaved drag.
        const QRect screen = w->geometry();
        w->setGeometry(0, 0, 300, 200);
        Q_EMIT qApp->primaryScreenChanged(QGuiApplication::primaryScreen());
        QTRY_COMPARE(w->geometry(), screen);
        QCOMPARE(frame.pos(), place + QPoint(10, 10));

        QCOMPARE(boxes.texts(), (QStringList{unsaved(QStringLiteral("显示设置")),
                                             unsaved(QStringLiteral("标题设置")),
                                             unsaved(QStringLiteral("位置设置")),
                                             unsaved(QStringLiteral("界面大小设置")),
                                             unsaved(QStringLiteral("转盘样式设置")),
                                             unsaved(QStringLiteral("背景音乐设置"))}));
    }
};

QTEST_MAIN(TestUnsavedSettings)
#include "test_unsavedsettings.moc"
