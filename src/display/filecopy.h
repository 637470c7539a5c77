#pragma once

#include <QString>

// Copies `source` over `target` so that the target is never torn or lost:
// the bytes go to a temporary file beside the target, which then replaces
// it. Choosing the target itself (or a link to it) leaves it untouched.
// Returns whether the target now holds the source's bytes.
[[nodiscard]] bool copyFileReplacing(const QString &source, const QString &target);
