#pragma once

#include <QObject>

#include <memory>

// Keeps the display lit and the machine awake for as long as it exists: an
// event runs for hours with nobody touching the keyboard, and a blanked
// screen or a lock screen on the projector stops it. Released when it goes.
// Needs the application object.
class DisplayAwake : public QObject
{
    Q_OBJECT
public:
    DisplayAwake();
    ~DisplayAwake() override;

private:
    struct Private;
    std::unique_ptr<Private> m_private;
};
