#include "optionspanel.h"

#include "display/wheellayout.h"
#include "dragloop.h"
#include "widgets/controls.h"
#include "widgets/picturebox.h"
#include "widgets/unstorablenotice.h"

#include <QCheckBox>
#include <QLineEdit>

OptionsPanel::OptionsPanel(const OptionsControls &controls, Config config, WheelLayout &wheel,
                           Changed changed)
    : m_controls(controls)
    , m_config(config)
    , m_wheel(wheel)
    , m_changed(std::move(changed))
{
    followBoxes();
    showOptions(DisplayOptions());
}

// Every change of a box, typed or set, is the option's new value.
void OptionsPanel::followBoxes()
{
    const OptionsControls &c = m_controls;
    const std::pair<QLineEdit *, QString DisplayOptions::*> boxes[] = {
        {c.resultWidthEdit, &DisplayOptions::resultWidth},
        {c.resultHeightEdit, &DisplayOptions::resultHeight},
        {c.rollSpeedEdit, &DisplayOptions::rollSpeed},
        {c.autoStopEdit, &DisplayOptions::autoStop},
        {c.wheelSizeEdit, &DisplayOptions::wheelSize}};
    for (const auto &[box, text] : boxes) {
        QObject::connect(box, &QLineEdit::textChanged, &m_connections,
                         [this, text](const QString &typed) { edited(text, typed); });
    }
    QObject::connect(c.effectsDisabledBox, &QCheckBox::toggled, &m_connections, [this](bool on) {
        m_options.effectsDisabled = on;
        m_changed(m_options);
    });
}

void OptionsPanel::edited(QString DisplayOptions::*text, const QString &typed)
{
    m_options.*text = typed;
    m_changed(m_options);
}

// The boxes that change tell their own change too; the whole is handed on
// once more at the end, whatever changed.
void OptionsPanel::showOptions(const DisplayOptions &options)
{
    m_options = options;
    const OptionsControls &c = m_controls;
    c.resultWidthEdit->setText(options.resultWidth);
    c.resultHeightEdit->setText(options.resultHeight);
    c.rollSpeedEdit->setText(options.rollSpeed);
    c.autoStopEdit->setText(options.autoStop);
    c.wheelSizeEdit->setText(options.wheelSize);
    c.effectsDisabledBox->setChecked(options.effectsDisabled);
    m_changed(m_options);
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
    // Texts are stored as typed; only the widgets get numbers. Start-up
    // later shows the number the box really got.
    const DisplayOptions typed = m_options;
    // Refused whole: the panel stays open to mend the texts.
    const QString texts = typed.resultWidth + typed.resultHeight + typed.rollSpeed
        + typed.autoStop + typed.wheelSize;
    if (unstorablenotice::refuse(QStringLiteral("显示设置"), m_config.unstorable(texts)))
        return;
    // All six or none. The options apply now either way; a failed write
    // only means the next start brings back the stored ones.
    const bool saved = m_config.setDisplayOptions(typed);
    PictureBox *result = m_controls.resultPicture;
    result->resize(result->width(), typed.resultHeightPx());
    result->resize(typed.resultWidthPx(), result->height());
    close();
    m_wheel.applySize(typed.wheelSteps());
    m_unsaved.check(saved);
}
