// Prints how the viewer copes with a file of 99,999 TTI blocks: load to a filled list and trees,
// a code page switch, one hex page render, reading the subtitles' rows for Find and the columns,
// a search, a sort, a load with the reading columns shown, and the peak memory of the process.

#include <sys/resource.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QLineEdit>

#include "stl/TtiBlockCursor.h"
#include "viewer/hex/HexView.h"
#include "viewer/mainwindow/FindBar.h"
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

    // The part of the load pass that finds the subtitles, alone (blocks already cached).
    double assemblyMs = 1e9;
    for (int round = 0; round < 5; ++round) {
        StlReader& reader = *form.stlReader();
        TtiBlockCursor cursor(reader);
        PTextAndTimingInformation block = nullptr;
        timer.restart();
        SubtitleFacts facts;
        facts.begin(25, blockCount);
        for (std::uint32_t i = 0; i < std::uint32_t(blockCount); ++i)
            if (cursor.get(i, &block) == S_OK && block) facts.take(i, *block);
        facts.finish();
        assemblyMs = std::min(assemblyMs, ms(timer));
    }

    timer.restart();
    form.onFindTriggered();  // reads the subtitles' rows once
    const double readingsMs = ms(timer);
    // Each search goes over every subtitle's text; the matches are selected one after another.
    const char* const needles[] = {"NUMBER 9999", "second line ee", "nowhere at all",
                                   "Subtitle number 5"};
    double searchMs = 0;
    for (const char* needle : needles) {
        timer.restart();
        form.m_findBar->edit()->setText(QString::fromLatin1(needle));
        form.findAgain(false);
        searchMs = std::max(searchMs, ms(timer) / 2);
    }
    const QString findStatus = form.m_findBar->status();

    timer.restart();
    form.m_listModel->sort(SubtitleListModel::CpsColumn, Qt::DescendingOrder);
    const double sortMs = ms(timer);
    form.m_listModel->sort(-1);

    for (QAction* column : form.m_columnActions) column->setChecked(true);
    timer.restart();
    form.loadFile(path);
    QApplication::processEvents();
    const double loadColumnsMs = ms(timer);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("blocks                      %d (rows listed: %d)\n", blockCount,
                form.m_listModel->rowCount());
    std::printf("load to list and trees      %8.1f ms\n", loadMs);
    std::printf("  of which finding subtitles %7.1f ms (cursor and facts alone)\n", assemblyMs);
    std::printf("code page switch            %8.1f ms\n", switchMs);
    std::printf("hex page render (mean)      %8.3f ms\n", renderMs);
    std::printf("rows read for Find/columns  %8.1f ms\n", readingsMs);
    std::printf("search (slowest of 4)       %8.1f ms  (last: %s)\n", searchMs,
                qPrintable(findStatus));
    std::printf("sort by CPS                 %8.1f ms\n", sortMs);
    std::printf("load, all columns shown     %8.1f ms\n", loadColumnsMs);
    std::printf("peak resident memory        %8.1f MB\n", double(usage.ru_maxrss) / 1024.0);
    form.close();
    return 0;
}
