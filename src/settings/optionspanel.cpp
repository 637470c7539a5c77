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

OptionsPanel::OptionsPanel(const OptionsControls &controls, SettingsFile &settings, WheelLayout &wheel)
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
    const QString width = c.resultWidthEdit->text();
    const QString wheelSize = c.wheelSizeEdit->text();
    // One locked rewrite for all six. The options apply now either way; a
    // failed write only means the next start brings back the stored ones.
    const bool saved = m_settings.writeMany(DataFile::Config, keys::kZbt,
                                            {{keys::kResultHeight, height},
                                             {keys::kResultWidth, width},
                                             {keys::kRollSpeed, c.rollSpeedEdit->text()},
                                             {keys::kEffectsDisabled, values::flagText(c.effectsDisabledBox->isChecked())},
                                             {keys::kAutoStop, c.autoStopEdit->text()},
                                             {keys::kWheelSize, wheelSize}});
    result->resize(result->width(), sizeFromText(height));
    result->resize(sizeFromText(width), result->height());
    close();
    m_wheel.applySize(values::textToInt(wheelSize));
    m_unsaved.check(saved);
}
