#pragma once

#include "core/config.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QPushButton;

// "密码设置！": the way into the prize settings, and where the password
// is changed.
class PasswordWindow : public QDialog
{
    Q_OBJECT
public:
    // openPrizeSettings opens the prize settings window and returns when it
    // has closed.
    PasswordWindow(Config config, std::function<void()> openPrizeSettings,
                   QWidget *parent = nullptr);

    QLineEdit *passwordEdit() const { return m_edit; }
    QPushButton *enterButton() const { return m_enter; }
    QPushButton *changeButton() const { return m_change; }

    // "进入设置"
    void enterSettings();
    // "修改密码"
    void changePassword();

private:
    Config m_config;
    std::function<void()> m_openPrizeSettings;
    QLineEdit *m_edit;
    QPushButton *m_enter;
    QPushButton *m_change;
};
