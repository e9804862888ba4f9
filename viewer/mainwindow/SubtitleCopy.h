#pragma once
// What Copy puts on the clipboard for a row of the subtitle list: the subtitle as a person reads
// it, not the list's view of its bytes.

#include <QString>
#include <QStringList>
#include <cstdint>

class StlReader;

// The rows of the subtitle that holds block Index, as read, one per line; empty for a block that
// holds no subtitle text (user data, reserved) or cannot be read.
QStringList subtitleTextRows(const StlReader& reader, std::uint32_t index, std::uint16_t codePage);

// Fields (number and time codes) go before the text, tab-separated, when given; rows of the text
// stand on lines of their own.
QString clipboardText(const QStringList& fields, const QStringList& rows);
