#pragma once

#include <QString>

// The exit confirmation and the help and about messages of the popup menu.
namespace popupmenu {

// "确定退出程序吗？" under "确定退出吗？"; true when OK was chosen.
bool confirmExit();
void showHelp();
void showAbout();

QString helpText();
QString aboutText();

} // namespace popupmenu
