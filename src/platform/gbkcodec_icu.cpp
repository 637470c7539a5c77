#include "gbkcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool isLeadByte(uchar b)
{
    return b >= 0x81 && b <= 0xfe;
}

bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xfe && b != 0x7f;
}

// Whether the bytes end in the first byte of a two-byte character whose
// second byte is missing.
bool endsInLoneLeadByte(QByteArrayView bytes)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (!isLeadByte(uchar(bytes[i]))) {
            ++i;
        } else if (i + 1 == bytes.size()) {
            return true;
        } else {
            i += isTrailByte(uchar(bytes[i + 1])) ? 2 : 1;
        }
    }
    return false;
}

// Qt's converters for GBK come from ICU. A converter keeps state between
// calls, so each call builds its own: the files are small and this keeps the
// codec safe to share.
class IcuGbkCodec final : public TextCodec
{
public:
    QByteArray encode(QStringView text) const override
    {
        QStringEncoder encoder("GBK");
        if (!encoder.isValid())
            return text.toLocal8Bit();
        return encoder.encode(text);
    }

    QString decode(QByteArrayView bytes) const override
    {
        QStringDecoder decoder("GBK");
        if (!decoder.isValid())
            return QString::fromLocal8Bit(bytes);
        QString text = decoder.decode(bytes);
        // ICU holds a final lead byte back, waiting for the rest of its
        // character, and never hands it over. Show it as a replacement
        // character rather than as nothing, as the Windows code page does.
        if (endsInLoneLeadByte(bytes))
            text += QChar(QChar::ReplacementCharacter);
        return text;
    }
};

} // namespace

const TextCodec &gbkCodec()
{
    static const IcuGbkCodec codec;
    return codec;
}
