#pragma once

#include <QByteArray>

// Settles the environment the platform's libraries read when they start.
// Call it first in main(), before the application object exists.
void preparePlatformEnvironment();

// Why no window can be opened, in a sentence for the console, or nothing
// when a display is there. Where there is a reason, the program must end
// with it instead of letting Qt abort.
QByteArray displayProblem();
