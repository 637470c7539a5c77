#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <string>

// The MCI command strings the music sends, behind a seam: the system's
// mciSendString on Windows, a stand-in in tests.
class MciCommands
{
public:
    virtual ~MciCommands() = default;
    // True when MCI accepted the command.
    virtual bool send(const std::wstring &command) = 0;
    // MCI's answer to a query; empty when it refused.
    virtual std::wstring ask(const std::wstring &command) = 0;
};

// How a piece is repeated: by MCI's own "play … repeat", or by looking at
// every poll whether it ended and starting it again. Repeat falls back to
// polling where MCI refuses "repeat"; Wine accepts it and plays once, so
// polling can also be asked for outright.
enum class MciLoop { Repeat, Polling };

// Music through MCI. Opening a file can take seconds (Wine needed 2.7 s for
// a valid MP3 with no sound device and 6 s to turn down a JPEG), so every
// command runs on one worker thread that owns the device from open to close,
// and the caller only leaves requests: only the latest one matters, so a
// stop followed by a play before the worker woke is just a play. The worker
// outlives this object if it must: going away never waits for an open. The
// device is opened anew at each play, so it is the system's default output
// of that moment.
class MciMusic
{
public:
    MciMusic(std::shared_ptr<MciCommands> commands, MciLoop loop,
             std::chrono::milliseconds poll = std::chrono::milliseconds(250));
    ~MciMusic();

    // Plays the file from its start, repeated; an empty path stops.
    void request(const QString &path);
    // From a play request until a stop, or until the file proved unplayable.
    bool wanted() const;
    // How often a piece that had ended was started again by polling.
    int restarts() const;

    static inline const std::wstring kAlias = L"lunora_music";

private:
    struct Shared;
    class Worker;
    std::shared_ptr<Shared> m_shared;
};
