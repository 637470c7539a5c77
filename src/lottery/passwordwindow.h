#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QPushButton;
class SettingsFile;

// The settings password as the program handles it: GBK bytes, compared
// byte for byte, stored enciphered under "password" in config.a.
namespace password {

// The stored password, deciphered (empty when none is stored).
QByteArray stored(const SettingsFile &settings);
// Enciphers with a fresh prefix and writes it; whether the write succeeded.
bool store(SettingsFile &settings, const QByteArray &plain);
// What the operator typed, as the bytes the password is compared with.
QByteArray entered(const SettingsFile &settings, const QString &text);

} // namespace password

// "密码设置！": the way into the prize settings, and where the password
// is changed.
class PasswordWindow : public QDialog
{
    Q_OBJECT
public:
    // openPrizeSettings opens the prize settings window and returns when it
    // has closed.
    PasswordWindow(SettingsFile &settings, std::function<void()> openPrizeSettings,
                   QWidget *parent = nullptr);

    QLineEdit *passwordEdit() const { return m_edit; }
    QPushButton *enterButton() const { return m_enter; }
    QPushButton *changeButton() const { return m_change; }

    // "进入设置"
    void enterSettings();
    // "修改密码"
    void changePassword();

private:
    SettingsFile &m_settings;
    std::function<void()> m_openPrizeSettings;
    QLineEdit *m_edit;
    QPushButton *m_enter;
    QPushButton *m_change;
};
