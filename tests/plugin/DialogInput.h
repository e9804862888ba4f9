#pragma once
// Mouse input for the plug-in's dialogs, shared by the tests that drive them.

#include <gtest/gtest.h>

#include <QTest>
#include <QTreeWidget>
#include <cstdint>

namespace plugintest {

// Clicks the row of rule Id in the rule dialog's list.
inline void clickRule(QTreeWidget* list, std::int32_t id) {
    const auto found = list->findItems(QString::number(id), Qt::MatchExactly, 0);
    ASSERT_EQ(found.size(), 1);
    list->scrollToItem(found.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.front()).center());
}

}  // namespace plugintest
