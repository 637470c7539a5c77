// lunora_mediagen OUTPUT_DIR
// Paints the built-in pictures and synthesises the chime into OUTPUT_DIR.
// It needs no display: the offscreen platform is used unless another one is
// asked for.
#include "generators.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        err << "usage: lunora_mediagen OUTPUT_DIR\n";
        return 2;
    }
    const QString dir = args.at(1);
    if (!QDir().mkpath(dir)) {
        err << "cannot create " << dir << "\n";
        return 1;
    }
    bool ok = mediagen::writeFaces(dir);
    ok = mediagen::writeBanners(dir) && ok;
    ok = mediagen::writeIcons(dir) && ok;
    ok = mediagen::writeChime(dir) && ok;
    if (!ok)
        err << "some files could not be written to " << dir << "\n";
    return ok ? 0 : 1;
}
