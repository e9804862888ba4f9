#pragma once
// Opens one STL file, keeps its GSI block and hands out TTI blocks one at a time, read from the
// file on every request (nothing but the GSI copy and one TTI buffer is kept in memory).

#include <cstdint>
#include <string>

#include "ReportFunction.h"
#include "StlTypes.h"
#include "StlUtils.h"

class StlReader {
public:
    explicit StlReader(StlVariant variant = StlVariant::Viewer);
    ~StlReader();  // closes the file
    StlReader(const StlReader&) = delete;
    StlReader& operator=(const StlReader&) = delete;

    HRESULT setReportFunction(ReportFunction reportFunction);
    HRESULT openFile(const std::string& fileName, bool checkFileSize);
    HRESULT closeFile();
    HRESULT getGeneralSubtitleInformation(PGeneralSubtitleInformation* gsi);
    // Viewer variant: also opens a file with an unusual disk format code (shown at the given
    // frame rate) or fewer blocks than announced, for a read-only look at it.
    void allowNonStandard(int framesPerSecond) { m_nonStandardFramesPerSecond = framesPerSecond; }
    // The header as read (all blanks before a file is open).
    const GeneralSubtitleInformation& generalSubtitleInformation() const {
        return m_generalSubtitleInformation;
    }
    std::int32_t getTextAndTimingInformationCount() const;
    std::int32_t getTextAndTimingInformationTotalCount() const;
    // Viewer variant: counts the blocks present again from the file's current size, so a walk
    // started after blocks were appended or cut off sees them; the new total.
    std::int32_t updateTotalCount();
    // The pointer is the reader's single buffer: valid until the next block read.
    HRESULT getTextAndTimingInformation(std::uint32_t index, PTextAndTimingInformation* tti);
    // Up to Count whole blocks from First into Out in one read, within the same bound as
    // GetTextAndTimingInformation; the number of blocks read. Nothing is kept: every call reads
    // the file again, so walking a large file costs one system call per chunk, not per block.
    std::size_t readTextAndTimingBlocks(std::uint32_t first, std::size_t count,
                                        TextAndTimingInformation* out) const;
    // Like ReadTextAndTimingBlocks, bounded by the blocks the file holds rather than by the
    // announced count, for readers of every block present whatever TNB says.
    std::size_t readPresentBlocks(std::uint32_t first, std::size_t count,
                                  TextAndTimingInformation* out) const;
    // Units of 100 ns; 0 on any failure.
    std::int64_t getDuration();

    // Descriptor of the open file (-1 while closed). Reads use pread, never a user-space buffer,
    // so bytes written by another opener (the hex edit dialog) show at the next read.
    int fileStream() const { return m_fileStream; }
    // Size of the open file in bytes; -1 while closed.
    std::int64_t fileSize() const;
    std::int32_t framesPerSecond() const { return m_framesPerSecond; }
    StlVariant variant() const { return m_variant; }

private:
    HRESULT report(std::int32_t module, std::int32_t reportType, const std::string& text,
                   std::int32_t validationId);
    HRESULT openSteps(const std::string& fileName, bool checkFileSize);
    bool checkDiskFormatCode();
    void reportGeneralSubtitleInformation();
    // Reads block Index into the single buffer; false (and the diagnostic) when short.
    bool readBlock(std::uint32_t index);
    void closeStream();

    StlVariant m_variant;
    int m_fileStream = -1;
    GeneralSubtitleInformation m_generalSubtitleInformation{};
    std::uint32_t m_textAndTimingInformationCount = 0;
    std::uint32_t m_textAndTimingInformationTotalCount = 0;
    TextAndTimingInformation m_textAndTimingInformation{};
    std::int32_t m_framesPerSecond = 0;
    ReportFunction m_reportFunction;
    int m_nonStandardFramesPerSecond = 0;
};

// True exactly when a fresh reader of the given variant opens the file.
bool isStlFile(const std::string& fileName, bool checkFileSize,
               StlVariant variant = StlVariant::Viewer);
