// Settings that config.a does not take (here it is a folder, which stops
// every user, root included) stay in effect for the run, and each kind says
// so once: the options panel, the titles and their fonts, the drags, the
// window mode, the wheel style and the music switch.
#include "support_mainwindow.h"
#include "support_mousedrag.h"
#include "support_runfolder.h"

#include "widgets/controls.h"
#include "widgets/fontdialog.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"
#include "widgets/screenwatch.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
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
        MainControls &c = parts(w).controls();
        MainMenu &m = parts(w).menu();

        for (const QString &width : {QStringLiteral("150"), QStringLiteral("120")}) {
            m.otherSettings->trigger();
            c.resultWidthEdit->setText(width);
            QTest::mouseClick(c.saveButton, Qt::LeftButton);
        }
        QCOMPARE(c.resultPicture->width(), 120);

        inputbox::Seam answers;
        answers.queueOk(QStringLiteral("年终抽奖"));
        m.mainTitle->trigger();
        FontDialog::Seam fonts;
        fonts.queueCancel();
        m.subTitleFont->trigger();
        QCOMPARE(c.mainTitle->text(), QStringLiteral("年终抽奖"));

        const QPoint frame = c.wheelFrame->pos();
        dragWithMouse(c.wheelFrame, QPoint(5, 5), QPoint(10, 10));
        QCOMPARE(c.wheelFrame->pos(), frame + QPoint(10, 10));

        m.windowed->trigger();
        m.fullScreen->trigger();
        QVERIFY(m.fullScreen->isChecked());
        m.styles[1]->trigger();
        QVERIFY(m.styles[1]->isChecked());
        m.disableMusic->trigger();
        QVERIFY(m.disableMusic->isChecked());

        // Laid out again for its screen, the window keeps the unsaved drag.
        const QRect screen = w->geometry();
        w->setGeometry(0, 0, 300, 200);
        Q_EMIT w->findChild<ScreenWatch *>()->changed();
        QCOMPARE(w->geometry(), screen);
        QCOMPARE(c.wheelFrame->pos(), frame + QPoint(10, 10));

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
