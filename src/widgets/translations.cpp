#include "widgets/translations.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

bool installChineseTranslations(QApplication &app)
{
    // Qt's installed translations first; a deployed copy beside the program
    // serves where Qt itself brought none.
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
            QApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}
