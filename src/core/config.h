#pragma once

#include "displayoptions.h"
#include "prizetable.h"
#include "screenplace.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

class SettingsFile;

// The program's settings in config.a: each key once, with its default, how
// its text is read and how a value is written. Nothing is kept here: every
// call reads the file again, so an edit made to config.a while the program
// runs counts at the next use, and every write goes through SettingsFile, so
// the lock, the changes that wait and the file's encoding apply as to any
// other write. A Config is only a view of its SettingsFile: copies share it.
class Config
{
public:
    enum class Title { Main, Sub };
    // The elements the operator can drag; each keeps its left and top.
    enum class Place { MainTitle, SubTitle, Wheel, ResultPicture };
    enum class WindowMode { FullScreen, Windowed };

    // A missing (or empty) left or top leaves that coordinate as it is.
    struct Position
    {
        std::optional<qint32> left;
        std::optional<qint32> top;
    };
    struct Rgb
    {
        int red = 0;
        int green = 0;
        int blue = 0;
        friend bool operator==(const Rgb &, const Rgb &) = default;
    };
    struct TitleFont
    {
        QString face;
        int points = 0;
        Rgb colour;
    };

    // Anything that holds the SettingsFile may pass it where a Config is
    // taken: the view owns nothing.
    Config(SettingsFile &file); // NOLINT(google-explicit-constructor)

    // The folder config.a is in, which holds the program's other files
    // (the music, the pictures, the history) too.
    QString runDir() const;

    // The characters of text that config.a cannot hold (it is GBK), each
    // once; empty when it can hold them all. A text with any is refused
    // before it is written, naming them, rather than stored as "?".
    QString unstorable(QStringView text) const;

    // The caption stored for a title; empty keeps the design caption.
    QString title(Title which) const;
    // What the title's editor offers: the stored caption or a prompt text.
    QString titleToEdit(Title which) const;
    [[nodiscard]] bool setTitle(Title which, const QString &text);
    // Only a stored colour makes the font count: nullopt without one. The
    // size is in points, 1 to 1000.
    std::optional<TitleFont> titleFont(Title which) const;
    // Face, size and colour in one write: all three are stored, or none.
    [[nodiscard]] bool setTitleFont(Title which, const TitleFont &font);
    // A face name holds at most 31 bytes in the data files' code page; a
    // longer one is cut at a whole character.
    QString fitFaceName(const QString &family) const;

    Position position(Place place) const;
    // Left and top in one write.
    [[nodiscard]] bool setPosition(Place place, qint32 left, qint32 top);

    // The display options panel's six values, as typed; what is not stored
    // reads as the panel's default.
    DisplayOptions displayOptions() const;
    // All six in one write, as typed.
    [[nodiscard]] bool setDisplayOptions(const DisplayOptions &options);

    WindowMode windowMode() const;
    [[nodiscard]] bool setWindowMode(WindowMode mode);
    // On unless switched off.
    bool musicOn() const;
    [[nodiscard]] bool setMusicOn(bool on);
    // The wheel's face 1 to 4; nullopt when none is stored.
    std::optional<int> style() const;
    [[nodiscard]] bool setStyle(int k);
    // The window's screen (see ScreenPlace); an empty name means the
    // primary one.
    ScreenPlace screen() const;
    [[nodiscard]] bool setScreen(const ScreenPlace &place);
    // Read at start-up and when the menu's 公开抽奖 switches the mode.
    bool publicDraw() const;
    [[nodiscard]] bool setPublicDraw(bool on);

    // The password as GBK bytes, compared byte for byte; empty when none.
    QByteArray password() const;
    // Enciphered with a fresh prefix.
    [[nodiscard]] bool setPassword(const QByteArray &plain);
    // What the operator typed, as the bytes a password is compared with.
    QByteArray passwordBytes(const QString &typed) const;

    // The eight value texts, slot 1 first; nullopt while "一" is empty.
    std::optional<std::array<QString, 8>> prizeValues() const;
    // The eight texts as they are stored, empty ones included: what a
    // landing's line records, and the stock by quantity counts from.
    std::array<QString, 8> prizeValueTexts() const;
    // The text of slot 1..8.
    QString prizeValueText(int slot) const;
    // The table a run starts with: the stored values when "一" is not empty
    // (even if other slots are), else the defaults.
    PrizeTable prizeTable() const;
    [[nodiscard]] bool setPrizeValues(const std::array<QString, 8> &texts);
    // "lx" exactly "真" is by probability; anything else by quantity.
    DrawMode drawMode() const;
    [[nodiscard]] bool setDrawMode(DrawMode mode);

private:
    SettingsFile &m_file;
};
