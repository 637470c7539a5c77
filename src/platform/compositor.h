#pragma once

#include <cstddef>

// Whether a compositing manager blends translucent windows onto the screen.
// Without one a translucent window shows solid black, so the effects window
// falls back to a shape mask. macOS and Wayland always composite; Windows
// says whether it does (DwmIsCompositionEnabled), except under Wine, which
// never blends; on X11 a compositor owns the "_NET_WM_CM_S<screen>"
// selection; the offscreen and other platforms count as not compositing.
bool screenIsComposited();

// The most rectangles a window's shape may have (0: no limit). Wine hands a
// window's region to the X server as one SHAPE request without the big
// request extension: over 32,765 rectangles the request's length wraps and
// the X server's error (BadLength, BadRequest) ends the program.
size_t windowShapeRectangleLimit();
