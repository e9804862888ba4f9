// Texts of the validation window that narrow columns and boxes used to cut: the Type column's
// "Unknown" and the title of the "Done" box, in a large font.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "plugin_api/QuorvexControlInterface.h"
#include "viewer/UserInteraction.h"
#include "viewer/validation/ReportListModel.h"
#include "viewer/validation/ValidationWindow.h"

namespace {

// The application font at Points while it lives.
class ScopedAppFont {
public:
    explicit ScopedAppFont(int points) : m_old(QApplication::font()) {
        QFont big = m_old;
        big.setPointSize(points);
        QApplication::setFont(big);
    }
    ~ScopedAppFont() { QApplication::setFont(m_old); }

private:
    QFont m_old;
};

TEST(ValidationTextRoom, ColumnsHoldEveryModuleAndTypeName) {
    for (const int points : {9, 16, 24}) {
        SCOPED_TRACE(points);
        ScopedAppFont font(points);
        ValidationWindow form;
        form.show();
        const QFontMetrics metrics(form.lvReport->font());
        // The text sits between the style's margins on both sides.
        const int margins =
            2 * (form.lvReport->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        const auto fits = [&](int column, const QString& text) {
            return form.lvReport->columnWidth(column) >= metrics.horizontalAdvance(text) + margins;
        };
        for (std::int32_t type = -1; type <= 4; ++type)
            EXPECT_TRUE(fits(ReportListModel::TypeColumn, reportTypeName(type))) << type;
        for (std::int32_t module : {0, 5, 7, 99, 101, 1000})
            EXPECT_TRUE(fits(ReportListModel::ModuleColumn, moduleDisplayName(module))) << module;
        EXPECT_TRUE(fits(ReportListModel::NumberColumn, "334461"));
        EXPECT_GE(form.lvReport->columnWidth(ReportListModel::TypeColumn), 60);
        EXPECT_GE(form.lvReport->columnWidth(ReportListModel::ModuleColumn), 160);
    }
}

TEST(ValidationTextRoom, DoneBoxIsWideEnoughForItsTitle) {
    ScopedAppFont font(16);
    int boxWidth = 0, titleWidth = 0;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        boxWidth = box->width();
        titleWidth = QFontMetrics(box->font()).horizontalAdvance(title);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    userInteraction().showMessage(nullptr, QStringLiteral("Done"));
    EXPECT_EQ(title, QApplication::applicationName());
    // The title and the frame's icon and buttons beside it.
    EXPECT_GT(boxWidth, titleWidth + 4 * QFontMetrics(QApplication::font()).height());
}

}  // namespace
