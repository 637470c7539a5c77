#include "config.h"

#include "cipher.h"
#include "keys.h"
#include "settingsfile.h"
#include "textcodec.h"
#include "textencoding.h"
#include "values.h"

namespace {

struct TitleKeys
{
    QStringView text;
    QStringView prompt;
    QStringView face;
    QStringView size;
    QStringView colour;
};

TitleKeys titleKeys(Config::Title which)
{
    if (which == Config::Title::Main)
        return {keys::kMainTitle, keys::kMainTitlePrompt, keys::kMainTitleFont,
                keys::kMainTitleFontSize, keys::kMainTitleFontColour};
    return {keys::kSubTitle, keys::kSubTitlePrompt, keys::kSubTitleFont, keys::kSubTitleFontSize,
            keys::kSubTitleFontColour};
}

std::pair<QStringView, QStringView> positionKeys(Config::Place place)
{
    switch (place) {
    case Config::Place::MainTitle:
        return {keys::kMainTitleLeft, keys::kMainTitleTop};
    case Config::Place::SubTitle:
        return {keys::kSubTitleLeft, keys::kSubTitleTop};
    case Config::Place::Wheel:
        return {keys::kWheelLeft, keys::kWheelTop};
    case Config::Place::ResultPicture:
        break;
    }
    return {keys::kResultLeft, keys::kResultTop};
}

// Empty counts as missing, as everywhere in the data files.
std::optional<qint32> number(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return values::textToInt(text);
}

// A colour as the data file holds it: red in the low byte, then green, then
// blue.
Config::Rgb colourFromText(const QString &text)
{
    const quint32 bgr = quint32(values::textToInt(text));
    return {int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)};
}

QString colourText(const Config::Rgb &rgb)
{
    return QString::number(quint32(rgb.red) | (quint32(rgb.green) << 8)
                           | (quint32(rgb.blue) << 16));
}

} // namespace

Config::Config(SettingsFile &file)
    : m_file(file)
{
}

QString Config::runDir() const
{
    return m_file.runDir();
}

QString Config::unstorable(QStringView text) const
{
    return textencoding::unstorable(m_file.codec(), text);
}

QString Config::title(Title which) const
{
    return m_file.readSetting(titleKeys(which).text);
}

QString Config::titleToEdit(Title which) const
{
    const TitleKeys k = titleKeys(which);
    return m_file.readSetting(k.text, k.prompt);
}

bool Config::setTitle(Title which, const QString &text)
{
    return m_file.writeSetting(titleKeys(which).text, text);
}

std::optional<Config::TitleFont> Config::titleFont(Title which) const
{
    const TitleKeys k = titleKeys(which);
    const QString colour = m_file.read(DataFile::Config, keys::kYanse, k.colour);
    if (colour.isEmpty())
        return std::nullopt;
    TitleFont font;
    font.face = m_file.read(DataFile::Config, keys::kYanse, k.face);
    font.points = qBound(1, values::textToInt(m_file.read(DataFile::Config, keys::kYanse, k.size)), 1000);
    font.colour = colourFromText(colour);
    return font;
}

bool Config::setTitleFont(Title which, const TitleFont &font)
{
    const TitleKeys k = titleKeys(which);
    return m_file.writeMany(DataFile::Config, keys::kYanse,
                            {{k.face, font.face},
                             {k.size, QString::number(font.points)},
                             {k.colour, colourText(font.colour)}});
}

QString Config::fitFaceName(const QString &family) const
{
    constexpr int kMaxFaceBytes = 31;
    QString name = family;
    while (m_file.codec().encode(name).size() > kMaxFaceBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return name;
}

// Left and top are read, and apply, independently.
Config::Position Config::position(Place place) const
{
    const auto [left, top] = positionKeys(place);
    return {number(m_file.readSetting(left)), number(m_file.readSetting(top))};
}

bool Config::setPosition(Place place, qint32 left, qint32 top)
{
    const auto [leftKey, topKey] = positionKeys(place);
    return m_file.writeMany(DataFile::Config, keys::kZbt,
                            {{leftKey, QString::number(left)}, {topKey, QString::number(top)}});
}

// An option not stored (or stored empty) keeps what the panel shows by
// default.
DisplayOptions Config::displayOptions() const
{
    DisplayOptions o;
    const auto read = [this](QStringView key, QString &text) {
        const QString stored = m_file.readSetting(key);
        if (!stored.isEmpty())
            text = stored;
    };
    read(keys::kResultWidth, o.resultWidth);
    read(keys::kResultHeight, o.resultHeight);
    read(keys::kRollSpeed, o.rollSpeed);
    read(keys::kAutoStop, o.autoStop);
    read(keys::kWheelSize, o.wheelSize);
    o.effectsDisabled = values::isTrueFlag(m_file.readSetting(keys::kEffectsDisabled));
    return o;
}

// One locked rewrite for all six, in the order a first save adds them.
bool Config::setDisplayOptions(const DisplayOptions &o)
{
    return m_file.writeMany(DataFile::Config, keys::kZbt,
                            {{keys::kResultHeight, o.resultHeight},
                             {keys::kResultWidth, o.resultWidth},
                             {keys::kRollSpeed, o.rollSpeed},
                             {keys::kEffectsDisabled, values::flagText(o.effectsDisabled)},
                             {keys::kAutoStop, o.autoStop},
                             {keys::kWheelSize, o.wheelSize}});
}

// Anything but "窗口" is full screen.
Config::WindowMode Config::windowMode() const
{
    return m_file.readSetting(keys::kWindowMode) == keys::kWindowed ? WindowMode::Windowed
                                                                : WindowMode::FullScreen;
}

bool Config::setWindowMode(WindowMode mode)
{
    return m_file.writeSetting(keys::kWindowMode,
                           mode == WindowMode::Windowed ? keys::kWindowed : keys::kFullScreen);
}

// Only "假" switches it off.
bool Config::musicOn() const
{
    return m_file.readSetting(keys::kMusic) != values::kFalse;
}

bool Config::setMusicOn(bool on)
{
    return m_file.writeSetting(keys::kMusic, values::flagText(on));
}

std::optional<int> Config::style() const
{
    const QString stored = m_file.readSetting(keys::kStyle);
    for (int k = 1; k <= 4; ++k) {
        if (stored == keys::kStyleValue[k - 1])
            return k;
    }
    return std::nullopt;
}

bool Config::setStyle(int k)
{
    return m_file.writeSetting(keys::kStyle, keys::kStyleValue[k - 1]);
}

ScreenPlace Config::screen() const
{
    return ScreenPlace::fromText(m_file.readSetting(keys::kScreen));
}

bool Config::setScreen(const ScreenPlace &place)
{
    return m_file.writeSetting(keys::kScreen, place.toText());
}

bool Config::publicDraw() const
{
    return values::isTrueFlag(m_file.readSetting(keys::kPublicDraw));
}

bool Config::setPublicDraw(bool on)
{
    return m_file.writeSetting(keys::kPublicDraw, values::flagText(on));
}

// A hand-edited value is taken as the bytes it holds in the file.
QByteArray Config::password() const
{
    const QByteArray text = m_file.codec().encode(m_file.readSetting(keys::kPassword));
    return cipher::decipherText(text, cipher::kPasswordKey);
}

bool Config::setPassword(const QByteArray &plain)
{
    const QByteArray text = cipher::encipherText(plain, cipher::kPasswordKey);
    return m_file.writeSetting(keys::kPassword, QString::fromLatin1(text));
}

QByteArray Config::passwordBytes(const QString &typed) const
{
    return m_file.codec().encode(typed);
}

std::optional<std::array<QString, 8>> Config::prizeValues() const
{
    if (m_file.readSetting(keys::kPrizeValue[0]).isEmpty())
        return std::nullopt;
    return prizeValueTexts();
}

std::array<QString, 8> Config::prizeValueTexts() const
{
    std::array<QString, 8> texts;
    for (int slot = 1; slot <= 8; ++slot)
        texts[slot - 1] = prizeValueText(slot);
    return texts;
}

QString Config::prizeValueText(int slot) const
{
    return m_file.readSetting(keys::kPrizeValue[slot - 1]);
}

PrizeTable Config::prizeTable() const
{
    const std::optional<std::array<QString, 8>> stored = prizeValues();
    return stored ? PrizeTable::fromTexts(*stored) : PrizeTable::defaults();
}

bool Config::setPrizeValues(const std::array<QString, 8> &texts)
{
    QList<std::pair<QStringView, QString>> entries;
    for (int i = 0; i < 8; ++i)
        entries.append({keys::kPrizeValue[i], texts[i]});
    return m_file.writeMany(DataFile::Config, keys::kZbt, entries);
}

DrawMode Config::drawMode() const
{
    return values::isTrueFlag(m_file.readSetting(keys::kDrawMode)) ? DrawMode::ByProbability
                                                                    : DrawMode::ByQuantity;
}

bool Config::setDrawMode(DrawMode mode)
{
    return m_file.writeSetting(keys::kDrawMode, values::flagText(mode == DrawMode::ByProbability));
}
