// How the rule dialog looks: the selected row reads in the default style and in a dark palette,
// with the focus in the list and elsewhere, and the smallest dialog shows every control whole.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "plugin/RuleSettings.h"
#include "plugin/setup/RuleSettingsDialog.h"

namespace {

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(45, 45, 45));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(30, 30, 30));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(45, 45, 45));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Midlight, QColor(70, 70, 70));
    return p;
}

// The application palette while it lives.
class ScopedPalette {
public:
    explicit ScopedPalette(const QPalette& palette) : m_old(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ScopedPalette() { QApplication::setPalette(m_old); }

private:
    QPalette m_old;
};

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

class RuleDialogLook : public ::testing::Test {
protected:
    void SetUp() override {
        addDefaultValidationSettings(list);
        ASSERT_TRUE(working.assignValidationSettingList(list));
    }
    std::unique_ptr<RuleSettingsDialog> show() {
        auto form = std::make_unique<RuleSettingsDialog>();
        form->m_ruleSettings = &list;
        form->m_workingRuleSettings = &working;
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    RuleSettings list;
    RuleSettings working;
};

TEST_F(RuleDialogLook, SelectedRowReadsWithAndWithoutFocus) {
    for (const bool dark : {false, true}) {
        ScopedPalette palette(dark ? darkPalette() : QApplication::palette());
        auto form = show();
        QTreeWidget* rules = form->lvValidationSettings;
        QTreeWidgetItem* row = rules->topLevelItem(2);
        QTest::mouseClick(rules->viewport(), Qt::LeftButton, {},
                          rules->visualItemRect(row).center());
        ASSERT_EQ(form->edID->text(), "103");
        // The dialog active with the focus in the list, then another window active.
        QWidget other;
        for (const bool active : {true, false}) {
            SCOPED_TRACE(std::string(dark ? "dark" : "default") +
                         (active ? ", active" : ", inactive"));
            QWidget* front = active ? static_cast<QWidget*>(form.get()) : &other;
            front->show();
            front->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(front));
            if (active) {
                ASSERT_TRUE(rules->hasFocus());
            }
            QApplication::processEvents();
            const QImage shot = rules->viewport()->grab().toImage();
            // The Name cell of the row: its background beside the text, and the text's pixels.
            const QRect cell = rules->visualRect(rules->model()->index(2, 1));
            const QColor background = shot.pixelColor(QPoint(cell.right() - 3, cell.center().y()) *
                                                      shot.devicePixelRatio());
            EXPECT_LT(
                distance(background, rules->palette().color(QPalette::Active, QPalette::Highlight)),
                30)
                << background.name().toStdString();
            int strongest = 0;
            for (int x = cell.left() + 2; x < cell.left() + cell.width() / 2; ++x)
                strongest =
                    std::max(strongest, distance(shot.pixelColor(QPoint(x, cell.center().y()) *
                                                                 shot.devicePixelRatio()),
                                                 background));
            // Text that stands out from its background, not a faint trace of it.
            EXPECT_GT(strongest, 250);
        }
    }
}

TEST_F(RuleDialogLook, SmallestDialogShowsEveryControlWhole) {
    auto form = show();
    form->resize(form->minimumSize());
    QApplication::processEvents();
    EXPECT_GE(form->width(), 584);
    EXPECT_GE(form->height(), 261);
    const QRect group = form->m_ruleGroup->contentsRect();
    for (QWidget* field : std::initializer_list<QWidget*>{
             form->edID, form->edName, form->cbReportType, form->cbEnabled, form->edDescription}) {
        SCOPED_TRACE(field->metaObject()->className());
        EXPECT_GE(field->height(), field->sizeHint().height());
        EXPECT_TRUE(group.contains(field->geometry()));
    }
    EXPECT_GE(form->lbName->height(), form->lbName->sizeHint().height());
}

}  // namespace
