#include "optionspanel.h"

#include "core/keys.h"
#include "core/settingsfile.h"
#include "core/values.h"
#include "display/wheellayout.h"
#include "dragloop.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"

namespace {

// A size typed as text; letters give 0, and so does a negative number.
int sizeFromText(const QString &text)
{
    return qMax(0, values::textToInt(text));
}

} // namespace

OptionsPanel::OptionsPanel(const OptionsControls &controls, const SettingsFile &settings, WheelLayout &wheel)
    : m_controls(controls)
    , m_settings(settings)
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
    const QString height = c.resultHeightEdit->text();
    m_settings.writeZbt(keys::kResultHeight, height);
    result->resize(result->width(), sizeFromText(height));
    const QString width = c.resultWidthEdit->text();
    m_settings.writeZbt(keys::kResultWidth, width);
    result->resize(sizeFromText(width), result->height());
    m_settings.writeZbt(keys::kRollSpeed, c.rollSpeedEdit->text());
    m_settings.writeZbt(keys::kEffectsDisabled, values::flagText(c.effectsDisabledBox->isChecked()));
    m_settings.writeZbt(keys::kAutoStop, c.autoStopEdit->text());
    close();
    const QString wheelSize = c.wheelSizeEdit->text();
    m_settings.writeZbt(keys::kWheelSize, wheelSize);
    m_wheel.applySize(values::textToInt(wheelSize));
}
