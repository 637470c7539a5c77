#include "prizepictures.h"

#include "core/wholefile.h"
#include "filecopy.h"
#include "widgets/imagedecode.h"
#include "widgets/picturebox.h"

#include <QDir>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(logPicture, "lunora.picture", QtInfoMsg)

} // namespace

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
    // An existing folder answers false too. One that cannot be made (a
    // read-only run folder) must not stop a start-up: the boxes are then
    // empty, and a replacement reports its failed copy.
    static_cast<void>(QDir().mkdir(folder()));
}

void PrizePictures::load(int slot) const
{
    if (slot < 1 || slot > 8)
        return;
    m_boxes[slot - 1]->setPicture(readWholeFile(path(slot)));
}

// Each slot's file is looked at here, once a run: load() runs again at
// every roll tick for the slot the highlight leaves, where a header parse
// and a log line per tick would cost the tick and flood the log.
void PrizePictures::loadAll() const
{
    for (int slot = 1; slot <= 8; ++slot) {
        load(slot);
        const QByteArray bytes = m_boxes[slot - 1]->picture();
        if (!bytes.isEmpty() && !imagedecode::looksDecodable(bytes))
            qCWarning(logPicture, "奖品图片/%d.jpg is not a picture that can be shown: its box stays empty", slot);
    }
}

QByteArray PrizePictures::hold(int slot)
{
    PictureBox *box = m_boxes[slot - 1];
    m_held = box->picture();
    box->setPicture({});
    return m_held;
}

void PrizePictures::putBack(int slot) const
{
    if (slot != 0)
        m_boxes[slot - 1]->setPicture(m_held);
}
