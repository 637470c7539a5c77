// The resources of the built lunora.exe, read back through the system's own
// functions as Explorer reads them: the icon at the sizes Explorer asks for,
// the version information, and the manifest's DPI, long-path and
// supported-OS entries. The program is LUNORA_EXE, or the build's own.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <windows.h>

namespace {

QString programPath()
{
    const QString given = qEnvironmentVariable("LUNORA_EXE");
    if (!given.isEmpty())
        return given;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../../run/lunora.exe"));
}

// The square icon's width as the system loads it for the size asked.
int loadedIconWidth(HMODULE module, int size)
{
    auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    if (!icon)
        return 0;
    ICONINFO info {};
    int width = 0;
    if (GetIconInfo(icon, &info)) {
        BITMAP bitmap {};
        if (GetObjectW(info.hbmMask, sizeof bitmap, &bitmap))
            width = bitmap.bmWidth;
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
    DestroyIcon(icon);
    return width;
}

QString versionString(const QByteArray &block, const wchar_t *name)
{
    const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.constData(), query.c_str(), &value, &length) || !value)
        return {};
    return QString::fromWCharArray(static_cast<const wchar_t *>(value)).left(int(length));
}

} // namespace

class TestExeResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void icon();
    void version();
    void manifest();

private:
    std::wstring m_path;
    HMODULE m_module = nullptr;
};

void TestExeResources::initTestCase()
{
    const QString path = programPath();
    QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    m_path = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
    m_module = LoadLibraryExW(m_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    QVERIFY(m_module);
}

void TestExeResources::cleanupTestCase()
{
    if (m_module)
        FreeLibrary(m_module);
}

void TestExeResources::icon()
{
    QVERIFY(FindResourceW(m_module, MAKEINTRESOURCEW(1), RT_GROUP_ICON));
    for (const int size : {16, 32, 48, 256})
        QCOMPARE(loadedIconWidth(m_module, size), size);
}

void TestExeResources::version()
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(m_path.c_str(), &ignored);
    QVERIFY(size > 0);
    QByteArray block(int(size), '\0');
    QVERIFY(GetFileVersionInfoW(m_path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    QVERIFY(VerQueryValueW(block.constData(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    QCOMPARE(fixed->dwSignature, DWORD(0xFEEF04BD));
    const QString numbers = QStringLiteral("%1.%2.%3")
                                .arg(HIWORD(fixed->dwFileVersionMS))
                                .arg(LOWORD(fixed->dwFileVersionMS))
                                .arg(HIWORD(fixed->dwFileVersionLS));
    QCOMPARE(numbers, QStringLiteral(LUNORA_VERSION));
    QCOMPARE(fixed->dwFileType, DWORD(VFT_APP));
    QCOMPARE(versionString(block, L"ProductVersion"), QStringLiteral(LUNORA_VERSION));
    QCOMPARE(versionString(block, L"OriginalFilename"), QStringLiteral("lunora.exe"));
}

void TestExeResources::manifest()
{
    HRSRC found = FindResourceW(m_module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    QVERIFY(found);
    const auto *bytes = static_cast<const char *>(LockResource(LoadResource(m_module, found)));
    QVERIFY(bytes);
    const QByteArray manifest(bytes, int(SizeofResource(m_module, found)));
    for (const char *entry : {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                              "PerMonitorV2</dpiAwareness>",
                              ">true/pm</dpiAware>",
                              "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                              "true</longPathAware>",
                              "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
        QVERIFY2(manifest.contains(entry), entry);
}

QTEST_GUILESS_MAIN(TestExeResources)
#include "test_exeresources.moc"
