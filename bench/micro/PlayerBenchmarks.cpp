// SPDX-License-Identifier: MIT
// Micro-benchmarks of the player's hot paths, on Qt's offscreen platform:
//   - one TimSay tick that shows the blink frame, for pictures of three sizes, painted;
//   - one text step on a page that already holds 29 lines, painted;
//   - reading and decoding a 1 MB scene file line by line;
//   - one BgmTim tick (the status query) against the real media service, music playing.
// Every fixture is generated below into a temporary folder; nothing is read from the repo.

#include "app/Frm.h"
#include "music/MusicProcedures.h"
#include "platform/FatalError.h"
#include "platform/MediaControlSdl.h"
#include "platform/Random.h"
#include "platform/TextFiles.h"
#include "platform/Timer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;
using namespace miradel;

namespace {

// A blink on every tick: u = 0.1 draws 10, which is at most 20.
class BlinkingRandom final : public RandomSource {
public:
    double NextUniform() override { return 0.1; }
};

class QuietMedia final : public MediaControl {
public:
    MediaResult SendString(const char*, char*, std::size_t) override { return MediaResult::NotOpen; }
};

fs::path TemporaryFolder(const std::string& name)
{
    const fs::path folder = fs::temp_directory_path() / ("miradel-bench-" + name + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// A picture with the detail of a painted scene (gradients and grain), so that the JPEG
// decoder does as much work as on real content; quality 90 as a painter would export.
void WritePicture(const fs::path& path, int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(20, 30, 80 + seed * 10));
    sky.setColorAt(1, QColor(200, 150, 90));
    painter.fillRect(image.rect(), sky);
    std::mt19937 engine(static_cast<unsigned>(seed));
    std::uniform_int_distribution<int> x(0, width), y(0, height), size(4, std::max(8, width / 20)), shade(0, 255);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor(shade(engine), shade(engine), shade(engine), 160));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(x(engine), y(engine), size(engine), size(engine));
    }
    painter.end();
    for (int row = 0; row < height; row += 2)
        for (int column = 0; column < width; column += 3)
            image.setPixel(column, row, image.pixel(column, row) ^ static_cast<unsigned>(shade(engine) & 0x0F0F0F));
    image.save(QString::fromStdString(path.string()), "JPG", 90);
}

// Shift-JIS scene text: "あいうえおかきくけこ" (82 A0 82 A2 ...) repeated to 40 characters.
std::string JapaneseLine()
{
    std::string line;
    for (int i = 0; i < 4; ++i)
        line += "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1";
    return line;
}

void WriteScene(const fs::path& path, long long lines)
{
    std::ofstream file(path, std::ios::binary);
    const std::string line = JapaneseLine();
    for (long long n = 0; n < lines; ++n)
        file << line << "\r\n";
}

// A game folder whose opening is a long run of text lines, with the pictures "ttl", "0"
// and its blink frame "0_" at the given size.
fs::path MakeGame(int width, int height)
{
    const fs::path root = TemporaryFolder("game-" + std::to_string(width));
    fs::create_directories(root / "txt");
    fs::create_directories(root / "img");
    WriteScene(root / "txt" / "opn.dat", 20000);
    WritePicture(root / "img" / "ttl.jpg", width, height, 1);
    WritePicture(root / "img" / "0.jpg", width, height, 2);
    WritePicture(root / "img" / "0_.jpg", width, height, 3);
    return root;
}

// The window started as the program starts it, its timers held still: the benchmarks call
// the tick handlers themselves.
class RunningForm {
public:
    explicit RunningForm(const fs::path& game)
        : form(TextFromUtf8(game.generic_string()), random)
    {
        UseMediaControl(media);
        SetFatalErrorHandler([](const RuntimeError& error) {
            std::fprintf(stderr, "benchmark game failed: %s\n", error.what());
            std::abort();
        });
        form.Start();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (form.Lbl.Caption().empty() && std::chrono::steady_clock::now() < limit)
            QApplication::processEvents();
        Timer::StopAll();
        QApplication::processEvents();
    }

    BlinkingRandom random;
    QuietMedia media;
    Frm form;
};

void Reopen(Frm& form)
{
    form.game.player.OpenScene(u"opn");
    QApplication::processEvents();
}

void TimSayTickWithBlink(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const fs::path game = MakeGame(width, height);
    {
        RunningForm running(game);
        Frm& form = running.form;
        form.game.ShowPicture(u"0");
        for (auto _ : state) {
            form.TimSay_Timer();
            // The picture and the caption are painted when the event loop next turns.
            QApplication::processEvents();
            if (form.game.player.NextLine().starts_with(u"tugi")) {
                state.PauseTiming();
                Reopen(form);
                form.game.ShowPicture(u"0");
                state.ResumeTiming();
            }
        }
        state.SetLabel("picture area " + std::to_string(form.Pic.DeviceSize().width) + "x"
            + std::to_string(form.Pic.DeviceSize().height) + " device px");
    }
    fs::remove_all(game);
}
BENCHMARK(TimSayTickWithBlink)
    ->Args({ 640, 480 })
    ->Args({ 1920, 1080 })
    ->Args({ 4000, 3000 })
    ->Unit(benchmark::kMillisecond);

void TextStepOnFullPage(benchmark::State& state)
{
    const fs::path game = MakeGame(640, 480);
    {
        RunningForm running(game);
        Frm& form = running.form;
        for (auto _ : state) {
            state.PauseTiming();
            Reopen(form);
            while (form.game.player.PageLines() < 29)
                form.game.player.StepScene();
            QApplication::processEvents();
            state.ResumeTiming();
            form.game.player.StepScene();
            QApplication::processEvents();
        }
    }
    fs::remove_all(game);
}
BENCHMARK(TextStepOnFullPage)->Unit(benchmark::kMicrosecond);

void ReadScene1MB(benchmark::State& state)
{
    const fs::path folder = TemporaryFolder("scene");
    const fs::path path = folder / "big.dat";
    // 1 MB: 12,800 lines of 40 double-byte characters (82 bytes with CR LF).
    WriteScene(path, 1'000'000 / 82 + 1);
    std::size_t characters = 0;
    for (auto _ : state) {
        TextFiles files;
        files.Open(1, path, "big.dat");
        while (!files.AtEnd(1))
            characters += files.LineInput(1).size();
        files.Close(1);
    }
    benchmark::DoNotOptimize(characters);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(path)));
    fs::remove_all(folder);
}
BENCHMARK(ReadScene1MB)->Unit(benchmark::kMillisecond);

// A 1 s mono tone at 44.1 kHz, 16 bits: the shape of the game's music file, shorter.
void WriteWave(const fs::path& path)
{
    const std::uint32_t frames = 44100;
    const std::uint32_t dataBytes = frames * 2;
    std::ofstream file(path, std::ios::binary);
    auto put32 = [&](std::uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](std::uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    file.write("RIFF", 4);
    put32(36 + dataBytes);
    file.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(44100);
    put32(44100 * 2);
    put16(2);
    put16(16);
    file.write("data", 4);
    put32(dataBytes);
    for (std::uint32_t i = 0; i < frames; ++i)
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * ((i / 50) % 2 ? 1 : -1))));
}

void BgmTimStatusQuery(benchmark::State& state)
{
    // No sound card needed: SDL's dummy driver plays in real time into nothing.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const fs::path folder = TemporaryFolder("music");
    WriteWave(folder / "bgm.wav");
    UseMediaControl(SystemMediaControl());
    共用関数::OpenMusic(TextFromUtf8((folder / "bgm.wav").generic_string()));
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    char reply[16] = {};
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::string_view(reply).substr(0, 7) != "playing" && std::chrono::steady_clock::now() < limit) {
        SystemMediaControl().SendString("status MIDI mode", reply, 15);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    state.SetLabel(std::string("mode ") + reply);
    for (auto _ : state)
        BgmTim_Timer();
    共用関数::CloseMusic();
    fs::remove_all(folder);
}
BENCHMARK(BgmTimStatusQuery)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
