#include "textencoding.h"

#include "inidocument.h"
#include "keys.h"
#include "textcodec.h"

#include <QList>
#include <utility>

namespace {

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

bool roundTrips(const TextCodec &codec, QStringView text)
{
    return codec.decode(codec.encode(text)) == text;
}

// One character: a surrogate pair counts as one.
qsizetype characterLength(QStringView text, qsizetype at)
{
    const bool pair = text[at].isHighSurrogate() && at + 1 < text.size()
        && text[at + 1].isLowSurrogate();
    return pair ? 2 : 1;
}

// Calls found(begin, length) for each character the codec cannot hold. The
// text is tried whole, then line by line, then character by character in
// the lines that fail, so a long file costs a few conversions, not one per
// character.
template <typename Found> void forEachUnstorable(const TextCodec &codec, QStringView text, Found found)
{
    if (roundTrips(codec, text))
        return;
    for (qsizetype lineStart = 0; lineStart < text.size();) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        lineEnd = lineEnd < 0 ? text.size() : lineEnd + 1;
        const QStringView line = text.sliced(lineStart, lineEnd - lineStart);
        for (qsizetype i = 0; !roundTrips(codec, line) && i < line.size();) {
            const qsizetype n = characterLength(line, i);
            if (!roundTrips(codec, line.sliced(i, n)))
                found(lineStart + i, n);
            i += n;
        }
        lineStart = lineEnd;
    }
}

// The program's own names in config.a that are not plain ASCII: what tells
// an editor's UTF-8 from the program's GBK.
const std::pair<QStringView, QStringView> kChineseNames[] = {
    {keys::kZbt, keys::kMainTitle},           {keys::kZbt, keys::kSubTitle},
    {keys::kZbt, keys::kMainTitleLeft},       {keys::kZbt, keys::kMainTitleTop},
    {keys::kZbt, keys::kSubTitleLeft},        {keys::kZbt, keys::kSubTitleTop},
    {keys::kZbt, keys::kWheelLeft},           {keys::kZbt, keys::kWheelTop},
    {keys::kZbt, keys::kResultLeft},          {keys::kZbt, keys::kResultTop},
    {keys::kZbt, keys::kResultWidth},         {keys::kZbt, keys::kResultHeight},
    {keys::kZbt, keys::kRollSpeed},           {keys::kZbt, keys::kEffectsDisabled},
    {keys::kZbt, keys::kAutoStop},            {keys::kZbt, keys::kWheelSize},
    {keys::kZbt, keys::kWindowMode},          {keys::kZbt, keys::kMusic},
    {keys::kZbt, keys::kStyle},               {keys::kZbt, keys::kScreen},
    {keys::kZbt, keys::kPublicDraw},          {keys::kZbt, keys::kPrizeValue[0]},
    {keys::kZbt, keys::kPrizeValue[1]},       {keys::kZbt, keys::kPrizeValue[2]},
    {keys::kZbt, keys::kPrizeValue[3]},       {keys::kZbt, keys::kPrizeValue[4]},
    {keys::kZbt, keys::kPrizeValue[5]},       {keys::kZbt, keys::kPrizeValue[6]},
    {keys::kZbt, keys::kPrizeValue[7]},       {keys::kYanse, keys::kMainTitleFont},
    {keys::kYanse, keys::kMainTitleFontSize}, {keys::kYanse, keys::kMainTitleFontColour},
    {keys::kYanse, keys::kSubTitleFont},      {keys::kYanse, keys::kSubTitleFontSize},
    {keys::kYanse, keys::kSubTitleFontColour},
};

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

namespace textencoding {

QString unstorable(const TextCodec &codec, QStringView text)
{
    QString missing;
    forEachUnstorable(codec, text, [&](qsizetype at, qsizetype n) {
        const QStringView character = text.sliced(at, n);
        if (!missing.contains(character))
            missing += character;
    });
    return missing;
}

QString storable(const TextCodec &codec, QStringView text)
{
    QString result = text.toString();
    // Replaced from the end, so the earlier positions stay where they were.
    QList<std::pair<qsizetype, qsizetype>> found;
    forEachUnstorable(codec, text, [&](qsizetype at, qsizetype n) { found.append({at, n}); });
    for (auto it = found.crbegin(); it != found.crend(); ++it)
        result.replace(it->first, it->second, QStringLiteral("?"));
    return result;
}

bool readsAsUtf8(const QByteArray &bytes, const TextCodec &ansi)
{
    if (bytes.startsWith(kUtf8Bom))
        return true;
    if (isAscii(bytes) || !QByteArrayView(bytes).isValidUtf8())
        return false;
    const IniDocument asUtf8(bytes, true);
    const IniDocument asAnsi(bytes, false);
    bool foundAsUtf8 = false;
    for (const auto &[section, key] : kChineseNames) {
        if (asAnsi.value(ansi.encode(section), ansi.encode(key)))
            return false;
        foundAsUtf8 = foundAsUtf8 || asUtf8.value(section.toUtf8(), key.toUtf8()).has_value();
    }
    return foundAsUtf8;
}

QString utf8Text(const QByteArray &bytes)
{
    const QByteArrayView view(bytes);
    return QString::fromUtf8(view.startsWith(kUtf8Bom) ? view.sliced(kUtf8Bom.size()) : view);
}

} // namespace textencoding
