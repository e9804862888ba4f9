// Prints how the viewer copes with a file of 99,999 TTI blocks: load to a filled list and trees,
// a code page switch, one hex page render, and the peak memory of the process.

#include <sys/resource.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "viewer/hex/HexView.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/mainwindow/SubtitleListModel.h"

namespace {

constexpr int blockCount = 99999;

// A 25 fps file with BlockCount subtitles of a typical two-line length.
QByteArray makeFile() {
    QByteArray data(1024, ' ');
    const QByteArray head = "850STL25.01";
    data.replace(0, head.size(), head);
    const QByteArray count = QByteArray::number(blockCount).rightJustified(5, '0');
    data.replace(238, 5, count);
    data.replace(243, 5, count);
    data.replace(248, 3, "001");
    data.reserve(1024 + 128 * blockCount);
    for (int i = 0; i < blockCount; ++i) {
        QByteArray block(128, char(0x8F));
        block[0] = 0;
        block[1] = char((i + 1) & 0xFF);
        block[2] = char(((i + 1) >> 8) & 0xFF);
        block[3] = char(0xFF);
        const int seconds = i * 3;
        block[5] = char(seconds / 3600 % 24);
        block[6] = char(seconds / 60 % 60);
        block[7] = char(seconds % 60);
        block[8] = 0;
        block[9] = block[5];
        block[10] = block[6];
        block[11] = char((seconds + 2) % 60);
        block[12] = 12;
        block[13] = 20;
        block[14] = 2;
        const QByteArray text = "Subtitle number " + QByteArray::number(i + 1) +
                                "\x8A"
                                "second line \xE9\xE8";
        block.replace(16, text.size(), text);
        data += block;
    }
    return data;
}

double ms(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("big.stl");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(makeFile()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    MainWindow form;
    form.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    if (!form.loadFile(path)) {
        std::fprintf(stderr, "load failed\n");
        return 1;
    }
    QApplication::processEvents();
    const double loadMs = ms(timer);

    QAction* cyrillic = nullptr;
    for (QAction* item : form.m_encodingGroup->actions())
        if (item->data().toInt() == 1251) cyrillic = item;
    timer.restart();
    form.onEncodingTriggered(cyrillic);
    QApplication::processEvents();
    const double switchMs = ms(timer);

    constexpr int renders = 200;
    timer.restart();
    for (int i = 0; i < renders; ++i)
        form.hexView()->refreshFileData(1024 + std::int64_t{128} * (i * 499 % blockCount));
    const double renderMs = ms(timer) / renders;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("blocks                      %d (rows listed: %d)\n", blockCount,
                form.m_listModel->rowCount());
    std::printf("load to list and trees      %8.1f ms\n", loadMs);
    std::printf("code page switch            %8.1f ms\n", switchMs);
    std::printf("hex page render (mean)      %8.3f ms\n", renderMs);
    std::printf("peak resident memory        %8.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    form.close();
    return 0;
}
