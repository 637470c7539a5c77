// Fuzzes picture decoding with arbitrary bytes at a few box sizes, from a
// one-pixel box to one past the decode cap.
//
// Invariants: no crash, no fault the sanitizers see, memory within the
// limits the fuzzer is run with (-rss_limit_mb, -malloc_limit_mb), and the
// result is either null or exactly the (capped) box size.
#include "widgets/imagedecode.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Image plugins (JPEG, GIF, ...) are found through the application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // Every refused picture warns; millions of warnings only slow the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const QSize boxes[]
        = { { 1, 1 }, { 97, 61 }, { 320, 240 }, { imagedecode::kMaxDecodeSide + 1, 700 } };
    const QSize box = boxes[data[0] % 4];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QImage image = imagedecode::decodeScaled(bytes, box);
    check(image.isNull()
        || image.size()
            == box.boundedTo({ imagedecode::kMaxDecodeSide, imagedecode::kMaxDecodeSide }));
    // Each input on its own: the cache would otherwise hold earlier images.
    imagedecode::clearCache();
    return 0;
}
