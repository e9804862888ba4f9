#pragma once
// The hex edit dialog as Tools → Hex Edit calls it; replaceable so the command can be checked
// without a modal dialog.

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

using THexEditFunction =
    std::function<bool(const QString& FileName, const QString& AdditionalCaption, bool CanModify,
                       std::int64_t Offset, std::int64_t Size, QWidget* Parent)>;

// Installs Function (an empty one restores the real dialog); returns the previous one.
THexEditFunction SetHexEditFunction(THexEditFunction Function);
