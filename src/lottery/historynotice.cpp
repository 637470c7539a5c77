#include "lottery/historynotice.h"

#include "widgets/messagebox.h"

namespace historynotice {

QString text(const QString &reason)
{
    return QStringLiteral("中奖记录文件（中奖记录.csv）无法写入，中奖历史没有保存！\r\n原因：") + reason
        + QStringLiteral("\r\n\r\n中奖数量照常保存。本次运行中不再提示此信息。");
}

void show(const QString &reason)
{
    messagebox::inform(text(reason));
}

} // namespace historynotice
