#pragma once

// Settles the environment the platform's libraries read when they start.
// Call it first in main(), before the application object exists.
void preparePlatformEnvironment();
