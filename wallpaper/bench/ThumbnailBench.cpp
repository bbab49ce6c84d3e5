// Selecting a 24-megapixel JPEG until its thumbnail shows (decode into the shared picture,
// scale smoothly to 149 x 110, paint), against ImageMagick's `convert big.jpg -thumbnail
// 149x110` of the same file in the same run. Reports times and peak memory; the goal is no
// slower than ImageMagick and at most 1.5 decoded pictures (4 bytes a pixel) of extra memory.
// Usage: vl_pic32_thumbnail_bench [width height]   (default 6000 4000; needs ImageMagick)

#include <vcl/Application.h>
#include <vcl/Form.h>
#include <vcl/Image.h>
#include <vcl/Picture.h>

#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vcl;

namespace {

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

long statusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    return 0;
}

// Runs a command; its wall time and peak resident memory in kB.
bool timed(const std::vector<std::string>& argv, double& wall, long& peakKb) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    wall = seconds(std::chrono::steady_clock::now() - start);
    peakKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const int width = argc > 2 ? std::atoi(argv[1]) : 6000, height = argc > 2 ? std::atoi(argv[2]) : 4000;
    std::string dir = (std::filesystem::temp_directory_path() / "vlpic32bench-XXXXXX").string();
    if (!::mkdtemp(dir.data()))
        return 1;
    const std::string big = dir + "/big.jpg";
    const std::string make = "convert -size 600x400 -seed 3 plasma:fractal -resize " + std::to_string(width) +
                             "x" + std::to_string(height) + "! -attenuate 0.3 +noise Uniform -quality 90 " +
                             big;
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "ImageMagick could not write the test picture\n");
        std::filesystem::remove_all(dir);
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize(argc, argv);

    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 200, 150);
    auto* thumbnail = new TImage(form);
    thumbnail->SetBounds(2, 2, 149, 110);
    thumbnail->SetStretch(true);
    form->Show();
    Application->ProcessMessages();
    const long baseKb = statusKb("VmRSS:");

    const auto start = std::chrono::steady_clock::now();
    thumbnail->Picture().LoadFromFile(big);
    const auto loaded = std::chrono::steady_clock::now();
    const QImage shown = thumbnail->Widget()->grab().toImage(); // paints the thumbnail
    const auto painted = std::chrono::steady_clock::now();
    const long peakKb = statusKb("VmHWM:");

    double imWall = 0;
    long imPeak = 0;
    const bool imOk = timed({"convert", big, "-thumbnail", "149x110", dir + "/thumb.png"}, imWall, imPeak);

    const double pictureKb = static_cast<double>(width) * height * 4 / 1024;
    const double extraKb = static_cast<double>(peakKb - baseKb);
    std::printf("picture %dx%d (%.1f megapixels), decoded %.0f MB\n", width, height, width * height / 1e6,
                pictureKb / 1024);
    std::printf("%-28s %10s %14s\n", "", "seconds", "peak memory");
    std::printf(
        "%-28s %10.3f %11.0f MB  (%.2f pictures over the %ld MB before; decode %.3f s, thumbnail %.3f s)\n",
        "VL_PIC32 picture+thumbnail", seconds(painted - start), peakKb / 1024.0, extraKb / pictureKb,
        baseKb / 1024, seconds(loaded - start), seconds(painted - loaded));
    std::printf("%-28s %10.3f %11.0f MB%s\n", "convert -thumbnail 149x110", imWall, imPeak / 1024.0,
                imOk ? "" : "  (failed)");
    std::printf(
        "thumbnail drawn %dx%d; goal: no slower than ImageMagick, at most 1.5 pictures over the start\n",
        shown.width(), shown.height());
    form->Free();
    Application->ShutdownForTesting();
    std::filesystem::remove_all(dir);
    return 0;
}
