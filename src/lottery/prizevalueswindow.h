#pragma once

#include "core/config.h"
#include "core/prizetable.h"

#include <QByteArray>
#include <QDialog>
#include <array>

class Draw;
class PictureBox;
class QLineEdit;
class QRadioButton;
class QPushButton;

// "设置": the eight prize values and the drawing mode.
class PrizeValuesWindow : public QDialog
{
    Q_OBJECT
public:
    // slotPictures are the main window's slot pictures, slot 1 first.
    // 确定 sets draw's prize values, whether or not the file took them.
    PrizeValuesWindow(Config config, Draw &draw, const std::array<QByteArray, 8> &slotPictures,
                      QWidget *parent = nullptr);

    QLineEdit *valueEdit(int slot) const { return m_values[slot - 1]; }
    PictureBox *pictureBox(int slot) const { return m_pictures[slot - 1]; }
    QRadioButton *byQuantityRadio() const { return m_byQuantity; }
    QRadioButton *byProbabilityRadio() const { return m_byProbability; }
    QPushButton *okButton() const { return m_ok; }

    // The window was created: pictures, stored values and mode.
    void loadPrizeSettings(const std::array<QByteArray, 8> &slotPictures);
    // The mode radios store the draw mode at the click, without waiting for 确定.
    void selectByQuantity();
    void selectByProbability();
    // 确定
    void savePrizeSettings();

private:
    void buildLayout();
    void showMode(bool byProbability);
    void selectMode(DrawMode mode);

    Config m_config;
    Draw &m_draw;
    std::array<PictureBox *, 8> m_pictures{};
    std::array<QLineEdit *, 8> m_values{};
    QRadioButton *m_byQuantity = nullptr;
    QRadioButton *m_byProbability = nullptr;
    QPushButton *m_ok = nullptr;
};
