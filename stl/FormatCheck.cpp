#include "FormatCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "StlTypes.h"
#include "StlUtils.h"

namespace {

bool readHeader(int fd, GeneralSubtitleInformation& gsi) {
    std::size_t done = 0;
    while (done < GSI_BLOCK_SIZE) {
        const ssize_t n =
            ::pread(fd, gsi.bytes + done, GSI_BLOCK_SIZE - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The field's bytes as they stand, with anything unprintable shown as "?".
std::string printable(const std::uint8_t* bytes, const StlField& field) {
    std::string text;
    for (std::uint32_t i = 0; i < field.length; ++i) {
        const unsigned char c = bytes[field.offset + i];
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return text;
}

FormatCheck refused(std::string reason) {
    FormatCheck check;
    check.reason = std::move(reason);
    return check;
}

}  // namespace

std::string withThousands(std::int64_t value) {
    // The magnitude in unsigned arithmetic, so the most negative value has one too.
    const std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

int nonStandardFramesPerSecond(const std::string& diskFormatCode) {
    if (diskFormatCode == "STL23.01") return 24;  // 23.976, shown on a 24-frame grid
    if (diskFormatCode == "STL24.01") return 24;
    if (diskFormatCode == "STL29.01") return 30;  // 29.97, shown on a 30-frame grid
    if (diskFormatCode == "STL50.01") return 50;
    return 0;
}

FormatCheck checkStlFormat(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return refused("The file cannot be found or read.");
    if (!S_ISREG(status.st_mode)) return refused("This is not a regular file.");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return refused("The file cannot be read.");
    GeneralSubtitleInformation gsi{};
    const bool whole = readHeader(fd, gsi);
    ::close(fd);
    if (!whole)
        return refused("The file holds " + withThousands(status.st_size) +
                       " bytes, too few for the 1,024-byte header of an STL file.");

    FormatCheck check;
    check.verdict = FormatCheck::Verdict::Standard;
    check.presentBlocks = static_cast<std::int64_t>(ttiBlocksPresent(status.st_size));
    const std::string code = printable(gsi.bytes, gsi::diskFormatCode);
    check.framesPerSecond = framesPerSecondFromDiskFormatCode(gsi);
    std::string upper = code;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (check.framesPerSecond == 0) {
        check.framesPerSecond = nonStandardFramesPerSecond(upper);
        const std::string reason =
            "The disk format code is " + code + "; only STL25.01 and STL30.01 are standard.";
        if (check.framesPerSecond == 0) return refused(reason);
        check.verdict = FormatCheck::Verdict::NonStandardDiskFormat;
        check.reason = reason;
    }

    const auto announced = fieldToInt32(gsi.bytes, gsi::totalNumberOfTti);
    if (!announced || *announced < 0) {
        check.verdict = FormatCheck::Verdict::Refused;
        check.reason = !announced ? "The header's count of text blocks, \"" +
                                        printable(gsi.bytes, gsi::totalNumberOfTti) +
                                        "\", is not a number."
                                  : "The header announces a negative number of text blocks (" +
                                        std::to_string(*announced) + ").";
        return check;
    }
    check.announcedBlocks = *announced;
    if (check.announcedBlocks > check.presentBlocks) {
        const std::string missing = "The header announces " + withThousands(*announced) +
                                    " text blocks, the file holds " +
                                    withThousands(check.presentBlocks) + ".";
        if (check.verdict == FormatCheck::Verdict::Standard) {
            check.verdict = FormatCheck::Verdict::MissingBlocks;
            check.reason = missing;
        } else {
            check.reason += " " + missing;
        }
    }
    return check;
}
