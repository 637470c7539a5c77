#pragma once

#include <QString>

// Text for a console program's standard output or error: on Windows a
// console shows it through the wide-character call (the console's code page
// would garble Chinese file names), anything else, a pipe or a file, gets
// UTF-8. Elsewhere UTF-8 always. Returns whether it was all written.
namespace console {

enum class Stream { Out, Error };

bool write(Stream stream, const QString &text);

} // namespace console
