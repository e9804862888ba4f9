#pragma once
// The hex edit dialog as Tools → Hex Edit calls it; replaceable so the command can be checked
// without a modal dialog.

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

using HexEditFunction =
    std::function<bool(const QString& fileName, const QString& additionalCaption, bool canModify,
                       std::int64_t offset, std::int64_t size, QWidget* parent)>;

// Installs Function (an empty one restores the real dialog); returns the previous one.
HexEditFunction setHexEditFunction(HexEditFunction function);
