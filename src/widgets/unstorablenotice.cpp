#include "widgets/unstorablenotice.h"

#include "widgets/messagebox.h"

#include <QStringList>

namespace {

// Each character with its code point, so that one that shows as nothing
// (a joiner, a mark of its own) is named all the same.
QString named(const QString &characters)
{
    QStringList names;
    for (qsizetype i = 0; i < characters.size();) {
        const bool pair = characters[i].isHighSurrogate() && i + 1 < characters.size()
            && characters[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(characters[i], characters[i + 1])
                                   : characters[i].unicode();
        const QString hex = QString::number(quint32(code), 16).toUpper();
        names << QStringLiteral("“%1”(U+%2)").arg(characters.mid(i, pair ? 2 : 1),
                                                  hex.rightJustified(4, u'0'));
        i += pair ? 2 : 1;
    }
    return names.join(QStringLiteral("、"));
}

} // namespace

namespace unstorablenotice {

QString text(const QString &what, const QString &characters)
{
    return what + QStringLiteral("中有程序的文件无法保存的字符：") + named(characters)
        + QStringLiteral("\r\n设置文件 config.a 用 GBK 编码保存，存不下这些字符。"
                         "这次没有保存，请去掉或换掉这些字符后再试。");
}

bool refuse(const QString &what, const QString &characters)
{
    if (characters.isEmpty())
        return false;
    messagebox::inform(text(what, characters));
    return true;
}

QString convertedText(const QString &fileName, const QString &copyName,
                      const QString &characters)
{
    QString text = fileName + QStringLiteral("是以 UTF-8 编码保存的，程序已按 UTF-8 读取，并把它改存为程序的 GBK 编码；原文件另存为")
        + copyName + QStringLiteral("。");
    if (!characters.isEmpty())
        text += QStringLiteral("\r\n以下字符 GBK 存不下，已改为“?”，请重新设置：") + named(characters);
    return text;
}

} // namespace unstorablenotice
