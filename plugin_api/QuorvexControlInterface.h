#pragma once
// The binary contract between the viewer (host) and a validation plug-in: COM-style interfaces
// (pure virtual methods in slot order, no data, no virtual destructor), their identifiers, the
// report types and the module identity.

#include <cstdint>
#include <cstring>

#include "platform/WinTypes.h"
#include "stl/ReportFunction.h"

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

inline bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

using REFIID = const GUID&;

// A caller on the far side of the contract passes the identifier as a pointer, and nothing stops
// it passing null; a reference cannot say so, so the address is hidden from the optimiser, which
// would otherwise drop the test.
inline bool isNullInterfaceId(REFIID riid) {
    const GUID* id = &riid;
    asm("" : "+r"(id));
    return id == nullptr;
}

// Window handle passed to Configure: 0 for no owner, otherwise a QWidget's winId().
using QVX_HWND = std::uintptr_t;

constexpr GUID iidIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID iidIQuorvexControl = {
    0xED6DC234, 0x32CA, 0x42F2, {0xA8, 0x6A, 0xDD, 0xBB, 0xB8, 0xE9, 0x59, 0x5D}};
constexpr GUID iidIQuorvexVideoControl = {
    0x11F043FC, 0x99FA, 0x4746, {0xAB, 0x2D, 0x20, 0x69, 0x11, 0x3C, 0x71, 0x4A}};
constexpr GUID iidIQuorvexReport = {
    0xA02ED748, 0x341A, 0x4D36, {0xBF, 0xC4, 0xDA, 0x8A, 0x5A, 0x26, 0x28, 0x60}};
constexpr GUID iidIQuorvexReportSet = {
    0x890065C3, 0x2750, 0x4DC2, {0xB4, 0x75, 0x78, 0xC5, 0x1D, 0x55, 0x02, 0x76}};

// Slots 0-2.
class IUnknown {
public:
    virtual HRESULT QVX_STDCALL QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual std::uint32_t QVX_STDCALL AddRef() = 0;
    virtual std::uint32_t QVX_STDCALL Release() = 0;
};

class IQuorvexControl : public IUnknown {
public:
    virtual HRESULT QVX_STDCALL GetModuleName(const char** Name) = 0;          // 3
    virtual HRESULT QVX_STDCALL LoadFile(const char* FileName) = 0;            // 4
    virtual HRESULT QVX_STDCALL UnloadFile() = 0;                              // 5
    virtual HRESULT QVX_STDCALL GetMediaDuration(std::int64_t* Duration) = 0;  // 6
    virtual HRESULT QVX_STDCALL GetMediaPosition(std::int64_t* Position) = 0;  // 7
    virtual HRESULT QVX_STDCALL Play() = 0;                                    // 8
    virtual HRESULT QVX_STDCALL Stop() = 0;                                    // 9
    virtual HRESULT QVX_STDCALL GetProgress(double* Progress) = 0;             // 10
    virtual HRESULT QVX_STDCALL Configure(QVX_HWND ParentWindow) = 0;          // 11
};

class IQuorvexVideoControl : public IUnknown {
public:
    virtual HRESULT QVX_STDCALL QueryVideoValue(std::int32_t* Value) = 0;  // 3
    virtual HRESULT QVX_STDCALL QueryVideoValueAt(std::int32_t Index,
                                                  std::int32_t* Value) = 0;  // 4
};

class IQuorvexReport : public IUnknown {
public:
    virtual HRESULT QVX_STDCALL Report(std::int32_t Module, std::int32_t ReportType,
                                       const char* ReportMessage) = 0;  // 3
};

class IQuorvexReportSet : public IUnknown {
public:
    virtual HRESULT QVX_STDCALL SetQuorvexReport(IQuorvexReport* Report) = 0;  // 3
};

// An interface pointer is one vtable pointer: nothing else may cross the boundary.
static_assert(sizeof(IQuorvexControl) == sizeof(void*));
static_assert(sizeof(IQuorvexVideoControl) == sizeof(void*));
static_assert(sizeof(IQuorvexReport) == sizeof(void*));
static_assert(sizeof(IQuorvexReportSet) == sizeof(void*));

// The plug-in's export.
using GetQuorvexControlFunction = std::int32_t(QVX_STDCALL*)(IQuorvexControl** Control);
constexpr const char* GET_QUORVEX_CONTROL_NAME = "GetQuorvexControl";

// "None", "Info", "Warning", "Error"; "Unknown" for anything else.
const char* reportTypeName(std::int32_t ReportType);

// Display name of a module identifier (7 is "Sievra").
const char* moduleDisplayName(std::int32_t Module);
