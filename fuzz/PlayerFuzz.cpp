// Plays arbitrary bytes through the real window: the first part of the input is a sequence
// of clicks, ticks and button presses, the others are the scene files (PlayerDrive.h has
// the layout). Content errors are expected outcomes; a broken invariant, a read of a closed
// file, a crash, a hang or a leak is a finding.

#include "fuzz/PlayerDrive.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path& Folder()
{
    static std::filesystem::path folder;
    return folder;
}

std::uint64_t Fnv1a(const std::uint8_t* data, std::size_t size)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 1099511628211ull;
    return hash;
}

// Made once: the window needs an application, and laying out the pictures is slow.
QApplication* application = nullptr;
miradel::robust::PlayerDrive* drive = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Memory is faster than disk for the scene files each input writes.
    std::error_code error;
    const std::filesystem::path base
        = std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : std::filesystem::temp_directory_path();
    Folder() = base / ("miradel-player-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(Folder());
    // A small screen makes a small window: every blink decodes a picture at the size of the
    // picture area, and at full size that would take most of the time.
    const std::filesystem::path screen = Folder() / "screen.json";
    std::ofstream(screen) << R"({ "screens": [ { "name": "small", "x": 0, "y": 0, "width": 320, "height": 240,)"
                          << R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] })";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen.string()).c_str(), 0);
    application = new QApplication(*argc, *argv);
    drive = new miradel::robust::PlayerDrive(Folder());
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(Folder(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const miradel::robust::PlayInput input = miradel::robust::SplitInput(bytes);
    drive->WriteScenes(input);
    drive->Play(input.events, Fnv1a(data, size));
    return 0;
}
