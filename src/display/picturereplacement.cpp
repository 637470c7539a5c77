#include "picturereplacement.h"

#include "core/wholefile.h"
#include "filecopy.h"
#include "prizepictures.h"
#include "widgets/filedialog.h"
#include "widgets/imagedecode.h"
#include "widgets/messagebox.h"

#include <QDir>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(logPicture, "lunora.picture", QtInfoMsg)

} // namespace

PictureReplacement::PictureReplacement(PrizePictures &pictures, QWidget *dialogParent)
    : m_pictures(pictures)
    , m_dialogParent(dialogParent)
{
}

void PictureReplacement::replace(int slot)
{
    // The picture held for the slot the roll last landed on may be the one
    // about to change, so it is dropped whatever the operator does next.
    m_pictures.clearHeldPicture();
    const QString chosen = filedialog::openFile(QStringLiteral("图形文件(*.jpg)|*.jpg"), m_dialogParent);
    if (chosen.isEmpty())
        return;
    // Whatever its name says, only what decodes can show on the card: a
    // file that does not is refused before anything is copied.
    if (imagedecode::decodeScaled(readWholeFile(chosen), {64, 64}).isNull()) {
        qCInfo(logPicture, "refused %ls as prize picture %d: it does not decode",
               qUtf16Printable(QDir::toNativeSeparators(chosen)), slot);
        messagebox::inform(QStringLiteral("“") + QDir::toNativeSeparators(chosen)
                           + QStringLiteral("”不是能显示的图片，没有复制，奖品图片没有改变！"
                                            "请另选一张图片。"));
        return;
    }
    // The folder may have been removed since start-up made it.
    m_pictures.ensureFolder();
    // Replaced through a temporary file; choosing the slot's own file (or a
    // link to it) leaves it as it is instead of truncating it.
    const bool copied = copyFileReplacing(chosen, m_pictures.path(slot));
    // The box shows what the folder now holds, whether or not the copy worked.
    m_pictures.load(slot);
    if (!copied)
        messagebox::inform(QStringLiteral("奖品图片复制失败，图片没有改变！请检查程序所在文件夹是否可写。"));
}
