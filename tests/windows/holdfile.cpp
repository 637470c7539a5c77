// Holds a file open as other programs do (a virus scanner, the indexer, a
// spreadsheet), for the Wine tests of the program's saves:
//   holdfile <file> <none|read|readwrite|all> <milliseconds> <marker>
// opens <file> for reading with that sharing, makes <marker> once it holds
// it, waits, and closes it. Exit status 1 when the file could not be opened.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 5)
        return 2;
    DWORD share = 0;
    if (std::wcscmp(argv[2], L"read") == 0)
        share = FILE_SHARE_READ;
    else if (std::wcscmp(argv[2], L"readwrite") == 0)
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    else if (std::wcscmp(argv[2], L"all") == 0)
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const HANDLE marker = CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
    CloseHandle(file);
    return 0;
}
