#pragma once
// The error convention in one place: run an operation, and if anything escapes it, write
// "<prefix> Error in <where> call..." and return the operation's failure value.

#include <string>
#include <utility>

#include "DebugOutput.h"

namespace platform {

// "vyr: Error in TSTLReader.OpenFile - file not found." style line.
inline void reportError(const char* where, const char* what, const char* prefix = "vyr:") {
    debugOutput(std::string(prefix) + " Error in " + where + " - " + what);
}

inline void reportFailure(const char* where, const char* prefix = "vyr:") {
    debugOutput(std::string(prefix) + " Error in " + where + " call...");
}

template <class Result, class Body>
Result guarded(const char* where, Result failure, Body&& body,
               const char* prefix = "vyr:") noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        try {
            reportFailure(where, prefix);
        } catch (...) {
        }
        return failure;
    }
}

// For operations without a result (event handlers).
template <class Body>
void guardedVoid(const char* where, Body&& body, const char* prefix = "vyr:") noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        try {
            reportFailure(where, prefix);
        } catch (...) {
        }
    }
}

}  // namespace platform
