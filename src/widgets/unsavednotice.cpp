#include "widgets/unsavednotice.h"

#include "widgets/messagebox.h"

UnsavedNotice::UnsavedNotice(const QString &what)
    : m_text(what + QStringLiteral("保存失败，只在本次运行中有效！请检查程序所在文件夹是否可写。"))
{
}

void UnsavedNotice::check(bool saved)
{
    if (saved || m_told)
        return;
    m_told = true;
    messagebox::inform(m_text);
}
