#include "platform/RuntimeError.h"

namespace miradel {

static std::string ComposeReport(const std::string& message, const std::string& file, long long line)
{
    if (file.empty())
        return message;
    if (line > 0)
        return file + ":" + std::to_string(line) + ": " + message;
    return file + ": " + message;
}

RuntimeError::RuntimeError(std::string message, std::string file, long long line)
    : std::runtime_error(ComposeReport(message, file, line))
    , m_message(std::move(message))
    , m_file(std::move(file))
    , m_line(line)
{
}

std::string RuntimeError::Report() const
{
    return what();
}

} // namespace miradel
