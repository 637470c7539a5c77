#include "console.h"

#include <cstdio>

namespace console {

bool write(Stream stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::FILE *file = stream == Stream::Out ? stdout : stderr;
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size())
        && std::fflush(file) == 0;
}

} // namespace console
