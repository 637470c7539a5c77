#pragma once

#include <QByteArray>
#include <QString>
#include <array>

class PictureBox;

// Slot N's picture lives in 奖品图片/N.jpg beside the program and shows in
// the main window's 图片框N. The folder is the whole state: every load reads
// the file again. The one exception is the held picture: the highlighted
// slot's, taken out of its box while the highlight is on it, which goes
// back into the box of the slot a roll ended on.
class PrizePictures
{
public:
    PrizePictures(QString runDir, std::array<PictureBox *, 8> boxes);

    QString folder() const;
    QString path(int slot) const;
    void ensureFolder() const;
    void load(int slot) const;
    void loadAll() const;

    // Takes the slot's picture out of its box and holds it, in place of the
    // one held before; returns it.
    QByteArray hold(int slot);
    // The held picture goes into the slot's box and stays held; slot 0
    // (no roll ended yet) does nothing.
    void putBack(int slot) const;
    const QByteArray &heldPicture() const { return m_held; }
    // Empties the held picture: before a picture replacement, which may
    // change the picture it stands for, and when it has gone back for good.
    void clearHeldPicture() { m_held.clear(); }

private:
    QString m_runDir;
    std::array<PictureBox *, 8> m_boxes;
    QByteArray m_held;
};
