// Help → About and the update timer of the main window, with the check pointed at a local server.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <chrono>
#include <thread>

#include "LumtraceBuildConfig.h"
#include "product_fixtures.h"
#include "tests/support/ScriptedInteraction.h"
#include "tests/support/TestEnvironment.h"
#include "viewer/mainwindow/MainWindow.h"
#include "viewer/product/AboutDialog.h"
#include "viewer/product/UpdateCheck.h"

namespace {

class ProductHelpCommands : public testing::Test {
protected:
    ~ProductHelpCommands() override {
        deinitializeVantorelUpdate();
        setVantorelUpdateSource(defaultVantorelUpdateSource());
    }

    // Points the window's check at the server and a program file of version 2.0.0.0.
    void publish(const std::string& text, long transferTimeout = 60) {
        server.publish(text);
        UpdateSource source;
        source.url = server.url();
        source.applicationExeName = program.path;
        source.transferTimeoutSeconds = transferTimeout;
        setVantorelUpdateSource(source);
    }

    // Ticks the timer as it would fire, until it stops or the bound is reached.
    static void tickUntilStopped(MainWindow& form) {
        form.m_updateTimer->start();
        for (int i = 0; i < 3000 && form.m_updateTimer->isActive(); ++i) {
            form.onUpdateTimer();
            if (form.m_updateTimer->isActive())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    testsupport::ScopedConfigHome configHome;
    testsupport::ScriptedInteraction scripted;
    producttest::VersionFileServer server;
    producttest::RunningProgram program{2, 0, 0, 0};
};

QString prompt() {
    return QStringLiteral(
               "confirm: A new version of Lumtrace is available on the Vantorel web "
               "site:\n%1\n\nWhat is new: %2\n\nDo you want to update to the latest "
               "version?")
        .arg(LUMTRACE_WEB_SITE, LUMTRACE_RELEASE_NOTES);
}

}  // namespace

TEST_F(ProductHelpCommands, NewerVersionIsOfferedAndYesOpensTheUpdatePage) {
    publish("Lumtrace.exe;2.1.0.0\r\n");
    scripted.confirmAnswers = {true};
    MainWindow form;
    EXPECT_EQ(form.m_updateTimerTag, 0);
    tickUntilStopped(form);
    EXPECT_EQ(form.m_updateTimerTag, 1);
    EXPECT_FALSE(form.m_updateTimer->isActive());
    EXPECT_EQ(scripted.shown,
              QStringList({prompt(), QStringLiteral("url: ") + LUMTRACE_UPDATE_PAGE}));
    EXPECT_EQ(server.requests(), 1);
    bool newer = false;
    EXPECT_FALSE(checkVantorelUpdateResult(newer));  // released
}

TEST_F(ProductHelpCommands, NoOpensNothing) {
    publish("Lumtrace.exe;2.1.0.0\r\n");
    scripted.confirmAnswers = {false};
    MainWindow form;
    tickUntilStopped(form);
    EXPECT_EQ(scripted.shown, QStringList({prompt()}));
}

TEST_F(ProductHelpCommands, OptionOffStillChecksButAsksNothing) {
    publish("Lumtrace.exe;2.1.0.0\r\n");
    MainWindow form;
    if (form.checkForUpdates()) form.onCheckForUpdatesTriggered();
    ASSERT_FALSE(form.checkForUpdates());
    tickUntilStopped(form);
    EXPECT_FALSE(form.m_updateTimer->isActive());
    EXPECT_EQ(server.requests(), 1);
    EXPECT_TRUE(scripted.shown.isEmpty());
}

TEST_F(ProductHelpCommands, SameVersionAsksNothing) {
    publish("Lumtrace.exe;2.0.0.0\r\n");
    MainWindow form;
    tickUntilStopped(form);
    EXPECT_FALSE(form.m_updateTimer->isActive());
    EXPECT_TRUE(scripted.shown.isEmpty());
}

TEST_F(ProductHelpCommands, AStalledCheckKeepsTheTimerPolling) {
    producttest::SilentServer silent;
    UpdateSource source;
    source.url = silent.url();
    source.applicationExeName = program.path;
    source.transferTimeoutSeconds = 3600;
    setVantorelUpdateSource(source);
    MainWindow form;
    form.m_updateTimer->start();
    for (int i = 0; i < 5; ++i) form.onUpdateTimer();
    EXPECT_EQ(form.m_updateTimerTag, 1);
    EXPECT_TRUE(form.m_updateTimer->isActive());
    EXPECT_TRUE(scripted.shown.isEmpty());
    // Quitting releases the check at once instead of waiting for the server.
    QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
    bool newer = false;
    EXPECT_FALSE(checkVantorelUpdateResult(newer));
}

TEST_F(ProductHelpCommands, AboutShowsTheProductBox) {
    MainWindow form;
    QString product, version, notice;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
            product = box->lbProduct->text();
            version = box->lbVersion->text();
            notice = box->lbNotice->text();
            box->accept();
        }
    });
    form.onAboutTriggered();
    EXPECT_EQ(product, "Lumtrace");
    EXPECT_EQ(version, "2.0");
    EXPECT_TRUE(notice.contains("2012"));
}
