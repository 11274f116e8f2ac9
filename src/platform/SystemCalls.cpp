#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class RealSystemCalls final : public SystemCalls
{
public:
    int open(const char *path, int flags) override { return ::open(path, flags); }
    int close(int fd) override { return ::close(fd); }
    int ioctl(int fd, unsigned long request, void *arg) override
    {
        return ::ioctl(fd, request, arg);
    }
};

} // namespace

SystemCalls &SystemCalls::real()
{
    static RealSystemCalls calls;
    return calls;
}
