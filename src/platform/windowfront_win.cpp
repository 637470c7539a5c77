#include "windowfront.h"

#include <windows.h>

namespace {

struct Search
{
    DWORD pid = 0;
    HWND found = nullptr;
};

// The main window is the process's visible (or minimised) top-level window
// that no other window owns and that is no tool window: the fireworks and
// the boxes are owned by it.
BOOL CALLBACK visit(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<Search *>(parameter);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || GetWindow(window, GW_OWNER) != nullptr)
        return TRUE;
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

WindowFront bringWindowOfProcessToFront(qint64 pid, int answerMs)
{
    Search search;
    search.pid = DWORD(pid);
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return WindowFront::NoWindow;
    // A window whose thread takes no messages (hung, or stopped in a
    // debugger) would block ShowWindow and the like for ever: asked first,
    // with a limit, and given up at once when the system already counts it
    // as hung.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, UINT(answerMs), &ignored))
        return WindowFront::NotAnswering;
    // This process was just started by the operator, so the system lets it
    // hand the foreground on; the first copy may take it as well.
    AllowSetForegroundWindow(search.pid);
    // Posted, never waited for: the copy may stop answering right after.
    if (IsIconic(search.found))
        ShowWindowAsync(search.found, SW_RESTORE);
    // A box open over the main window is what should get the focus.
    HWND target = GetLastActivePopup(search.found);
    SetForegroundWindow(target ? target : search.found);
    return WindowFront::Raised;
}
