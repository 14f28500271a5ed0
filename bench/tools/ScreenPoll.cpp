// SPDX-License-Identifier: MIT
// Starts a program and watches the X screen from outside, the same way for every engine:
// the time from the start of the process to the first red text pixels, then the time until
// the screen has stopped changing (the page waits for a click). The program is left running
// for the caller to measure; its process id goes to --pid-file.
//
//   miradel_screen_poll [--timeout SECONDS] [--settle MILLISECONDS] [--pid-file FILE] -- program args...

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

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

// Grabs the whole screen. Through shared memory a grab of 1280x1024 costs the X server
// about 0.3 ms; through the socket it costs 6-11 ms, which kept the server busy almost all
// the time and made every request of the watched program wait behind a grab.
class WatchedScreen {
public:
    explicit WatchedScreen(Display* display)
        : m_display(display)
        , m_root(DefaultRootWindow(display))
        , m_width(DisplayWidth(display, DefaultScreen(display)))
        , m_height(DisplayHeight(display, DefaultScreen(display)))
    {
        if (XShmQueryExtension(display))
            AttachSharedImage();
    }
    ~WatchedScreen()
    {
        if (m_shared == nullptr)
            return;
        XShmDetach(m_display, &m_segment);
        XDestroyImage(m_shared);
        shmdt(m_segment.shmaddr);
    }
    WatchedScreen(const WatchedScreen&) = delete;
    WatchedScreen& operator=(const WatchedScreen&) = delete;

    // The frame, valid until the next grab; null when the grab failed.
    const XImage* Grab()
    {
        if (m_shared != nullptr)
            return XShmGetImage(m_display, m_root, m_shared, 0, 0, AllPlanes) ? m_shared : nullptr;
        if (m_copied != nullptr)
            XDestroyImage(m_copied);
        m_copied = XGetImage(m_display, m_root, 0, 0, static_cast<unsigned>(m_width), static_cast<unsigned>(m_height),
            AllPlanes, ZPixmap);
        return m_copied;
    }

private:
    void AttachSharedImage()
    {
        const int screen = DefaultScreen(m_display);
        XImage* image = XShmCreateImage(m_display, DefaultVisual(m_display, screen),
            static_cast<unsigned>(DefaultDepth(m_display, screen)), ZPixmap, nullptr, &m_segment,
            static_cast<unsigned>(m_width), static_cast<unsigned>(m_height));
        if (image == nullptr)
            return;
        m_segment.shmid = shmget(IPC_PRIVATE,
            static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height),
            IPC_CREAT | 0600);
        m_segment.shmaddr = m_segment.shmid >= 0 ? static_cast<char*>(shmat(m_segment.shmid, nullptr, 0))
                                                 : reinterpret_cast<char*>(-1);
        if (m_segment.shmaddr == reinterpret_cast<char*>(-1)) {
            XDestroyImage(image);
            return;
        }
        image->data = m_segment.shmaddr;
        m_segment.readOnly = False;
        const bool attached = XShmAttach(m_display, &m_segment);
        XSync(m_display, False);
        // Removed now, so that the segment goes when both sides have detached or died.
        shmctl(m_segment.shmid, IPC_RMID, nullptr);
        if (!attached) {
            XDestroyImage(image);
            shmdt(m_segment.shmaddr);
            return;
        }
        m_shared = image;
    }

    Display* m_display;
    Window m_root;
    int m_width;
    int m_height;
    XShmSegmentInfo m_segment {};
    XImage* m_shared = nullptr;
    XImage* m_copied = nullptr;
};

// Calls `look` with each grabbed frame until it returns true or the time runs out.
bool Watch(WatchedScreen& screen, double timeoutMilliseconds, Clock::time_point start,
    const std::function<bool(const XImage&)>& look)
{
    while (MillisecondsSince(start) < timeoutMilliseconds) {
        const XImage* image = screen.Grab();
        if (image != nullptr && look(*image))
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
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line);
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
        std::fputs(
            "usage: miradel_screen_poll [--timeout S] [--settle MS] [--pid-file F] -- program args...\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("miradel_screen_poll: no X display\n", stderr);
        return 2;
    }
    WatchedScreen screen(display);

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
    return settled ? 0 : 1;
}
