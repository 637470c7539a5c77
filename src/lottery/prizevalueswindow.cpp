#include "lottery/prizevalueswindow.h"

#include "core/draw.h"
#include "lottery/designwidgets.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"
#include "widgets/unstorablenotice.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kExplanation = QStringLiteral(
    "1.按奖品数量抽奖：\r\n"
    "    选择按数量抽奖，就是把所有奖品(即：奖品数值之和)都放在一个盒子里，依次从里面往外拿，"
    "全部拿完抽奖结束；\r\n"
    "2.按概率抽奖：\r\n"
    "    选择按概率抽奖，就是把所有奖品(即：奖品数值之和)都放在一个盒子里，抽取时往外面拿出一个，"
    "然后再把这个奖品往盒子里补充一个，保持盒子里的奖品总量不变，等待下一次抽取。");


void headings(QWidget *window, const QString &pictureName, const QString &valueName, int pictureLeft,
              int valueLeft)
{
    const QFont font = design::pixelFont(16);
    const QColor navy(0, 0, 128);
    QLabel *pictures = design::label(window, pictureName, {pictureLeft, 0, 104, 24},
                                     QStringLiteral("对应奖品"));
    QLabel *values = design::label(window, valueName, {valueLeft, 0, 157, 24},
                                   QStringLiteral("中奖概率(奖品数量)"));
    for (QLabel *heading : {pictures, values}) {
        heading->setFont(font);
        design::setTextColour(heading, navy);
    }
}

} // namespace

PrizeValuesWindow::PrizeValuesWindow(Config config, Draw &draw,
                                     const std::array<QByteArray, 8> &slotPictures, QWidget *parent)
    : QDialog(parent), m_config(config), m_draw(draw)
{
    design::setupDialog(this, QStringLiteral("设置"), 564, 433);
    buildLayout();
    connect(m_byQuantity, &QRadioButton::clicked, this, &PrizeValuesWindow::selectByQuantity);
    connect(m_byProbability, &QRadioButton::clicked, this, &PrizeValuesWindow::selectByProbability);
    connect(m_ok, &QPushButton::clicked, this, &PrizeValuesWindow::savePrizeSettings);
    loadPrizeSettings(slotPictures);
}

void PrizeValuesWindow::buildLayout()
{
    headings(this, QStringLiteral("标签1"), QStringLiteral("标签2"), 4, 115);
    headings(this, QStringLiteral("标签5"), QStringLiteral("标签6"), 280, 391);

    const design::SlotGrid grid = design::slotGrid(this, {{8, 288}, {115, 391}, 157},
                                                   design::pixelFont(20, true, design::kSongTi));
    m_pictures = grid.pictures;
    m_values = grid.boxes;
    for (int i = 0; i < 8; ++i)
        m_values[i]->setText(QString::number(PrizeTable::defaults()[i + 1]));

    m_byQuantity = design::radioBox(this, QStringLiteral("单选框1"), {103, 224, 150, 24},
                                    QStringLiteral("按奖品数量抽奖"));
    m_byProbability = design::radioBox(this, QStringLiteral("单选框2"), {327, 224, 150, 24},
                                       QStringLiteral("按概率抽奖"));
    for (QRadioButton *radio : {m_byQuantity, m_byProbability})
        radio->setFont(design::pixelFont(16));
    m_byQuantity->setChecked(true);

    auto *group = new QGroupBox(QStringLiteral("设置说明"), this);
    group->setObjectName(QStringLiteral("分组框1"));
    group->setGeometry(7, 243, 537, 125);
    QLabel *explanation = design::label(group, QStringLiteral("标签3"), {8, 15, 521, 102}, kExplanation);
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    explanation->setFont(design::pixelFont(14, false, design::kSongTi));
    design::setTextColour(explanation, QColor(0, 0, 128));
    design::shrinkToFit(explanation);

    m_ok = design::button(this, QStringLiteral("按钮1"), {223, 372, 112, 29}, QStringLiteral("确定"));
    m_ok->setFont(design::pixelFont(16, false, design::kSongTi));
}

void PrizeValuesWindow::loadPrizeSettings(const std::array<QByteArray, 8> &slotPictures)
{
    for (int i = 0; i < 8; ++i)
        m_pictures[i]->setPicture(slotPictures[i]);
    // Values a failed save left in force are what the draw uses: shown
    // rather than the file's. Until the first save "一" is empty and the
    // design texts stay.
    if (const auto &unsaved = m_draw.unsavedValues()) {
        for (int i = 0; i < 8; ++i)
            m_values[i]->setText((*unsaved)[i]);
    } else if (const auto stored = m_config.prizeValues()) {
        for (int i = 0; i < 8; ++i)
            m_values[i]->setText((*stored)[i]);
    }
    showMode(m_config.drawMode() == DrawMode::ByProbability);
}

void PrizeValuesWindow::showMode(bool byProbability)
{
    m_byProbability->setChecked(byProbability);
    m_byQuantity->setChecked(!byProbability);
}

void PrizeValuesWindow::selectByQuantity()
{
    selectMode(DrawMode::ByQuantity);
}

void PrizeValuesWindow::selectByProbability()
{
    selectMode(DrawMode::ByProbability);
}

// The draw reads the mode from the file, so the radios show what the file
// holds: a write that failed must not look like a change of mode.
void PrizeValuesWindow::selectMode(DrawMode mode)
{
    if (!m_config.setDrawMode(mode))
        messagebox::inform(QStringLiteral("抽奖方式保存失败，没有改变！"
                                          "请检查程序所在文件夹是否可写。"));
    showMode(m_config.drawMode() == DrawMode::ByProbability);
}

void PrizeValuesWindow::savePrizeSettings()
{
    std::array<QString, 8> typed;
    for (int i = 0; i < 8; ++i)
        typed[i] = m_values[i]->text();
    // Refused whole, with the window left open to mend the values.
    if (unstorablenotice::refuse(QStringLiteral("奖品数值"),
                                 m_config.unstorable(QStringList(typed.begin(), typed.end()).join(QString()))))
        return;
    const bool saved = m_config.setPrizeValues(typed);
    m_draw.setPrizeValues(typed, saved);

    if (saved)
        messagebox::inform(QStringLiteral("设置成功！"));
    else
        messagebox::inform(QStringLiteral("奖项设置保存失败，只在本次运行中有效！"
                                          "请检查程序所在文件夹是否可写。"));
    accept();
}
