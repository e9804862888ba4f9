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
#include "viewer/mainwindow/CodePageForm.h"
#include "viewer/mainwindow/Unit1.h"

namespace {

// Runs Action on the code page dialog once it is shown modally.
void WhenShown(std::function<void(TCodePageForm&)> Action) {
    QTimer::singleShot(0, [Action] {
        auto* Form = qobject_cast<TCodePageForm*>(QApplication::activeModalWidget());
        if (!Form) {
            ADD_FAILURE() << "no code page dialog";
            return;
        }
        Action(*Form);
    });
}

void Type(TCodePageForm& Form, const QString& Text) {
    Form.SpinEdit1->Field()->setText(Text);
}

std::int32_t Confirm(std::int32_t Start, const QString& Text, bool* Result = nullptr) {
    WhenShown([Text](TCodePageForm& Form) {
        Type(Form, Text);
        QTest::keyClick(Form.SpinEdit1, Qt::Key_Return);
    });
    std::int32_t CodePage = Start;
    const bool Ok = GetEncoding(CodePage);
    if (Result) *Result = Ok;
    return CodePage;
}

}  // namespace

TEST(CodePageDialog, ShowsCurrentValueAndReadsTypedNumbers) {
    QString shown;
    WhenShown([&shown](TCodePageForm& Form) {
        shown = Form.SpinEdit1->Field()->text();
        Form.BCancel->click();
    });
    std::int32_t codePage = 1252;
    EXPECT_FALSE(GetEncoding(codePage));
    EXPECT_EQ(shown, "1252");
    EXPECT_EQ(codePage, 1252);

    bool ok = false;
    EXPECT_EQ(Confirm(1252, "1251", &ok), 1251);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Confirm(1252, "70000"), 65535);
    EXPECT_EQ(Confirm(1252, "-5"), 0);
    EXPECT_EQ(Confirm(1252, "abc"), 0);
    EXPECT_EQ(Confirm(850, "850"), 850);
}

TEST(CodePageDialog, OtherCommandTicksTheMatchingFixedItemAndCancelKeepsTheValue) {
    testsupport::ScopedConfigHome config;
    testsupport::ScriptedInteraction ui;
    TForm1 form;
    form.show();
    WhenShown([](TCodePageForm& Form) {
        Type(Form, "1251");
        Form.BOK->click();
    });
    form.Otherentercodepagemanually1Click();
    EXPECT_EQ(form.CodePage(), 1251);
    EXPECT_EQ(form.EncodingGroup->checkedAction()->text(), "Cyrillic Windows (1251)");

    WhenShown([](TCodePageForm& Form) {
        Type(Form, "28591");
        Form.BCancel->click();
    });
    form.Otherentercodepagemanually1Click();
    EXPECT_EQ(form.CodePage(), 1251);

    WhenShown([](TCodePageForm& Form) {
        Type(Form, "28591");
        Form.BOK->click();
    });
    form.Otherentercodepagemanually1Click();
    EXPECT_EQ(form.CodePage(), 28591);
    EXPECT_EQ(form.EncodingGroup->checkedAction(), form.Otherentercodepagemanually1);
    form.close();
}
