#include "optionspanel.h"

#include "display/wheellayout.h"
#include "dragloop.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"
#include "widgets/unstorablenotice.h"

OptionsPanel::OptionsPanel(const OptionsControls &controls, Config config, WheelLayout &wheel)
    : m_controls(controls)
    , m_config(config)
    , m_wheel(wheel)
{
}

void OptionsPanel::open()
{
    m_controls.optionsPanel->show();
    m_controls.optionsPanel->raise();
    m_controls.focusTimer->setInterval(0);
}

void OptionsPanel::close()
{
    m_controls.optionsPanel->hide();
    m_controls.focusTimer->setInterval(kFocusIntervalMs);
}

void OptionsPanel::move(QPoint pressPos)
{
    QWidget *panel = m_controls.optionsPanel;
    DragLoop::start(panel, panel->mapToGlobal(pressPos), {});
}

void OptionsPanel::save()
{
    const OptionsControls &c = m_controls;
    PictureBox *result = c.resultPicture;
    // Texts are stored as typed; only the widgets get numbers. Start-up
    // later shows the number the box really got.
    Config::DisplayOptions typed;
    typed.resultWidth = c.resultWidthEdit->text();
    typed.resultHeight = c.resultHeightEdit->text();
    typed.rollSpeed = c.rollSpeedEdit->text();
    typed.autoStop = c.autoStopEdit->text();
    typed.wheelSize = c.wheelSizeEdit->text();
    typed.effectsDisabled = c.effectsDisabledBox->isChecked();
    // Refused whole: the panel stays open to mend the texts.
    const QString texts = typed.resultWidth + typed.resultHeight + typed.rollSpeed
        + typed.autoStop + typed.wheelSize;
    if (unstorablenotice::refuse(QStringLiteral("显示设置"), m_config.unstorable(texts)))
        return;
    // All six or none. The options apply now either way; a failed write
    // only means the next start brings back the stored ones.
    const bool saved = m_config.setDisplayOptions(typed);
    result->resize(result->width(), Config::sizeFromText(typed.resultHeight));
    result->resize(Config::sizeFromText(typed.resultWidth), result->height());
    close();
    m_wheel.applySize(Config::stepsFromText(typed.wheelSize));
    m_unsaved.check(saved);
}
