#include "systemdpi.h"

#include <windows.h>

// The screen's device context answers with the system DPI, the one
// GetSystemMetrics and the themes scale to (without per-monitor awareness
// of their own, which the program does not declare for them).
int systemMetricsDpi()
{
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
