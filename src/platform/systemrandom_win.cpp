#include "systemrandom.h"

#include <windows.h>
#include <bcrypt.h>

namespace {

class WindowsRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override
    {
        QByteArray out(size, '\0');
        const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(out.data()), ULONG(size),
                                                BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        return status >= 0 ? out : QByteArray();
    }
};

} // namespace

std::unique_ptr<SecureRandom> createSystemRandom()
{
    return std::make_unique<WindowsRandom>();
}
