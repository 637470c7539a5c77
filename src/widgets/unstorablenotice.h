#pragma once

#include <QString>

// A text holding characters the data files cannot store (they are GBK) is
// refused, and the operator is told which characters, so that nothing is
// ever stored as "?" in silence.
namespace unstorablenotice {

// what names the text, e.g. "主标题"; characters are those it cannot store.
QString text(const QString &what, const QString &characters);

// Shows the message and returns true when characters is not empty.
bool refuse(const QString &what, const QString &characters);

// A data file an editor saved as UTF-8 has been stored back in GBK, its
// original kept as copyName; characters are those stored as "?".
QString convertedText(const QString &fileName, const QString &copyName,
                      const QString &characters);

} // namespace unstorablenotice
