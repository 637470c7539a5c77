#pragma once

#include <QString>
#include <array>

class PictureBox;

// Slot N's picture lives in 奖品图片/N.jpg beside the program and shows in
// the main window's 图片框N. The folder is the whole state: every load reads
// the file again.
class PrizePictures
{
public:
    PrizePictures(QString runDir, std::array<PictureBox *, 8> boxes);

    QString folder() const;
    QString path(int slot) const;
    void ensureFolder() const;
    void load(int slot) const;
    void loadAll() const;

private:
    QString m_runDir;
    std::array<PictureBox *, 8> m_boxes;
};
