#include "gbkcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

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
        return decoder.decode(bytes);
    }
};

} // namespace

const TextCodec &gbkCodec()
{
    static const IcuGbkCodec codec;
    return codec;
}
