#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QWidget;

// What every fixed layout does to a control it builds: the control's name
// is its object name, and its place is given in pixels.
template<typename W>
W *named(W *widget, const QString &name, const QRect &geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// The same, for names written as u"..." literals.
template<typename W>
W *named(W *widget, const char16_t *name, const QRect &geometry)
{
    return named(widget, QString::fromUtf16(name), geometry);
}

// Gives a control's text a colour: a label's caption and an edit box's
// typed text take it from different roles, so both are set.
void setTextColour(QWidget *widget, const QColor &colour);
