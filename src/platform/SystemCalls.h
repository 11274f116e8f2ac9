#pragma once

#include <cstddef>
#include <sys/types.h>

// The few system calls the device back ends make, behind an interface so that
// tests can stand in for a tty's modem lines or a parallel port that this
// machine does not have. Each returns what the system call returns, with errno
// set on failure.
class SystemCalls
{
public:
    virtual ~SystemCalls() = default;
    virtual int open(const char *path, int flags) = 0;
    virtual int close(int fd) = 0;
    virtual int ioctl(int fd, unsigned long request, void *arg) = 0;

    // The real calls.
    static SystemCalls &real();
};
