#include "lottery/passwordwindow.h"

#include "lottery/designwidgets.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"

#include <QLineEdit>
#include <QPushButton>

PasswordWindow::PasswordWindow(Config config, std::function<void()> openPrizeSettings,
                               QWidget *parent)
    : QDialog(parent),
      m_config(config),
      m_openPrizeSettings(std::move(openPrizeSettings))
{
    design::setupDialog(this, QStringLiteral("密码设置！"), 380, 180);
    design::label(this, QStringLiteral("标签1"), {8, 24, 144, 32},
                  QStringLiteral("输入密码(初始密码为空)："));
    m_edit = design::editBox(this, QStringLiteral("编辑框1"), {160, 24, 192, 32}, {});
    inputbox::maskEntry(m_edit);
    m_enter = design::button(this, QStringLiteral("按钮_登陆"), {85, 80, 80, 32},
                             QStringLiteral("进入设置"));
    m_change = design::button(this, QStringLiteral("按钮_修改密码"), {209, 80, 80, 32},
                              QStringLiteral("修改密码"));

    connect(m_enter, &QPushButton::clicked, this, &PasswordWindow::enterSettings);
    connect(m_change, &QPushButton::clicked, this, &PasswordWindow::changePassword);
    // The current password is not loaded here: both buttons read the
    // stored one when clicked, and a change of password starts by reloading
    // it, so a copy taken now would never be read (and would only keep the
    // clear text in memory for longer).
}

void PasswordWindow::enterSettings()
{
    if (m_config.password() != m_config.passwordBytes(m_edit->text())) {
        messagebox::inform(QStringLiteral("密码不正确！请重新输入。"));
        return;
    }
    if (m_openPrizeSettings)
        m_openPrizeSettings();
    accept();
}

void PasswordWindow::changePassword()
{
    QByteArray current = m_config.password();
    if (m_config.passwordBytes(m_edit->text()) != current) {
        messagebox::inform(QStringLiteral("请在密码框输入原始密码后再修改！"));
        return;
    }
    const inputbox::Result answer = inputbox::ask(QStringLiteral("请输入密码"),
                                                  QStringLiteral("请输入密码"));
    if (!answer.ok) {
        // Nothing is written: the stored password stays as it is.
        messagebox::inform(QStringLiteral("已取消，密码没有改变。"));
        return;
    }
    current = m_config.passwordBytes(answer.text);
    if (!m_config.setPassword(current)) {
        // Nothing was changed on disk: say so instead of claiming success.
        messagebox::inform(QStringLiteral("密码保存失败，密码没有改变！请检查程序所在文件夹是否可写。"));
        return;
    }
    if (current.isEmpty()) {
        messagebox::inform(QStringLiteral("您没有设置任何密码！"));
        return;
    }
    messagebox::inform(QStringLiteral("设置成功！请牢记您的密码！"));
    accept();
}
