#include "mainmenu.h"

#include <QAction>
#include <QMenu>

namespace {

QAction *item(QMenu *menu, const char16_t *name, bool checkable = false)
{
    const QString text = QString::fromUtf16(name);
    QAction *action = menu->addAction(text);
    action->setObjectName(text);
    action->setCheckable(checkable);
    // Items have no keyboard shortcuts: nothing reaches a guarded window
    // around the password.
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

QMenu *submenu(QMenu *menu, const char16_t *name)
{
    const QString text = QString::fromUtf16(name);
    QMenu *sub = menu->addMenu(text);
    sub->setObjectName(text);
    sub->menuAction()->setObjectName(text);
    return sub;
}

} // namespace

MainMenu buildMainMenu(QWidget *window)
{
    MainMenu m;
    m.root = new QMenu(QStringLiteral("设置"), window);
    m.root->setObjectName(QStringLiteral("设置"));
    m.prizeSettings = item(m.root, u"奖项设置");
    m.otherSettings = item(m.root, u"其它设置");
    m.enlarge = item(m.root, u"转盘放大");
    m.enlarge->setVisible(false);
    m.mainTitle = item(m.root, u"主标题");
    m.subTitle = item(m.root, u"副标题");
    m.results = item(m.root, u"中奖结果");
    m.styleMenu = submenu(m.root, u"转盘样式");
    m.styles = {item(m.styleMenu, u"样式一", true), item(m.styleMenu, u"样式二", true),
                item(m.styleMenu, u"样式三", true), item(m.styleMenu, u"样式四", true)};
    m.styles[0]->setChecked(true);
    m.fontMenu = submenu(m.root, u"字体颜色设置");
    m.mainTitleFont = item(m.fontMenu, u"主标题字体");
    m.subTitleFont = item(m.fontMenu, u"副标题字体");
    m.backgroundMenu = submenu(m.root, u"背景图控制");
    m.replaceBackground = item(m.backgroundMenu, u"更换背景图");
    m.clearBackground = item(m.backgroundMenu, u"取消背景图");
    m.musicMenu = submenu(m.root, u"背景音乐控制");
    m.replaceMusic = item(m.musicMenu, u"更换背景音乐");
    m.enableMusic = item(m.musicMenu, u"启用背景音乐", true);
    m.disableMusic = item(m.musicMenu, u"禁用背景音乐", true);
    m.sizeMenu = submenu(m.root, u"界面大小");
    m.fullScreen = item(m.sizeMenu, u"全屏", true);
    m.windowed = item(m.sizeMenu, u"窗口", true);
    m.nextScreen = item(m.sizeMenu, u"移到下一个屏幕");
    m.publicDraw = item(m.root, u"公开抽奖", true);
    m.help = item(m.root, u"帮助");
    m.about = item(m.root, u"关于");
    m.exit = item(m.root, u"退出");
    return m;
}
