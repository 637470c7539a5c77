#include "prizepictures.h"

#include "core/wholefile.h"
#include "filecopy.h"
#include "widgets/picturebox.h"

#include <QDir>

PrizePictures::PrizePictures(QString runDir, std::array<PictureBox *, 8> boxes)
    : m_runDir(std::move(runDir))
    , m_boxes(boxes)
{
}

QString PrizePictures::folder() const
{
    return m_runDir + QStringLiteral("/奖品图片");
}

QString PrizePictures::path(int slot) const
{
    return folder() + QLatin1Char('/') + QString::number(slot) + QStringLiteral(".jpg");
}

void PrizePictures::ensureFolder() const
{
    QDir().mkdir(folder()); // an existing folder or a failure is fine
}

void PrizePictures::load(int slot) const
{
    if (slot < 1 || slot > 8)
        return;
    m_boxes[slot - 1]->setPicture(readWholeFile(path(slot)));
}

void PrizePictures::loadAll() const
{
    for (int slot = 1; slot <= 8; ++slot)
        load(slot);
}
