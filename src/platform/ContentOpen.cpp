// SPDX-License-Identifier: MIT
#include "platform/ContentOpen.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace miradel {

int OpenContentFile(const std::filesystem::path& path, OpenFailure& failure)
{
    // Not blocking: opening a named pipe would wait for a writer that never comes.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        failure = errno == ENOENT || errno == ENOTDIR ? OpenFailure::Missing : OpenFailure::Unreadable;
        return -1;
    }
    struct stat status { };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        failure = OpenFailure::Missing;
        return -1;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    failure = OpenFailure::None;
    return descriptor;
}

} // namespace miradel
