#include "views.h"

#include "mainlayout.h"
#include "mainmenu.h"

namespace views {

WheelControls wheel(const MainControls &c, const MainMenu &m)
{
    return {.window = c.window, .wheelFrame = c.wheelFrame, .face = c.face,
            .startCaption = c.startCaption, .stopCaption = c.stopCaption, .slots = c.slots,
            .styles = m.styles};
}

OptionsControls options(const MainControls &c)
{
    return {.optionsPanel = c.optionsPanel, .focusTimer = c.focusTimer,
            .resultPicture = c.resultPicture, .resultWidthEdit = c.resultWidthEdit,
            .resultHeightEdit = c.resultHeightEdit, .rollSpeedEdit = c.rollSpeedEdit,
            .autoStopEdit = c.autoStopEdit, .wheelSizeEdit = c.wheelSizeEdit,
            .effectsDisabledBox = c.effectsDisabledBox};
}

DraggingControls dragging(const MainControls &c)
{
    return {.mainTitle = c.mainTitle, .subTitle = c.subTitle, .resultPicture = c.resultPicture,
            .wheelFrame = c.wheelFrame, .face = c.face};
}

TitleControls titles(const MainControls &c)
{
    return {.mainTitle = c.mainTitle, .subTitle = c.subTitle};
}

RollControls roll(const MainControls &c)
{
    return {.startButton = c.startButton, .startCaption = c.startCaption,
            .stopCaption = c.stopCaption, .slots = c.slots, .resultPicture = c.resultPicture,
            .rollTimer = c.rollTimer, .autoStopTimer = c.autoStopTimer,
            .designationFlag = c.designationFlag};
}

StartupControls startup(const MainControls &c)
{
    return {.window = c.window, .mainTitle = c.mainTitle, .subTitle = c.subTitle,
            .wheelFrame = c.wheelFrame, .resultPicture = c.resultPicture};
}

} // namespace views
