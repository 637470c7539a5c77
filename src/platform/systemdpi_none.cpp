#include "systemdpi.h"

int systemMetricsDpi()
{
    return 0;
}
