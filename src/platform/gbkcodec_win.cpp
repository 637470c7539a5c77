#include "gbkcodec.h"

#include <windows.h>

namespace {

// Code page 936 through the system, whatever the machine's own code page is.
class WindowsGbkCodec final : public TextCodec
{
public:
    QByteArray encode(QStringView text) const override
    {
        if (text.isEmpty())
            return {};
        const auto *wide = reinterpret_cast<const wchar_t *>(text.utf16());
        const int n = WideCharToMultiByte(936, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
        QByteArray out(n, Qt::Uninitialized);
        WideCharToMultiByte(936, 0, wide, int(text.size()), out.data(), n, nullptr, nullptr);
        return out;
    }

    QString decode(QByteArrayView bytes) const override
    {
        if (bytes.isEmpty())
            return {};
        const int n = MultiByteToWideChar(936, 0, bytes.data(), int(bytes.size()), nullptr, 0);
        QString out(n, Qt::Uninitialized);
        MultiByteToWideChar(936, 0, bytes.data(), int(bytes.size()),
                            reinterpret_cast<wchar_t *>(out.data()), n);
        return out;
    }
};

} // namespace

const TextCodec &gbkCodec()
{
    static const WindowsGbkCodec codec;
    return codec;
}
