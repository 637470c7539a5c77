#include "displayawake.h"

// No way known to keep this system's display awake.
struct DisplayAwake::Private
{
};

DisplayAwake::DisplayAwake() = default;

DisplayAwake::~DisplayAwake() = default;
