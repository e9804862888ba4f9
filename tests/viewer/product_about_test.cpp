// The about box: what it shows where, and its two links through the user-interaction seam.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "LumtraceBuildConfig.h"
#include "tests/support/ScriptedInteraction.h"
#include "viewer/product/AboutDialog.h"

namespace {

struct Seen {
    QString caption, product, version, notice, notice2, link, mail;
    QSize clientSize;
    QRect okButton, banner;
    bool bannerLoaded = false;
    bool wasModal = false;
};

// Runs ShowAbout and reads the box while it is open, then presses OK.
Seen showAndRead(const QString& product, const QString& version, const QString& year) {
    Seen seen;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        if (!form) return;
        seen.wasModal = true;
        seen.caption = form->windowTitle();
        seen.product = form->lbProduct->text();
        seen.version = form->lbVersion->text();
        seen.notice = form->lbNotice->text();
        seen.notice2 = form->lbNotice2->text();
        seen.link = form->lbLink->text();
        seen.mail = form->lbMail->text();
        seen.clientSize = form->size();
        seen.okButton = form->btOK->geometry();
        seen.banner = form->imBanner->geometry();
        seen.bannerLoaded = !form->imBanner->pixmap().isNull();
        QTest::mouseClick(form->btOK, Qt::LeftButton);
    });
    showAbout(product, version, year);
    return seen;
}

}  // namespace

TEST(ProductAbout, ShowsThePassedTextsAndClosesWithOK) {
    const Seen seen = showAndRead("Lumtrace", "2.0", "2012");
    ASSERT_TRUE(seen.wasModal);
    EXPECT_EQ(seen.caption, "Lumtrace");
    EXPECT_EQ(seen.product, "Lumtrace");
    EXPECT_EQ(seen.version, "2.0");
    EXPECT_EQ(seen.notice, QString::fromUtf8("Copyright \u00a9 2012 Vantorel"));
    EXPECT_FALSE(seen.notice2.isEmpty());
    EXPECT_EQ(seen.link, LUMTRACE_WEB_SITE);
    EXPECT_EQ(seen.mail, QStringLiteral("Mail: ") + LUMTRACE_MAIL);
    EXPECT_EQ(seen.clientSize, QSize(340, 225));
    EXPECT_EQ(seen.okButton, QRect(257, 181, 75, 25));
    EXPECT_EQ(seen.banner, QRect(0, 155, 340, 72));
    EXPECT_TRUE(seen.bannerLoaded);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(ProductAbout, VersionTextIsShownAsPassed) {
    const Seen seen = showAndRead("Sievra", "7.3 beta", "1999");
    ASSERT_TRUE(seen.wasModal);
    EXPECT_EQ(seen.version, "7.3 beta");
    EXPECT_EQ(seen.notice, QString::fromUtf8("Copyright \u00a9 1999 Vantorel"));
}

TEST(ProductAbout, LinksOpenTheWebSiteAndAMailMessage) {
    testsupport::ScriptedInteraction scripted;
    AboutDialog form;
    QTest::mouseClick(form.lbLink, Qt::LeftButton);
    QTest::mouseClick(form.lbMail, Qt::LeftButton);
    QTest::mouseClick(form.lbVersion, Qt::LeftButton);  // plain text opens nothing
    EXPECT_EQ(scripted.shown, QStringList({QStringLiteral("url: ") + LUMTRACE_WEB_SITE,
                                           QStringLiteral("url: mailto:") + LUMTRACE_MAIL}));
}
