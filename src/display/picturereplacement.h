#pragma once

class PrizePictures;
class QWidget;

// Giving a prize its own picture: a double-click on the slot's box on the
// wheel, a JPEG file chosen, and the file copied into the picture folder
// under the slot's name, so the choice survives a restart.
class PictureReplacement
{
public:
    PictureReplacement(PrizePictures &pictures, QWidget *dialogParent);

    // Works during a roll as well; the file dialog is modal, the roll keeps
    // ticking behind it.
    void replace(int slot);

private:
    PrizePictures &m_pictures;
    QWidget *m_dialogParent;
};
