// Time to preview one subtitle (read its blocks, lay them out, paint them) in a 99,999-block file
// of coloured, boxed, double-height teletext with extension chains and cumulative sets.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "tests/support/StlFileBuilder.h"
#include "viewer/preview/PreviewBlocks.h"
#include "viewer/preview/PreviewPainter.h"

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
    {
        // Fonts load on the first paint; that is start-up, not a selection change.
        QPainter warm(&image);
        preview::paintPreview(warm, image.size(),
                              preview::layOut(preview::gatherBlocks(reader, 0), options), {});
    }
    constexpr int samples = 2000;
    double total = 0, worst = 0;
    for (int s = 0; s < samples; ++s) {
        const auto index =
            static_cast<std::uint32_t>(std::uint64_t(s) * (blocks - 1) / (samples - 1));
        QElapsedTimer timer;
        timer.start();
        const preview::Layout layout =
            preview::layOut(preview::gatherBlocks(reader, index), options);
        QPainter painter(&image);
        preview::paintPreview(painter, image.size(), layout, {true, true});
        painter.end();
        const double ms = timer.nsecsElapsed() / 1e6;
        total += ms;
        worst = std::max(worst, ms);
    }
    std::printf(
        "preview of one subtitle in a %d-block file: %.3f ms mean, %.3f ms worst (%d "
        "subtitles, 640x520)\n",
        blocks, total / samples, worst, samples);
    return 0;
}
