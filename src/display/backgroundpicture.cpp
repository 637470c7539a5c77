#include "backgroundpicture.h"

#include "core/wholefile.h"
#include "filecopy.h"
#include "widgets/filedialog.h"
#include "widgets/imagedecode.h"
#include "widgets/messagebox.h"
#include "widgets/picturebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPainter>
#include <QWidget>

namespace {

Q_LOGGING_CATEGORY(logPicture, "lunora.picture", QtInfoMsg)

} // namespace

BackgroundPicture::BackgroundPicture(QString runDir, QWidget *window, PictureBox *resultPicture)
    : m_runDir(std::move(runDir))
    , m_window(window)
    , m_resultPicture(resultPicture)
{
}

QString BackgroundPicture::path() const
{
    return m_runDir + QStringLiteral("/底图.jpg");
}

void BackgroundPicture::load()
{
    m_bytes = readWholeFile(path());
    if (!m_bytes.isEmpty() && !imagedecode::looksDecodable(m_bytes))
        qCWarning(logPicture, "底图.jpg is not a picture that can be shown: the background stays plain");
    m_scaled = QPixmap();
    m_scaledFor = QSize();
    m_window->update();
}

void BackgroundPicture::replace()
{
    const QString chosen = filedialog::openFile(QStringLiteral("图形文件(*.jpg)|*.jpg"), m_window);
    m_resultPicture->hide();
    // Whatever its name says, only what decodes can cover the window: a file
    // that does not is refused before anything is copied.
    if (!chosen.isEmpty() && imagedecode::decodeScaled(readWholeFile(chosen), {64, 64}).isNull()) {
        qCWarning(logPicture) << "a background that does not decode was refused:" << chosen;
        messagebox::inform(QStringLiteral("“") + QDir::toNativeSeparators(chosen)
                           + QStringLiteral("”不是能显示的图片，没有复制，底图没有改变！请另选一张图片。"));
        return;
    }
    bool copied = true;
    if (!chosen.isEmpty()) {
        copied = copyFileReplacing(chosen, path());
        load(); // shows what the file holds, which a failed copy left as it was
    }
    if (!copied)
        messagebox::inform(QStringLiteral("底图复制失败，底图没有改变！请检查程序所在文件夹是否可写。"));
}

void BackgroundPicture::clear()
{
    // No file to remove is what the operator asked for, not a failure.
    const bool removed = QFile::remove(path()) || !QFileInfo::exists(path());
    load();
    m_resultPicture->hide();
    if (!removed)
        messagebox::inform(QStringLiteral("底图删除失败，底图没有取消！请检查程序所在文件夹是否可写。"));
}

void BackgroundPicture::paint(QPainter &painter, const QRect &exposed)
{
    const QSize size = m_window->size();
    // Decoded in the screen's own pixels: a scaled screen shows it sharp.
    const qreal ratio = m_window->devicePixelRatioF();
    const QSize device = (QSizeF(size) * ratio).toSize();
    if (!m_bytes.isEmpty() && m_scaledFor != device) {
        const QImage image = imagedecode::decodeScaled(m_bytes, device);
        m_scaled = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledFor = device;
    }
    if (m_bytes.isEmpty() || m_scaled.isNull()) {
        painter.fillRect(exposed, QColor(255, 0, 0));
        return;
    }
    if (m_scaled.size() == device)
        painter.drawPixmap(QRectF(exposed), m_scaled,
                           QRectF(QPointF(exposed.topLeft()) * ratio, QSizeF(exposed.size()) * ratio));
    else
        painter.drawPixmap(QRect(QPoint(0, 0), size), m_scaled);
}
