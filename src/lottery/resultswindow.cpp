#include "lottery/resultswindow.h"

#include "core/drawhistory.h"
#include "core/results.h"
#include "core/settingsfile.h"
#include "lottery/designwidgets.h"
#include "lottery/historynotice.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ResultsWindow::ResultsWindow(SettingsFile &settings, DrawHistory &history,
                             const std::array<QByteArray, 8> &slotPictures, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_history(history)
{
    design::setupDialog(this, QStringLiteral("中奖结果"), 484, 284);
    buildLayout();
    connect(m_clear, &QPushButton::clicked, this, &ResultsWindow::clearResults);
    showResults(slotPictures);
}

void ResultsWindow::buildLayout()
{
    const QFont headingFont = design::pixelFont(16, true, design::kSongTi);
    const struct { const char *name; int left; bool prize; } headings[] = {
        {"标签1", 4, true}, {"标签2", 115, false}, {"标签3", 248, true}, {"标签4", 359, false}};
    for (const auto &h : headings) {
        QLabel *heading = design::label(this, QString::fromUtf8(h.name), {h.left, 0, 104, 24},
                                        h.prize ? QStringLiteral("奖品") : QStringLiteral("已中奖数量"));
        heading->setFont(headingFont);
        heading->setEnabled(h.prize);
    }

    const design::SlotGrid grid = design::slotGrid(this, {{8, 248}, {124, 364}, 100},
                                                   design::pixelFont(20, true, design::kSongTi));
    m_pictures = grid.pictures;
    m_counts = grid.boxes;
    for (int i = 0; i < 8; ++i) {
        m_counts[i]->setText(QStringLiteral("0"));
        // Counts are shown, never edited.
        m_counts[i]->setEnabled(false);
        // Disabled, but the counts must stay easy to read from a distance.
        QPalette palette = m_counts[i]->palette();
        palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0, 0, 0));
        m_counts[i]->setPalette(palette);
    }

    m_clear = design::button(this, QStringLiteral("按钮1"), {184, 216, 112, 29},
                             QStringLiteral("清空中奖"));
    m_clear->setFont(design::pixelFont(16, false, design::kSongTi));
}

void ResultsWindow::showResults(const std::array<QByteArray, 8> &slotPictures)
{
    for (int i = 0; i < 8; ++i)
        m_pictures[i]->setPicture(slotPictures[i]);
    showStoredCounts();
}

void ResultsWindow::showStoredCounts()
{
    // The raw stored text: a fresh installation shows empty boxes, not zeros.
    for (int slot = 1; slot <= 8; ++slot)
        m_counts[slot - 1]->setText(results::countText(m_settings, slot));
}

void ResultsWindow::clearResults()
{
    if (!messagebox::confirm(QStringLiteral("确定要清空中奖结果吗？"), QStringLiteral("确定清空吗？")))
        return;
    if (!m_history.resetAll()) {
        // Show what the file really holds rather than zeros it does not.
        messagebox::inform(QStringLiteral("中奖结果清空失败！请检查程序所在文件夹是否可写。"));
        showStoredCounts();
        return;
    }
    for (QLineEdit *count : m_counts)
        count->setText(QStringLiteral("0"));
    if (const QString reason = m_history.failureToReport(); !reason.isEmpty())
        historynotice::show(reason);
}
