#include "platform/environment.h"
#include "platform/sound.h"
#include "mainwindow/mainwindow.h"
#include "widgets/fontsize.h"
#include "widgets/translations.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char *argv[])
{
    preparePlatformEnvironment();
    if (const QByteArray problem = displayProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "lunora: %s\n", problem.constData());
        return 1;
    }
    QApplication app(argc, argv);
    // No application display name: Qt would append it to every window title.
    app.setWindowIcon(QIcon(QStringLiteral(":/assets/app_icon.png")));
    installChineseTranslations(app);
    QApplication::setFont(fontsize::inDesignPixels(QApplication::font()));

#ifdef LUNORA_PER_USER_DATA
    // Installed by the package: the program's folder is not writable, so each
    // user's data lives in ~/.local/share/lunora (or $XDG_DATA_HOME/lunora).
    const QString runDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/lunora");
    if (!QDir().mkpath(runDir))
        std::fprintf(stderr, "lunora: cannot make the data folder %s\n", qPrintable(runDir));
#else
    // The program keeps its data beside itself.
    const QString runDir = QDir(QCoreApplication::applicationDirPath()).absolutePath();
#endif
    MainWindow window(runDir, createSystemSound());
    window.show();
    return app.exec();
}
