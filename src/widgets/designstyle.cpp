#include "designstyle.h"

#include "fontsize.h"
#include "platform/systemdpi.h"

#include <QApplication>

DesignStyle::DesignStyle(QStyle *base, qreal systemDpi)
    : QProxyStyle(base)
    , m_systemDpi(systemDpi)
{
}

bool DesignStyle::givenBySystem(PixelMetric metric)
{
#ifdef Q_OS_WIN
    // Qt 6.4's windows and windowsvista styles take these from
    // GetSystemMetrics and the visual style's part sizes, in pixels at the
    // system's DPI; every other size they compute from Qt's DPI.
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_ProgressBarChunkWidth:
    case PM_SliderThickness:
    case PM_TitleBarHeight:
    case PM_MdiSubWindowFrameWidth:
    case PM_DockWidgetFrameWidth:
    case PM_ScrollBarExtent:
        return true;
    default:
        return false;
    }
#else
    Q_UNUSED(metric);
    return false;
#endif
}

int DesignStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    if (!givenBySystem(metric))
        return value;
    return m_systemDpi > 0 ? qMax(1, qRound(value * 96 / m_systemDpi)) : value;
}

void useDesignSizes()
{
    QApplication::setFont(fontsize::inDesignPixels(QApplication::font()));
    // Asked once: sizes are asked for at every layout and paint.
    QApplication::setStyle(new DesignStyle(nullptr, systemMetricsDpi()));
}
