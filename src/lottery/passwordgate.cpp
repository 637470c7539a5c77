#include "lottery/passwordgate.h"

#include "core/config.h"
#include "lottery/passwordwindow.h"
#include "lottery/prizevalueswindow.h"
#include "lottery/resultswindow.h"
#include "widgets/inputbox.h"
#include "widgets/messagebox.h"
#include "widgets/modalwindow.h"

PasswordGate::PasswordGate(SettingsFile &settings, DrawHistory &history, Draw &draw,
                           std::function<SlotPictures()> slotPictures)
    : m_settings(settings), m_history(history), m_draw(draw), m_slotPictures(std::move(slotPictures))
{
}

void PasswordGate::openPrizeSettings()
{
    PasswordWindow window(m_settings, [this] { openPrizeValuesWindow(); });
    modalwindow::run(window);
}

void PasswordGate::openPrizeValuesWindow()
{
    PrizeValuesWindow window(m_settings, m_draw, m_slotPictures ? m_slotPictures() : SlotPictures{});
    modalwindow::run(window);
}

bool PasswordGate::askPassword()
{
    const inputbox::Result answer =
        inputbox::ask(QStringLiteral("请输入密码（这里密码与奖项设置是同一个密码，初始密码为空！）"),
                      QStringLiteral("请输入密码"), inputbox::Echo::Masked);
    if (!answer.ok)
        return false;
    const Config config(m_settings);
    if (config.password() != config.passwordBytes(answer.text)) {
        messagebox::inform(QStringLiteral("密码不正确！"));
        return false;
    }
    return true;
}

void PasswordGate::openResults()
{
    if (!askPassword())
        return;
    ResultsWindow window(m_history, m_slotPictures ? m_slotPictures() : SlotPictures{});
    modalwindow::run(window);
}
