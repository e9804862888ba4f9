#pragma once
// Why a file is or is not a standard STL file, in words a subtitler understands. The readers only
// say yes or no; this names the reason, and tells the two kinds of non-standard file that can
// still be shown (an unusual frame rate, fewer blocks than announced) from those that cannot.

#include <cstdint>
#include <string>

struct FormatCheck {
    enum class Verdict {
        Standard,
        NonStandardDiskFormat,  // STL23.01, STL24.01, STL29.01 or STL50.01
        MissingBlocks,          // fewer blocks present than the header announces
        Refused,
    };
    Verdict verdict = Verdict::Refused;
    // Empty for a standard file.
    std::string reason;
    // Frames per second from the disk format code, 0 when it names none.
    int framesPerSecond = 0;
    std::int64_t announcedBlocks = -1;
    std::int64_t presentBlocks = 0;

    bool canOpenReadOnly() const {
        return verdict == Verdict::NonStandardDiskFormat || verdict == Verdict::MissingBlocks;
    }
};

FormatCheck checkStlFormat(const std::string& path);

// Frame rates of the non-standard disk format codes real deliveries use; 0 for any other code.
int nonStandardFramesPerSecond(const std::string& diskFormatCode);

// 1215 -> "1,215".
std::string withThousands(std::int64_t value);
