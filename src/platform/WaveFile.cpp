// SPDX-License-Identifier: MIT
#include "platform/ContentFiles.h"
#include "platform/WaveHeader.h"

#include <algorithm>
#include <unistd.h>

namespace miradel {

std::string WaveFileProblem(const std::filesystem::path& path)
{
    OpenFailure failure = OpenFailure::None;
    const int descriptor = OpenContentFile(path, failure);
    if (descriptor < 0)
        return failure == OpenFailure::Missing ? "it is missing or not a regular file" : "it cannot be read";
    const std::uint64_t size = static_cast<std::uint64_t>(std::max<off_t>(::lseek(descriptor, 0, SEEK_END), 0));
    const ByteSource source = [descriptor](std::uint64_t offset, char* out, std::size_t count) -> std::size_t {
        const ssize_t read = ::pread(descriptor, out, count, static_cast<off_t>(offset));
        return read < 0 ? 0 : static_cast<std::size_t>(read);
    };
    WaveHeader header;
    std::string problem = CheckWaveHeader(source, size, header);
    ::close(descriptor);
    return problem;
}

} // namespace miradel
