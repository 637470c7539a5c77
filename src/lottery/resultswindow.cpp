#include "lottery/resultswindow.h"

#include "core/drawhistory.h"
#include "lottery/designwidgets.h"
#include "lottery/historynotice.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kNewHistoryQuestion = QStringLiteral(
    "是否同时开始新的中奖记录？\r\n"
    "选“确定”：现在的中奖记录.csv改名保存（不会删除），从这次清空起记在新的中奖记录.csv里。"
    "彩排之后请这样做。\r\n"
    "选“取消”：继续记在现在的中奖记录.csv里。");

QString archivedText(const history::Archived &archived)
{
    if (!archived.path.isEmpty()) {
        return QStringLiteral("原来的中奖记录已改名为“") + QFileInfo(archived.path).fileName()
            + QStringLiteral("”，在程序所在文件夹里；新的中奖记录.csv从这次清空开始。");
    }
    if (archived.failure.isEmpty())
        return QStringLiteral("还没有中奖记录；新的中奖记录.csv从这次清空开始。");
    return QStringLiteral("中奖记录.csv没有改名（") + archived.failure
        + QStringLiteral("），这次清空仍记在原来的中奖记录.csv里。");
}

} // namespace

ResultsWindow::ResultsWindow(DrawHistory &history, const std::array<QByteArray, 8> &slotPictures,
                             QWidget *parent)
    : QDialog(parent), m_history(history)
{
    design::setupDialog(this, QStringLiteral("中奖结果"), 484, 284);
    buildLayout();
    connect(m_clear, &QPushButton::clicked, this, &ResultsWindow::clearResults);
    connect(m_void, &QPushButton::clicked, this, &ResultsWindow::voidLastWin);
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
    m_void = design::button(this, QStringLiteral("按钮_作废"), {320, 216, 132, 29},
                            QStringLiteral("作废上次中奖"));
    m_void->setFont(m_clear->font());
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
        m_counts[slot - 1]->setText(m_history.counts().text(slot));
}

void ResultsWindow::clearResults()
{
    if (!messagebox::confirm(QStringLiteral("确定要清空中奖结果吗？"), QStringLiteral("确定清空吗？")))
        return;
    const bool newHistory = messagebox::confirm(kNewHistoryQuestion, QStringLiteral("开始新的中奖记录吗？"));
    if (!m_history.resetAll(newHistory)) {
        // Show what the file really holds rather than zeros it does not.
        messagebox::inform(QStringLiteral("中奖结果清空失败！请检查程序所在文件夹是否可写。"));
        showStoredCounts();
        return;
    }
    for (QLineEdit *count : m_counts)
        count->setText(QStringLiteral("0"));
    if (const std::optional<history::Archived> archived = m_history.takeArchived())
        messagebox::inform(archivedText(*archived));
    if (const QString reason = m_history.failureToReport(); !reason.isEmpty())
        historynotice::show(reason);
}

void ResultsWindow::voidLastWin()
{
    QString why;
    const std::optional<history::Voidable> win = m_history.winToVoid(&why);
    if (!win) {
        messagebox::inform(why);
        return;
    }
    const QString question = QStringLiteral("确定要作废这次中奖吗？\r\n\r\n奖项：第 %1 项\r\n奖品数值：%2\r\n时间：%3"
                                            "\r\n\r\n作废后该项的已中奖数量减一，中奖记录中记下作废。")
                                 .arg(win->win.slot)
                                 .arg(win->win.prizeValue, win->win.cells.value(0));
    if (!messagebox::confirm(question, QStringLiteral("确定作废吗？")))
        return;
    const QString failure = m_history.voidWin(*win);
    showStoredCounts();
    if (!failure.isEmpty())
        messagebox::inform(u"没有作废，中奖数量没有改变。\r\n原因：" + failure);
}
