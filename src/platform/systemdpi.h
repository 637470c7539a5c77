#pragma once

// The DPI at which the system gives its own sizes (GetSystemMetrics, the
// visual style's parts): Windows scales them to it, whatever Qt's fonts
// use. 0 where the system gives no such sizes.
int systemMetricsDpi();
