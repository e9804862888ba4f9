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

#include "viewer/hex/HexViewUtils_Memo.h"
#include "viewer/mainwindow/SubtitleListModel.h"
#include "viewer/mainwindow/Unit1.h"

namespace {

constexpr int BlockCount = 99999;

// A 25 fps file with BlockCount subtitles of a typical two-line length.
QByteArray MakeFile() {
    QByteArray Data(1024, ' ');
    const QByteArray Head = "850STL25.01";
    Data.replace(0, Head.size(), Head);
    const QByteArray Count = QByteArray::number(BlockCount).rightJustified(5, '0');
    Data.replace(238, 5, Count);
    Data.replace(243, 5, Count);
    Data.replace(248, 3, "001");
    Data.reserve(1024 + 128 * BlockCount);
    for (int I = 0; I < BlockCount; ++I) {
        QByteArray Block(128, char(0x8F));
        Block[0] = 0;
        Block[1] = char((I + 1) & 0xFF);
        Block[2] = char(((I + 1) >> 8) & 0xFF);
        Block[3] = char(0xFF);
        const int Seconds = I * 3;
        Block[5] = char(Seconds / 3600 % 24);
        Block[6] = char(Seconds / 60 % 60);
        Block[7] = char(Seconds % 60);
        Block[8] = 0;
        Block[9] = Block[5];
        Block[10] = Block[6];
        Block[11] = char((Seconds + 2) % 60);
        Block[12] = 12;
        Block[13] = 20;
        Block[14] = 2;
        const QByteArray Text = "Subtitle number " + QByteArray::number(I + 1) +
                                "\x8A"
                                "second line \xE9\xE8";
        Block.replace(16, Text.size(), Text);
        Data += Block;
    }
    return Data;
}

double Ms(const QElapsedTimer& Timer) {
    return double(Timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir Config;
    qputenv("XDG_CONFIG_HOME", Config.path().toLocal8Bit());
    QApplication App(argc, argv);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("big.stl");
    {
        QFile File(Path);
        if (!File.open(QIODevice::WriteOnly) || File.write(MakeFile()) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(Path));
            return 1;
        }
    }

    TForm1 Form;
    Form.show();
    QApplication::processEvents();

    QElapsedTimer Timer;
    Timer.start();
    if (!Form.LoadFile(Path)) {
        std::fprintf(stderr, "load failed\n");
        return 1;
    }
    QApplication::processEvents();
    const double LoadMs = Ms(Timer);

    QAction* Cyrillic = nullptr;
    for (QAction* Item : Form.EncodingGroup->actions())
        if (Item->data().toInt() == 1251) Cyrillic = Item;
    Timer.restart();
    Form.GeneralEncodingClick(Cyrillic);
    QApplication::processEvents();
    const double SwitchMs = Ms(Timer);

    constexpr int Renders = 200;
    Timer.restart();
    for (int I = 0; I < Renders; ++I)
        Form.HexView()->RefreshFileData(1024 + std::int64_t{128} * (I * 499 % BlockCount));
    const double RenderMs = Ms(Timer) / Renders;

    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);

    std::printf("blocks                      %d (rows listed: %d)\n", BlockCount,
                Form.ListModel->rowCount());
    std::printf("load to list and trees      %8.1f ms\n", LoadMs);
    std::printf("code page switch            %8.1f ms\n", SwitchMs);
    std::printf("hex page render (mean)      %8.3f ms\n", RenderMs);
    std::printf("peak resident memory        %8.1f MB\n", double(Usage.ru_maxrss) / 1024.0);
    Form.close();
    return 0;
}
