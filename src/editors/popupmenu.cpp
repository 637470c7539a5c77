#include "popupmenu.h"

#include "widgets/messagebox.h"

namespace popupmenu {

bool confirmExit()
{
    return messagebox::confirm(QStringLiteral("确定退出程序吗？"), QStringLiteral("确定退出吗？"));
}

QString helpText()
{
    return QStringLiteral("1.双击各个图片，可以选择自己的抽奖图片！(图片不要过大，50K以下最好！)\r\n2.右键弹出菜单！");
}

QString aboutText()
{
    return QStringLiteral("Lunora软件V2.0\r\n\r\n现场转盘抽奖程序，版本 2.0");
}

void showHelp()
{
    messagebox::show(helpText(), QStringLiteral("Lunora帮助信息！"));
}

void showAbout()
{
    messagebox::show(aboutText(), QStringLiteral("关于 Lunora"));
}

} // namespace popupmenu
