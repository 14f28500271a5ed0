#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace miradel::robust {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& label)
        : m_path(std::filesystem::temp_directory_path()
              / ("miradel-" + label + "-" + std::to_string(getpid()) + "-" + std::to_string(s_count++)))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    static inline int s_count = 0;
    std::filesystem::path m_path;
};

} // namespace miradel::robust
