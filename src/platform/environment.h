#pragma once

// Settles the environment the platform's libraries read when they start.
// Call it first in main(), before the application object exists.
void preparePlatformEnvironment();

// Whether a display is there to open windows on. Where the answer is no,
// the program must end with a message instead of letting Qt abort.
bool hasDisplay();
