#pragma once
// Opens one STL file, keeps its GSI block and hands out TTI blocks one at a time, read from the
// file on every request (nothing but the GSI copy and one TTI buffer is kept in memory).

#include <cstdint>
#include <string>

#include "ReportFunction.h"
#include "STLTypes.h"
#include "STLUtils.h"

class TSTLReader {
public:
    explicit TSTLReader(TSTLVariant Variant = TSTLVariant::Viewer);
    ~TSTLReader();  // closes the file
    TSTLReader(const TSTLReader&) = delete;
    TSTLReader& operator=(const TSTLReader&) = delete;

    HRESULT SetReportFunction(TReportFunction ReportFunction);
    HRESULT OpenFile(const std::string& FileName, bool CheckFileSize);
    HRESULT CloseFile();
    HRESULT GetGeneralSubtitleInformation(PGeneralSubtitleInformation* Gsi);
    std::int32_t GetTextAndTimingInformationCount() const;
    std::int32_t GetTextAndTimingInformationTotalCount() const;
    // The pointer is the reader's single buffer: valid until the next block read.
    HRESULT GetTextAndTimingInformation(std::uint32_t Index, PTextAndTimingInformation* Tti);
    // Up to Count whole blocks from First into Out in one read, within the same bound as
    // GetTextAndTimingInformation; the number of blocks read. Nothing is kept: every call reads
    // the file again, so walking a large file costs one system call per chunk, not per block.
    std::size_t ReadTextAndTimingBlocks(std::uint32_t First, std::size_t Count,
                                        TTextAndTimingInformation* Out) const;
    // Units of 100 ns; 0 on any failure.
    std::int64_t GetDuration();

    // Descriptor of the open file (-1 while closed). Reads use pread, never a user-space buffer,
    // so bytes written by another opener (the hex edit dialog) show at the next read.
    int FileStream() const { return FFileStream; }
    // Size of the open file in bytes; -1 while closed.
    std::int64_t FileSize() const;
    std::int32_t FramesPerSecond() const { return FFramesPerSecond; }
    TSTLVariant Variant() const { return FVariant; }

private:
    HRESULT Report(std::int32_t Module, std::int32_t ReportType, const std::string& Text,
                   std::int32_t ValidationID);
    HRESULT OpenSteps(const std::string& FileName, bool CheckFileSize);
    bool CheckDiskFormatCode();
    void ReportGeneralSubtitleInformation();
    // Reads block Index into the single buffer; false (and the diagnostic) when short.
    bool ReadBlock(std::uint32_t Index);
    void CloseStream();

    TSTLVariant FVariant;
    int FFileStream = -1;
    TGeneralSubtitleInformation FGeneralSubtitleInformation{};
    std::uint32_t FTextAndTimingInformationCount = 0;
    std::uint32_t FTextAndTimingInformationTotalCount = 0;
    TTextAndTimingInformation FTextAndTimingInformation{};
    std::int32_t FFramesPerSecond = 0;
    TReportFunction FReportFunction;
};

// True exactly when a fresh reader of the given variant opens the file.
bool IsSTLFile(const std::string& FileName, bool CheckFileSize,
               TSTLVariant Variant = TSTLVariant::Viewer);
