#include "systemrandom.h"

#include <QFile>

#include <cerrno>
#include <sys/random.h>

namespace {

class UnixRandom final : public SecureRandom
{
public:
    QByteArray bytes(int size) override
    {
        QByteArray out(size, '\0');
        qsizetype done = 0;
        while (done < size) {
            const ssize_t got = getrandom(out.data() + done, size_t(size - done), 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return fromDevice(size);
            done += got;
        }
        return out;
    }

private:
    // A kernel without getrandom (before 3.17) still has the device.
    static QByteArray fromDevice(int size)
    {
        QFile device(QStringLiteral("/dev/urandom"));
        if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return {};
        const QByteArray out = device.read(size);
        return out.size() == size ? out : QByteArray();
    }
};

} // namespace

std::unique_ptr<SecureRandom> createSystemRandom()
{
    return std::make_unique<UnixRandom>();
}
