#include "displayawake.h"

#include <windows.h>

// The calling thread's execution state holds for as long as the thread
// runs: this is made and destroyed on the main thread, which lives as long
// as the program.
struct DisplayAwake::Private
{
};

DisplayAwake::DisplayAwake()
{
    SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

DisplayAwake::~DisplayAwake()
{
    SetThreadExecutionState(ES_CONTINUOUS);
}
