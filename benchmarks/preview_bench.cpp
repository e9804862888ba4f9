// Time to preview one subtitle (read its blocks, lay them out, paint them) in a 99,999-block file
// of coloured, boxed, double-height teletext with extension chains and cumulative sets.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

#include "tests/support/StlFileBuilder.h"
#include "viewer/preview/PreviewBlocks.h"
#include "viewer/preview/PreviewPainter.h"

namespace {

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time and this thread's CPU time: on a busy machine the two part when the thread waits
// for a core, which is not time the preview spends.
struct Sample {
    QElapsedTimer timer;
    double cpuStart = 0, wallMs = 0, cpuMs = 0;
    void start() {
        cpuStart = threadCpuMs();
        timer.start();
    }
    void stop() {
        wallMs = timer.nsecsElapsed() / 1e6;
        cpuMs = threadCpuMs() - cpuStart;
    }
};

double percentile(std::vector<double> values, int p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * p / 100)];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    testsupport::StlFileBuilder builder;
    constexpr int blocks = 99999;
    const auto text = testsupport::StlFileBuilder::text(
        "\x0D\x03\x1D\x01\x0B\x0BSome coloured words\x0A\x0A\x8A\x8A\x07\x0B\x0Band a second "
        "row, boxed\x0A\x0A");
    for (int i = 0; i < blocks; ++i) {
        testsupport::StlFileBuilder::Block b;
        b.number = static_cast<std::uint16_t>(i / 3);
        b.extension = i % 3 == 0 ? 0 : 0xFF;  // every third subtitle continues in the next block
        b.cumulative = static_cast<std::uint8_t>(i % 6 < 3 ? 0 : i % 6 - 2);
        b.vertical = static_cast<std::uint8_t>(14 + i % 6);
        b.text = text;
        builder.addBlock(b);
    }
    builder.announce(blocks);
    const std::string path = builder.writeTo(dir.filePath("big.stl").toStdString());
    StlReader reader;
    if (reader.openFile(path, true) != S_OK) return 1;
    const auto options = preview::layoutOptions(reader.generalSubtitleInformation(), 20269);
    QImage image(640, 520, QImage::Format_RGB32);
    const preview::PaintOptions guides{true, true};
    const auto previewOf = [&](std::uint32_t index) {
        const preview::Layout layout =
            preview::layOut(preview::selectionAt(reader, index), options);
        QPainter painter(&image);
        preview::paintPreview(painter, image.size(), layout, guides);
    };
    // The first paint loads the fonts: once per run, before any selection change.
    Sample first;
    first.start();
    previewOf(0);
    first.stop();
    constexpr int samples = 2000;
    std::vector<double> wall, cpu;
    for (int s = 0; s < samples; ++s) {
        Sample sample;
        sample.start();
        previewOf(static_cast<std::uint32_t>(std::uint64_t(s) * (blocks - 1) / (samples - 1)));
        sample.stop();
        wall.push_back(sample.wallMs);
        cpu.push_back(sample.cpuMs);
    }
    const std::size_t worstAt = std::max_element(wall.begin(), wall.end()) - wall.begin();
    const double worstWallCpu = cpu[worstAt];
    std::printf("preview of one subtitle in a %d-block file (%d subtitles, 640x520):\n", blocks,
                samples);
    std::printf(
        "  wall: mean %.3f ms, median %.3f, 99th percentile %.3f, worst %.3f ms (%.3f ms "
        "of it on the CPU)\n",
        std::accumulate(wall.begin(), wall.end(), 0.0) / samples, percentile(wall, 50),
        percentile(wall, 99), percentile(wall, 100), worstWallCpu);
    std::printf("  CPU:  mean %.3f ms, median %.3f, 99th percentile %.3f, worst %.3f ms\n",
                std::accumulate(cpu.begin(), cpu.end(), 0.0) / samples, percentile(cpu, 50),
                percentile(cpu, 99), percentile(cpu, 100));
    std::printf("  first paint of the run (fonts loading): %.3f ms wall, %.3f ms CPU\n",
                first.wallMs, first.cpuMs);
    return 0;
}
