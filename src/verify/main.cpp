// lunora-verify [--public] [FILE]: checks a draw history from the file alone
// and prints what it found. A console program, because lunora.exe is a GUI
// program on Windows and no shell waits for it or takes its exit status.
#include "core/historycheck.h"
#include "core/historyfile.h"
#include "platform/console.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    historycheck::Options options;
    options.publicOnly = args.removeAll(QStringLiteral("--public")) > 0;
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(u'-'))) {
        console::write(console::Stream::Error,
                       QStringLiteral("usage: lunora-verify [--public] [FILE]   (FILE defaults to the history "
                                      "in this folder; --public: every win from the first commitment on must "
                                      "be a public draw)\n"));
        return 2;
    }
    const QString path = args.isEmpty() ? history::kFileName.toString() : args[0];
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        console::write(console::Stream::Error,
                       QStringLiteral("lunora-verify: cannot read %1: %2\n").arg(path, file.errorString()));
        return 2;
    }
    const historycheck::Report report = historycheck::check(file.readAll(), options);
    if (!console::write(console::Stream::Out, report.text()))
        return 2;
    return report.ok() ? 0 : 1;
}
