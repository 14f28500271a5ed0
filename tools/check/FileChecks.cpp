// SPDX-License-Identifier: MIT
#include "FileChecks.h"

#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "platform/WaveHeader.h"

#include <SDL.h>

#include <fstream>

namespace miradel::check {

static std::string FirstBytes(const std::filesystem::path& path, std::size_t count)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

static const char* OtherFormat(const std::string& head)
{
    if (head.starts_with("\x89PNG"))
        return "PNG";
    if (head.starts_with("GIF8"))
        return "GIF";
    if (head.starts_with("BM"))
        return "BMP";
    if (head.starts_with("RIFF"))
        return "RIFF (WebP?)";
    return nullptr;
}

PictureVerdict CheckPicture(const std::filesystem::path& path, const std::string& shownName)
{
    const std::string head = FirstBytes(path, 8);
    if (head.empty())
        return { "the picture file is empty", true };
    try {
        // A small decode is enough to know that the whole file decodes.
        LoadPicture(path, shownName, { 16, 16 });
    } catch (const RuntimeError& error) {
        return { error.English().empty() ? "the picture does not decode as JPEG" : error.English(), true };
    }
    if (head.starts_with("\xFF\xD8\xFF"))
        return {};
    const char* format = OtherFormat(head);
    return { std::string("the picture is ") + (format ? std::string("a ") + format + " file" : "not a JPEG file")
            + "; this player shows it, other players may not; save it as JPEG",
        false };
}

std::string MusicProblem(const std::filesystem::path& path)
{
    // The player refuses such a header before the sound library sees it; so must the
    // checker, whose library would crash on it just the same.
    if (std::string problem = WaveFileProblem(path); !problem.empty())
        return problem + "; the game runs without music";
    SDL_AudioSpec spec;
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &samples, &length))
        return std::string("it does not decode as a WAV file (") + SDL_GetError() + "); the game runs without music";
    SDL_FreeWAV(samples);
    if (length == 0)
        return "it holds no sound; the game runs without music";
    return {};
}

} // namespace miradel::check
