#include "unpackfolder.h"

QString archiveUnpackFolder()
{
    return {};
}

bool runsFromArchive(const QString &)
{
    return false;
}
