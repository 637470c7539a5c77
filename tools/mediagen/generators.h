#pragma once

#include <QString>

namespace mediagen {

// Each writes its files into dir and returns false when one could not be
// written. File names are the ones the program loads from its resources.
bool writeFaces(const QString &dir);    // face1.jpg ... face4.jpg
bool writeBanners(const QString &dir);  // prize5.jpg ... prize8.jpg
bool writeIcons(const QString &dir);    // panel_icon.jpg, app_icon.png, app_icon_48.png
bool writeChime(const QString &dir);    // chime.wav

} // namespace mediagen
