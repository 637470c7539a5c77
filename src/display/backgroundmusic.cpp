#include "backgroundmusic.h"

#include "filecopy.h"
#include "platform/sound.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QAction>
#include <QDir>

BackgroundMusic::BackgroundMusic(Config config, Sound &sound, QAction *enableItem,
                                 QAction *disableItem, QWidget *dialogParent)
    : m_config(config)
    , m_sound(sound)
    , m_enableItem(enableItem)
    , m_disableItem(disableItem)
    , m_dialogParent(dialogParent)
{
}

QString BackgroundMusic::folder() const
{
    return m_config.runDir() + QStringLiteral("/wav");
}

QString BackgroundMusic::path() const
{
    return folder() + QStringLiteral("/bjyy.mp3");
}

// The check marks show the switch; they are never read back.
void BackgroundMusic::check(bool on)
{
    m_on = on;
    m_enableItem->setChecked(on);
    m_disableItem->setChecked(!on);
}

void BackgroundMusic::applyStoredSwitch()
{
    check(m_config.musicOn());
}

void BackgroundMusic::enable()
{
    check(true);
    // The switch takes effect now whatever the disk says; a failed write
    // only means the next start uses the stored switch.
    m_switchUnsaved.check(m_config.setMusicOn(true));
}

void BackgroundMusic::disable()
{
    check(false);
    m_switchUnsaved.check(m_config.setMusicOn(false)); // as in enable()
}

void BackgroundMusic::replace()
{
    // Made before the dialog opens, so even a cancel leaves the folder. An
    // existing folder answers false too; one that cannot be made shows up
    // as the failed copy below, which is reported.
    static_cast<void>(QDir().mkdir(folder()));
    const QString chosen = filedialog::openFile(QStringLiteral("音乐文件(*.mp3)|*.mp3"), m_dialogParent);
    if (!chosen.isEmpty() && !copyFileReplacing(chosen, path()))
        messagebox::inform(QStringLiteral("背景音乐复制失败，背景音乐没有改变！请检查程序所在文件夹是否可写。"));
}

void BackgroundMusic::startForRoll()
{
    if (m_on)
        m_sound.playLooped(path());
}

void BackgroundMusic::stop()
{
    m_sound.stop();
}
