#pragma once

#include <QProxyStyle>

// The style's sizes at the 96 dpi the windows were drawn at, like their
// fonts (fontsize.h). With Qt's scaling off the program draws in the
// screen's pixels, and its fonts are set in pixels; Qt's styles, though,
// scale their margins, icons and indicators by the screen's DPI, so at
// 150 % a box would show its icon, its buttons' margins and its check boxes
// at 1.5 times beside text at 1 time. Qt's own scaled sizes follow
// Qt::AA_Use96Dpi (set by preparePlatformEnvironment()); what the system
// itself gives in pixels at its DPI (Windows' metrics and visual style
// parts: check boxes, title bars, scroll bars) is brought back here.
class DesignStyle : public QProxyStyle
{
public:
    // `systemDpi` is the DPI of the sizes the system gives
    // (systemMetricsDpi); 0 leaves them as they are.
    explicit DesignStyle(QStyle *base = nullptr, qreal systemDpi = 0);

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;

    // The metrics whose size comes from the system rather than from Qt.
    static bool givenBySystem(PixelMetric metric);

private:
    qreal m_systemDpi = 0;
};

// Sets the application's font in pixels at 96 dpi (fontsize.h) and this
// style over the platform's own: what every start does once its
// application object exists.
void useDesignSizes();
