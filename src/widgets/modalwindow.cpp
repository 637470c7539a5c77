#include "widgets/modalwindow.h"

namespace modalwindow {

void run(QDialog &window)
{
    Seam *seam = Seam::active();
    if (!seam) {
        window.exec();
        return;
    }
    // Taken before the handler runs: a window it opens takes the next one.
    const std::optional<std::function<void(QDialog &)>> handler =
        seam->answer(QString::fromLatin1(window.metaObject()->className()));
    if (handler && *handler)
        (*handler)(window);
}

} // namespace modalwindow
