// The hex view: line format, paging by keys and scroll bar, and its bounds.

#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "tests/support/TestEnvironment.h"
#include "viewer/hex/HexView.h"

namespace {

class HexViewTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    QPlainTextEdit memo;
    QScrollBar bar{Qt::Vertical};
    HexView view;

    // A file whose byte i is i & 0xFF.
    std::string makeFile(int size) {
        const std::string path = dir.file("data.bin");
        QByteArray bytes(size, 0);
        for (int i = 0; i < size; ++i) bytes[i] = char(i & 0xFF);
        QFile f(QString::fromStdString(path));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    // Gives the memo a viewport of exactly the given height.
    void setClientHeight(int height) {
        memo.setFrameStyle(QFrame::NoFrame);
        memo.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo.resize(700, height);
        memo.show();
        memo.viewport()->resize(700, height);
    }
    QStringList lines() { return memo.toPlainText().split('\n'); }
    void open(int size, int clientHeight) {
        setClientHeight(clientHeight);
        ASSERT_EQ(view.init(&memo, &bar), S_OK);
        ASSERT_EQ(view.openFile(makeFile(size)), S_OK);
    }
};

}  // namespace

TEST(HexLines, FullAndShortLinesKeepTheirColumns) {
    const std::uint8_t bytes[25] = {0x00, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x0A, 0x00,
                                    0x00, 0x00, 0x0C, 0x00, 0x14, 0x02, 0x00, 'H',  'e',
                                    'l',  'l',  'o',  0x8A, 0xE9, 't',  0xE9};
    QStringList out;
    ASSERT_TRUE(hexTextLines(bytes, 25, &out));
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], "00 01 00 FF 00 00 00 0A 00 00 00 0C 00 14 02 00   ...\u00FF............");
    EXPECT_EQ(out[1],
              QString("48 65 6C 6C 6F 8A E9 74 E9").leftJustified(50) + "Hello.\u00E9t\u00E9");
    EXPECT_FALSE(hexTextLines(bytes, 0, &out));
    EXPECT_FALSE(hexTextLines(nullptr, 4, &out));
}

TEST_F(HexViewTest, OpensOnFirstPageWithOffsetsAndExactLineWidth) {
    open(100, 16 * 11);
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 7);  // 100 bytes: six full lines and one of four bytes
    EXPECT_EQ(shown[0].left(21), "0x0000000000000000   ");
    EXPECT_EQ(shown[0].size(), 87);
    EXPECT_EQ(shown[6].left(18), "0x0000000000000060");
    EXPECT_EQ(shown[6].size(), 21 + 50 + 4);
    EXPECT_EQ(view.lastRefreshOffset(), 0);
}

TEST_F(HexViewTest, EndThenUpCountsFromTheUnroundedOffset) {
    open(1000, 16 * 5);  // four lines a page
    view.onTextKeyPressed(Qt::Key_End, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 999);
    EXPECT_TRUE(lines()[0].startsWith("0x00000000000003E0"));  // 992
    view.onTextKeyPressed(Qt::Key_Up, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 983);
    EXPECT_TRUE(lines()[0].startsWith("0x00000000000003D0"));  // 976
    view.onTextKeyPressed(Qt::Key_PageUp, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 983 - 16 * 5);
    view.onTextKeyPressed(Qt::Key_Home, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 0);
    view.onTextKeyPressed(Qt::Key_Up, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 0);
    // Shift with a navigation key does nothing.
    view.onTextKeyPressed(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 0);
}

TEST_F(HexViewTest, ShortMemoShowsOneLineAndPagesByClientHeight) {
    open(1000, 20);  // 20 px: one line shown, page step of one line
    EXPECT_EQ(lines().size(), 1);
    view.onTextKeyPressed(Qt::Key_PageDown, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 16);

    setClientHeight(10);  // below one line: page keys leave the offset alone
    view.onTextKeyPressed(Qt::Key_PageDown, Qt::NoModifier);
    EXPECT_EQ(view.lastRefreshOffset(), 16);
    EXPECT_EQ(lines().size(), 1);
}

TEST_F(HexViewTest, OffsetsPastTheEndChangeNothing) {
    open(1000, 16 * 5);
    view.refreshFileData(500);
    const QString page = memo.toPlainText();
    view.refreshFileData(1000);
    view.refreshFileData(5000);
    EXPECT_EQ(view.lastRefreshOffset(), 500);
    EXPECT_EQ(memo.toPlainText(), page);
    EXPECT_EQ(bar.value(), 50000);
}

TEST_F(HexViewTest, ThumbDragToTheBottomShowsTheLastByte) {
    open(1000, 16 * 5);
    view.customScrollEvent(QAbstractSlider::SliderMove, 100000);
    EXPECT_EQ(view.lastRefreshOffset(), 999);
    EXPECT_TRUE(lines()[0].startsWith("0x00000000000003E0"));
    EXPECT_EQ(view.busy(), 0);
    view.customScrollEvent(QAbstractSlider::SliderSingleStepSub, 0);
    EXPECT_EQ(view.lastRefreshOffset(), 983);
    EXPECT_EQ(bar.value(), 98300);
}

TEST_F(HexViewTest, TallMemoIsBoundedToThePageBuffer) {
    open(20000, 16 * 1000);
    EXPECT_LE(lines().size(), 640);
    EXPECT_GE(lines().size(), 600);
}

TEST_F(HexViewTest, ClosedOrMissingFileIgnoresEverything) {
    open(1000, 16 * 5);
    ASSERT_EQ(view.closeFile(), S_OK);
    EXPECT_TRUE(memo.toPlainText().isEmpty());
    view.onTextKeyPressed(Qt::Key_End, Qt::NoModifier);
    view.customScrollEvent(QAbstractSlider::SliderMove, 50000);
    EXPECT_TRUE(memo.toPlainText().isEmpty());
    EXPECT_EQ(view.openFile(dir.file("missing.bin")), S_OK);
    EXPECT_FALSE(view.isFileOpen());
}
