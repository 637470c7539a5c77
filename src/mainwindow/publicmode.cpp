// The public mode of the main window: at start-up when stored as on, and
// switched from the menu's 公开抽奖 while the program runs.
#include "mainwindow.h"

#include "core/roll.h"
#include "lottery/historynotice.h"
#include "lottery/passwordgate.h"
#include "lottery/publiccaption.h"
#include "platform/hotkey.h"
#include "platform/systemrandom.h"
#include "widgets/messagebox.h"

#include <QAction>

// No designation, and keys committed to before the first draw. At start-up
// the commitment waits until the prize table is read, since it carries the
// box; switched on from the menu it is made at once.
void MainWindow::startPublicMode(bool commitNow)
{
    if (!m_keys) {
        m_systemRandom = createSystemRandom();
        m_keys = std::make_unique<publicdraw::Keys>(*m_systemRandom);
        m_publicCaption = new PublicCaption(this);
    }
    m_public = true;
    // Switched on from the menu, the hot key of the design's mode goes, and
    // so does a designation it armed: neither may reach a draw unseen.
    delete m_hotKey;
    m_hotKey = nullptr;
    if (m_roll)
        m_roll->dropDesignation();
    m_history.setPublic(m_keys.get(), [this] {
        static_cast<void>(m_draw.refill(m_config, m_history.counts()));
        return m_draw.box();
    });
    // A line the save worker wrote is shown from the window's thread.
    m_history.setLineObserver([this] {
        QMetaObject::invokeMethod(this, [this] {
            if (m_public)
                m_publicCaption->show(m_history.nextDrawNumber(), m_history.recordedCommitment(),
                                      m_history.lastCheck());
        });
    });
    if (commitNow)
        m_history.commit();
}

// The keys of this run are never used again; switched on later, the mode
// commits to new ones.
void MainWindow::endPublicMode()
{
    m_public = false;
    m_history.setLineObserver({});
    m_history.endPublicMode();
    m_publicCaption->hide();
    // Shift+Q designates again, as in a run started in the design's mode.
    registerHotKey();
}

void MainWindow::registerHotKey()
{
    if (m_hotKey)
        return;
    m_hotKey = new GlobalHotKey(this);
    connect(m_hotKey, &GlobalHotKey::activated, this, [this] { armDesignation(); });
}

// A roll under way keeps the mode it started in: its box and its stop
// request were taken in that mode.
void MainWindow::switchPublicMode()
{
    const bool on = !m_public;
    // The menu toggled its mark already: it shows what is stored, not the click.
    m_menu.publicDraw->setChecked(m_config.publicDraw());
    if (m_roll->state().phase != RollPhase::Idle) {
        messagebox::inform(QStringLiteral("转盘转动时不能切换公开抽奖，请在本次抽奖结束后再切换。"));
        return;
    }
    if (!m_gate->askPassword())
        return;
    if (!m_config.setPublicDraw(on)) {
        messagebox::inform(QStringLiteral("公开抽奖的设置无法保存到 config.a，抽奖方式没有改变。\r\n"
                                          "请检查程序所在文件夹是否可写。"));
        return;
    }
    on ? startPublicMode(true) : endPublicMode();
    m_menu.publicDraw->setChecked(m_config.publicDraw());
    if (const QString reason = m_history.failureToReport(); !reason.isEmpty())
        historynotice::show(reason);
}
