// The code page dialog: what typed numbers become, Enter, Cancel, and the Other command.

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/CodePageDialog.h"
#include "viewer/mainwindow/MainWindow.h"

namespace {

// Runs Action on the code page dialog once it is shown modally.
void whenShown(std::function<void(CodePageDialog&)> action) {
    QTimer::singleShot(0, [action] {
        auto* form = qobject_cast<CodePageDialog*>(QApplication::activeModalWidget());
        if (!form) {
            ADD_FAILURE() << "no code page dialog";
            return;
        }
        action(*form);
    });
}

void type(CodePageDialog& form, const QString& text) {
    form.m_codePageSpin->field()->setText(text);
}

std::int32_t confirm(std::int32_t start, const QString& text, bool* result = nullptr) {
    whenShown([text](CodePageDialog& form) {
        type(form, text);
        QTest::keyClick(form.m_codePageSpin, Qt::Key_Return);
    });
    std::int32_t codePage = start;
    const bool ok = getEncoding(codePage);
    if (result) *result = ok;
    return codePage;
}

}  // namespace

TEST(CodePageDialog, ShowsCurrentValueAndReadsTypedNumbers) {
    QString shown;
    whenShown([&shown](CodePageDialog& form) {
        shown = form.m_codePageSpin->field()->text();
        form.m_cancelButton->click();
    });
    std::int32_t codePage = 1252;
    EXPECT_FALSE(getEncoding(codePage));
    EXPECT_EQ(shown, "1252");
    EXPECT_EQ(codePage, 1252);

    bool ok = false;
    EXPECT_EQ(confirm(1252, "1251", &ok), 1251);
    EXPECT_TRUE(ok);
    EXPECT_EQ(confirm(1252, "70000"), 65535);
    EXPECT_EQ(confirm(1252, "-5"), 0);
    EXPECT_EQ(confirm(1252, "abc"), 0);
    EXPECT_EQ(confirm(850, "850"), 850);
}

TEST(CodePageDialog, OtherCommandTicksTheMatchingFixedItemAndCancelKeepsTheValue) {
    testsupport::ScopedConfigHome config;
    testsupport::ScriptedInteraction ui;
    MainWindow form;
    form.show();
    whenShown([](CodePageDialog& form) {
        type(form, "1251");
        form.m_okButton->click();
    });
    form.onOtherCodePageTriggered();
    EXPECT_EQ(form.codePage(), 1251);
    EXPECT_EQ(form.m_encodingGroup->checkedAction()->text(), "Cyrillic Windows (1251)");

    whenShown([](CodePageDialog& form) {
        type(form, "28591");
        form.m_cancelButton->click();
    });
    form.onOtherCodePageTriggered();
    EXPECT_EQ(form.codePage(), 1251);

    whenShown([](CodePageDialog& form) {
        type(form, "28591");
        form.m_okButton->click();
    });
    form.onOtherCodePageTriggered();
    EXPECT_EQ(form.codePage(), 28591);
    EXPECT_EQ(form.m_encodingGroup->checkedAction(), form.m_otherEncodingAction);
    form.close();
}
