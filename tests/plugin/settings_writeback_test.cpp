// What an object of the real Sievra.zkx writes back when it goes: only what the user changed
// through its dialogs, so that settings another process saved meanwhile (a second viewer, the
// validation window beside a batch run) survive. The dialogs are answered with mouse and keys.

#include <sys/stat.h>

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "DialogInput.h"
#include "ModalAnswer.h"
#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "tests/support/TestEnvironment.h"

using namespace plugintest;

namespace {

constexpr const char* TIMEOUTS_KEY = "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra";
constexpr const char* RULES_KEY =
    "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra\\ValidationSettings";

// The store as another process sees it.
struct Store {
    static void put(const char* key, const char* name, std::uint32_t value) {
        auto k = platform::RegistryKey::open(key, true);
        ASSERT_TRUE(k && k->writeDWord(name, value));
    }
    static std::optional<std::uint32_t> get(const char* key, const char* name) {
        auto k = platform::RegistryKey::open(key, false);
        std::uint32_t value = 0;
        if (k && k->readDWord(name, value)) return value;
        return std::nullopt;
    }
    // Contents and inode: every write replaces the file, so an unchanged inode means no write.
    static std::pair<std::string, ino_t> state() {
        std::ifstream in(platform::registryFilePath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        struct stat info {};
        ::stat(platform::registryFilePath().c_str(), &info);
        return {text.str(), info.st_ino};
    }
};

template <class T>
T* childWhere(QWidget* parent, const std::function<bool(T*)>& match) {
    for (T* child : parent->findChildren<T*>())
        if (match(child)) return child;
    ADD_FAILURE() << "no such control";
    return nullptr;
}

void clickButton(QWidget* dialog, const QString& text) {
    QTest::mouseClick(
        childWhere<QPushButton>(dialog, [&](QPushButton* b) { return b->text() == text; }),
        Qt::LeftButton);
}

void typeTimeout(QSpinBox* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

// Picks an entry of a drop-down with the keyboard: Home, then Down as often as needed.
void chooseEntry(QComboBox* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->findText(text); ++i) QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentText(), text);
}

// In the setup dialog: Advanced, then in the rule dialog rule 402 becomes a warning.
void makeRule402AWarning(QDialog* setup) {
    answerModal<QDialog>([](QDialog* rules) {
        ASSERT_EQ(rules->windowTitle(), "Validation Settings");
        clickRule(rules->findChild<QTreeWidget*>(), 402);
        chooseEntry(childWhere<QComboBox>(rules, [](QComboBox* c) { return c->count() == 3; }),
                    "Warning");
        clickButton(rules, "OK");
    });
    clickButton(setup, "Advanced");
}

class SettingsWriteBackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.ok()) << module.error();
        control = module.create();
        ASSERT_TRUE(control);
    }
    // Runs Configure with the setup dialog answered by Answer.
    void configure(std::function<void(QDialog*)> answer) {
        bool shown = false;
        answerModal<QDialog>([&](QDialog* setup) {
            shown = true;
            EXPECT_EQ(setup->windowTitle(), "Sievra Setup");
            answer(setup);
        });
        EXPECT_EQ(control->Configure(0), S_OK);
        EXPECT_TRUE(shown);
    }

    testsupport::ScopedConfigHome config;
    SievraModule module;
    InterfaceRef<IQuorvexControl> control;
};

TEST_F(SettingsWriteBackTest, CreationFillsInWhatIsMissing) {
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS"), 15000u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "STOP_TIMEOUT_MS"), 5000u);
    EXPECT_EQ(Store::get(RULES_KEY, "425_Type"), 3u);
    EXPECT_EQ(Store::get(RULES_KEY, "301_Enabled"), 1u);
    EXPECT_EQ(Store::get(RULES_KEY, "301_Type"), std::nullopt);
}

// A batch run's object outlives a change made meanwhile in the validation window.
TEST_F(SettingsWriteBackTest, AnObjectThatChangedNothingWritesNothing) {
    const struct {
        const char* name;
        std::function<void(QDialog*)> answer;  // null: Configure is never called
    } cases[] = {
        {"never configured", nullptr},
        {"setup cancelled after edits",
         [](QDialog* setup) {
             typeTimeout(setup->findChildren<QSpinBox*>().front(), "2500");
             clickButton(setup, "Cancel");
         }},
        {"rule dialog cancelled after an edit",
         [](QDialog* setup) {
             answerModal<QDialog>([](QDialog* rules) {
                 clickRule(rules->findChild<QTreeWidget*>(), 425);
                 chooseEntry(
                     childWhere<QComboBox>(rules, [](QComboBox* c) { return c->count() == 3; }),
                     "Info");
                 clickButton(rules, "Cancel");
             });
             clickButton(setup, "Advanced");
             clickButton(setup, "OK");
         }},
        {"both confirmed unchanged",
         [](QDialog* setup) {
             answerModal<QDialog>([](QDialog* rules) { clickButton(rules, "OK"); });
             clickButton(setup, "Advanced");
             clickButton(setup, "OK");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        control = module.create();
        if (c.answer) configure(c.answer);
        Store::put(RULES_KEY, "425_Type", 3);
        Store::put(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS", 1234);
        const auto before = Store::state();
        control.reset();
        EXPECT_EQ(Store::state(), before);
        EXPECT_EQ(Store::get(RULES_KEY, "425_Type"), 3u);
        Store::put(RULES_KEY, "425_Type", 2);
    }
}

TEST_F(SettingsWriteBackTest, OnlyWhatTheDialogsChangedIsWrittenBack) {
    configure([](QDialog* setup) {
        makeRule402AWarning(setup);
        typeTimeout(setup->findChildren<QSpinBox*>().front(), "2500");
        clickButton(setup, "OK");
    });
    // Nothing is written before the object goes.
    EXPECT_EQ(Store::get(RULES_KEY, "402_Type"), 3u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS"), 15000u);

    // Meanwhile another process saves other values, one of them of the same rule.
    Store::put(RULES_KEY, "402_Enabled", 0);
    Store::put(RULES_KEY, "425_Type", 3);
    Store::put(TIMEOUTS_KEY, "UNLOAD_FILE_TIMEOUT_MS", 4321);
    Store::put(TIMEOUTS_KEY, "PLAY_TIMEOUT_MS", 77);
    control.reset();

    EXPECT_EQ(Store::get(RULES_KEY, "402_Type"), 2u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS"), 2500u);
    EXPECT_EQ(Store::get(RULES_KEY, "402_Enabled"), 0u);
    EXPECT_EQ(Store::get(RULES_KEY, "425_Type"), 3u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "UNLOAD_FILE_TIMEOUT_MS"), 4321u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "PLAY_TIMEOUT_MS"), 77u);
}

// A rule change confirmed in the rule dialog stays when the setup is cancelled, and is saved.
TEST_F(SettingsWriteBackTest, RuleChangesOfACancelledSetupAreWrittenBack) {
    configure([](QDialog* setup) {
        makeRule402AWarning(setup);
        typeTimeout(setup->findChildren<QSpinBox*>().front(), "2500");
        clickButton(setup, "Cancel");
    });
    Store::put(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS", 1234);
    control.reset();
    EXPECT_EQ(Store::get(RULES_KEY, "402_Type"), 2u);
    EXPECT_EQ(Store::get(TIMEOUTS_KEY, "LOAD_FILE_TIMEOUT_MS"), 1234u);
}

}  // namespace
