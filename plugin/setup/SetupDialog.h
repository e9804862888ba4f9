#pragma once
// The plug-in's setup dialog: load and unload time-outs, the delivery profile, and "Advanced" for
// the rule settings.

#include <QDialog>
#include <cstdint>
#include <vector>

#include "delivery/DeliveryProfiles.h"

#include "plugin_api/QuorvexControlInterface.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class RuleSettings;

class SetupDialog : public QDialog {
public:
    explicit SetupDialog(QWidget* owner = nullptr);

    // Filled by the caller before showing; the first two are read back after a confirmed close,
    // play and stop pass through unchanged.
    std::int32_t m_loadTimeout = 0;
    std::int32_t m_unloadTimeout = 0;
    std::int32_t m_playTimeout = 0;
    std::int32_t m_stopTimeout = 0;
    RuleSettings* ruleSettings = nullptr;  // not owned
    // The delivery rules, edited here through a profile or "Advanced"; read back after a
    // confirmed close.
    DeliverySettings m_deliverySettings;

    // Handlers, public so tests can drive them without a running dialog.
    void onFirstShow();
    void btnOKClick();
    void btnAdvancedClick();
    void cbProfileChange();

    QLabel* lbLoadTimeout;
    QSpinBox* seLoadTimeout;
    QLabel* lbSec1;
    QLabel* lbUnloadTimeout;
    QSpinBox* seUnloadTimeout;
    QLabel* lbSec2;
    QLabel* lbProfile;
    QComboBox* cbProfile;    // item 0 keeps the settings as they are, then one per profile
    QLabel* lbProfileMatch;  // which profile, if any, the delivery settings match
    QPushButton* btnAdvanced;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showProfileMatch();

    std::vector<DeliveryProfile> m_profiles;
};

constexpr std::int32_t MIN_TIMEOUT_MS = 100;
constexpr std::int32_t MAX_TIMEOUT_MS = 600000;

// A time-out as typed: not an integer reads as 100, anything outside 100..600000 as the nearer
// bound.
std::int32_t timeoutFromText(const QString& text);

// What Configure calls. Shows SetupDialog modally, owned by the window whose winId() is Owner
// (0 or an unknown handle: no owner). When the process has no QApplication, a temporary one lives
// for the duration of the call. Returns true when the user confirmed; the four time-outs are then
// updated in place (only load and unload can change), otherwise they are untouched. Rule changes
// confirmed in the "Advanced" dialog stay in List either way; Delivery (when given) takes the
// delivery rules' changes, from a profile or "Advanced", only when the user confirmed. Never
// throws.
bool showSetupDialog(QVX_HWND owner, std::int32_t& loadTimeout, std::int32_t& unloadTimeout,
                     std::int32_t& playTimeout, std::int32_t& stopTimeout, RuleSettings& list,
                     DeliverySettings* delivery = nullptr);
