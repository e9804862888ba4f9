#pragma once
// The block a finding is about, read from its text: "TTI # N" (N counted from 0) wherever it
// stands. Delivery findings (rules 501-520) about a block begin "[5nn] TTI # N - " and name
// their subtitle after it; the host takes that prefix off, so they read by subtitle alone.

#include <cstdint>
#include <string>

namespace validationhost {

// The block Message names, -1 for none; takes a delivery finding's prefix off Message.
std::int32_t takeFindingBlock(std::string& message);

}  // namespace validationhost
