#pragma once
// The fixed items of Options -> Encoding: caption and code page number (the item's tag).

#include <array>

struct EncodingItem {
    const char* caption;
    int tag;
};

inline constexpr int automaticEncodingTag = -1;
inline constexpr int otherEncodingTag = -2;

inline constexpr std::array<EncodingItem, 20> fixedEncodings = {{
    {"ANSI (local code page) (0)", 0},
    {"ASCII/DOS (local code page) (1)", 1},
    {"MacOS (2)", 2},
    {"DOS-USA (437)", 437},
    {"DOS-LATIN1 (850)", 850},
    {"Thai (874)", 874},
    {"Japanese (932)", 932},
    {"Chinese Main Land (936)", 936},
    {"Korean (949)", 949},
    {"Chinese Taiwan (950)", 950},
    {"Eastern Europe (1250)", 1250},
    {"Cyrillic Windows (1251)", 1251},
    {"Western Latin1 (1252)", 1252},
    {"Greek (1253)", 1253},
    {"Turkish (1254)", 1254},
    {"Hebrew (1255)", 1255},
    {"Arabic (1256)", 1256},
    {"Baltic (1257)", 1257},
    {"Vietnamese (1258)", 1258},
    {"Cyrillic KOI8-R (20866)", 20866},
}};
