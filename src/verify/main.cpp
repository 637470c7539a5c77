// lunora-verify [FILE]: checks a draw history from the file alone and prints
// what it found. A console program, because lunora.exe is a GUI program on
// Windows and no shell waits for it or takes its exit status.
#include "core/historycheck.h"
#include "core/historyfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].startsWith(u'-'))) {
        std::fputs("usage: lunora-verify [FILE]   (FILE defaults to the history in this folder)\n", stderr);
        return 2;
    }
    const QString path = args.size() == 2 ? args[1] : history::kFileName.toString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "lunora-verify: cannot read %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(file.errorString()));
        return 2;
    }
    const historycheck::Report report = historycheck::check(file.readAll());
    const QByteArray text = report.text().toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return report.ok() ? 0 : 1;
}
