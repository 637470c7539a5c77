#pragma once

#include <QByteArray>
#include <QDialog>
#include <array>

class DrawHistory;
class PictureBox;
class QLineEdit;
class QPushButton;

// "中奖结果": the win count of every slot, the button that clears them and
// the one that takes the last win back.
class ResultsWindow : public QDialog
{
    Q_OBJECT
public:
    // slotPictures are the main window's slot pictures, slot 1 first.
    ResultsWindow(DrawHistory &history, const std::array<QByteArray, 8> &slotPictures,
                  QWidget *parent = nullptr);

    QLineEdit *countEdit(int slot) const { return m_counts[slot - 1]; }
    PictureBox *pictureBox(int slot) const { return m_pictures[slot - 1]; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *voidButton() const { return m_void; }

    // The window was created: pictures and the stored count texts. The
    // window is not refreshed while it is open.
    void showResults(const std::array<QByteArray, 8> &slotPictures);
    // 清空中奖
    void clearResults();
    // 作废上次中奖: after a confirmation naming the win, its slot's count
    // goes down by one and the history records the void.
    void voidLastWin();

private:
    void buildLayout();
    void showStoredCounts();

    DrawHistory &m_history;
    std::array<PictureBox *, 8> m_pictures{};
    std::array<QLineEdit *, 8> m_counts{};
    QPushButton *m_clear = nullptr;
    QPushButton *m_void = nullptr;
};
