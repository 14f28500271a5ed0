// Starts a program and watches the X screen from outside, the same way for every engine:
// the time from the start of the process to the first red text pixels, then the time until
// the screen has stopped changing (the page waits for a click). The program is left running
// for the caller to measure; its process id goes to --pid-file.
//
//   miradel_screen_poll [--timeout SECONDS] [--settle MILLISECONDS] [--pid-file FILE] -- program args...

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Anti-aliased glyphs of a red caption: a handful of strongly red pixels. Pictures of the
// benchmark game hold none (checked when the fixture was made).
constexpr int kRedPixelsForText = 8;

struct WatchedScreen {
    Display* display = nullptr;
    Window root = 0;
    int width = 0;
    int height = 0;
};

// Calls `look` with each grabbed frame until it returns true or the time runs out.
bool Watch(const WatchedScreen& screen, double timeoutMilliseconds, Clock::time_point start,
    const std::function<bool(const XImage&)>& look)
{
    while (MillisecondsSince(start) < timeoutMilliseconds) {
        XImage* image = XGetImage(screen.display, screen.root, 0, 0, static_cast<unsigned>(screen.width),
            static_cast<unsigned>(screen.height), AllPlanes, ZPixmap);
        const bool found = image != nullptr && look(*image);
        if (image != nullptr)
            XDestroyImage(image);
        if (found)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool IsRed(unsigned long pixel)
{
    const unsigned long r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r >= 180 && g <= 80 && b <= 80;
}

bool HasRedText(const XImage& image)
{
    int red = 0;
    const bool direct = image.bits_per_pixel == 32 && image.byte_order == LSBFirst;
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line);
        for (int x = 0; x < image.width; ++x) {
            const unsigned long pixel = direct ? row[x] : XGetPixel(const_cast<XImage*>(&image), x, y);
            if (IsRed(pixel) && ++red >= kRedPixelsForText)
                return true;
        }
    }
    return false;
}

std::size_t Fingerprint(const XImage& image)
{
    const std::size_t bytes = static_cast<std::size_t>(image.bytes_per_line) * static_cast<std::size_t>(image.height);
    return std::hash<std::string_view> {}(std::string_view(image.data, bytes));
}

} // namespace

int main(int argc, char** argv)
{
    double timeoutSeconds = 30;
    double settleMilliseconds = 1000;
    std::string pidFile;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc)
            timeoutSeconds = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--settle") == 0 && first + 1 < argc)
            settleMilliseconds = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--pid-file") == 0 && first + 1 < argc)
            pidFile = argv[++first];
    }
    if (first + 1 >= argc) {
        std::fputs("usage: miradel_screen_poll [--timeout S] [--settle MS] [--pid-file F] -- program args...\n", stderr);
        return 2;
    }
    WatchedScreen screen;
    screen.display = XOpenDisplay(nullptr);
    if (screen.display == nullptr) {
        std::fputs("miradel_screen_poll: no X display\n", stderr);
        return 2;
    }
    screen.root = DefaultRootWindow(screen.display);
    screen.width = DisplayWidth(screen.display, DefaultScreen(screen.display));
    screen.height = DisplayHeight(screen.display, DefaultScreen(screen.display));

    // The window of an earlier run may still be on the screen for a moment.
    const bool clear = Watch(screen, 10000, Clock::now(), [](const XImage& image) { return !HasRedText(image); });
    if (!clear) {
        std::fputs("miradel_screen_poll: red text on the screen before the start\n", stderr);
        return 2;
    }
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("exec");
        _exit(127);
    }
    if (!pidFile.empty())
        std::ofstream(pidFile) << child << '\n';
    const double timeout = timeoutSeconds * 1000;
    if (!Watch(screen, timeout, start, HasRedText)) {
        std::puts("first_text_ms timeout");
        return 1;
    }
    std::printf("first_text_ms %.1f\n", MillisecondsSince(start));
    std::fflush(stdout);

    std::size_t last = 0;
    Clock::time_point unchangedSince = Clock::now();
    const bool settled = Watch(screen, timeout, start, [&](const XImage& image) {
        const std::size_t now = Fingerprint(image);
        if (now != last) {
            last = now;
            unchangedSince = Clock::now();
        }
        return MillisecondsSince(unchangedSince) >= settleMilliseconds;
    });
    if (settled)
        std::printf("settled_ms %.1f\n", MillisecondsSince(start) - settleMilliseconds);
    else
        std::puts("settled_ms timeout");
    XCloseDisplay(screen.display);
    return settled ? 0 : 1;
}
