#include "SetupDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <stdexcept>

#include "RuleSettings.h"
#include "RuleSettingsDialog.h"
#include "platform/Guarded.h"

namespace {

// Lets anything be typed and settles it when editing ends, so a typed 50 becomes 100 and a typed
// 700000 becomes 600000 instead of the keystroke being refused.
class TimeoutSpinBox : public QSpinBox {
public:
    explicit TimeoutSpinBox(QWidget* parent) : QSpinBox(parent) {
        setRange(MIN_TIMEOUT_MS, MAX_TIMEOUT_MS);
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }

protected:
    QValidator::State validate(QString& text, int&) const override {
        bool ok = false;
        const qlonglong value = text.trimmed().toLongLong(&ok);
        return ok && value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
    }
    void fixup(QString& text) const override { text = QString::number(timeoutFromText(text)); }
    int valueFromText(const QString& text) const override { return timeoutFromText(text); }
};

void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

}  // namespace

std::int32_t timeoutFromText(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok) return MIN_TIMEOUT_MS;
    return static_cast<std::int32_t>(std::clamp<qlonglong>(value, MIN_TIMEOUT_MS, MAX_TIMEOUT_MS));
}

SetupDialog::SetupDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle("Sievra Setup");
    setFont(QFont("Tahoma", 8));

    lbLoadTimeout = new QLabel("Load Timeout", this);
    seLoadTimeout = new TimeoutSpinBox(this);
    lbSec1 = new QLabel("ms", this);
    lbUnloadTimeout = new QLabel("Unload Timeout", this);
    seUnloadTimeout = new TimeoutSpinBox(this);
    lbSec2 = new QLabel("ms", this);
    lbProfile = new QLabel("Delivery Profile", this);
    cbProfile = new QComboBox(this);
    // The frame is fixed before the profiles are read: room for the longest shipped name.
    cbProfile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbProfile->setMinimumContentsLength(32);
    lbProfileMatch = new QLabel("Matches no profile", this);
    lbProfile->setBuddy(cbProfile);
    btnAdvanced = new QPushButton("Advanced", this);
    btnOK = new QPushButton("OK", this);
    btnCancel = new QPushButton("Cancel", this);
    btnOK->setDefault(true);
    lbLoadTimeout->setBuddy(seLoadTimeout);
    lbUnloadTimeout->setBuddy(seUnloadTimeout);

    auto* fields = new QGridLayout;
    fields->addWidget(lbLoadTimeout, 0, 0);
    fields->addWidget(seLoadTimeout, 0, 1);
    fields->addWidget(lbSec1, 0, 2);
    fields->addWidget(lbUnloadTimeout, 1, 0);
    fields->addWidget(seUnloadTimeout, 1, 1);
    fields->addWidget(lbSec2, 1, 2);
    fields->addWidget(lbProfile, 2, 0);
    fields->addWidget(cbProfile, 2, 1, 1, 2);
    fields->addWidget(lbProfileMatch, 3, 1, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAdvanced);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* main = new QVBoxLayout(this);
    main->addLayout(fields);
    main->addStretch(1);
    main->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });
    connect(cbProfile, &QComboBox::activated, this, [this] { cbProfileChange(); });

    // A fixed frame; the client area grows only where the platform's font needs more room.
    setFixedSize(sizeHint().expandedTo(QSize(290, 142)));
    centreOnScreen(*this);
}

void SetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) onFirstShow();
}

void SetupDialog::onFirstShow() {
    platform::guardedVoid("TSetupFrm.FormShow", [&] {
        seLoadTimeout->setValue(m_loadTimeout);  // the spin field pulls it into its range
        seUnloadTimeout->setValue(m_unloadTimeout);
        m_profiles = availableProfiles();
        const QSignalBlocker quiet(cbProfile);
        cbProfile->clear();
        cbProfile->addItem("(as set)");
        for (const DeliveryProfile& profile : m_profiles)
            cbProfile->addItem(QString::fromStdString(profile.name));
        showProfileMatch();
    });
}

void SetupDialog::cbProfileChange() {
    platform::guardedVoid("TSetupFrm.cbProfileChange", [&] {
        const int index = cbProfile->currentIndex() - 1;
        if (index >= 0 && index < static_cast<int>(m_profiles.size()))
            applyProfile(m_profiles[static_cast<std::size_t>(index)], m_deliverySettings);
        showProfileMatch();
    });
}

void SetupDialog::showProfileMatch() {
    const DeliveryProfile* match = matchingProfile(m_deliverySettings, m_profiles);
    lbProfileMatch->setText(match ? "Matches " + QString::fromStdString(match->name)
                                  : QStringLiteral("Matches no profile"));
    const QSignalBlocker quiet(cbProfile);
    cbProfile->setCurrentIndex(match ? static_cast<int>(match - m_profiles.data()) + 1 : 0);
}

void SetupDialog::btnOKClick() {
    platform::guardedVoid("TSetupFrm.btnOKClick", [&] {
        // Text still being edited counts as typed.
        m_loadTimeout = timeoutFromText(seLoadTimeout->text());
        m_unloadTimeout = timeoutFromText(seUnloadTimeout->text());
        accept();
    });
}

void SetupDialog::btnAdvancedClick() {
    platform::guardedVoid("TSetupFrm.btnAdvancedClick", [&] {
        if (!ruleSettings) throw std::logic_error("no settings list");
        editValidationSettings(*ruleSettings, this, &m_deliverySettings);
        showProfileMatch();
    });
}

bool showSetupDialog(QVX_HWND owner, std::int32_t& loadTimeout, std::int32_t& unloadTimeout,
                     std::int32_t& playTimeout, std::int32_t& stopTimeout, RuleSettings& list,
                     DeliverySettings* delivery) {
    return platform::guarded("ShowSetupForm", false, [&] {
        // A host without Qt Widgets gets a QApplication for the time the dialog is open.
        std::unique_ptr<QApplication> temporaryApplication;
        if (!QCoreApplication::instance()) {
            static int argumentCount = 1;
            static char programName[] = "Sievra";
            static char* arguments[] = {programName, nullptr};
            temporaryApplication = std::make_unique<QApplication>(argumentCount, arguments);
        } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            throw std::runtime_error("the host's application object cannot show widgets");
        }

        QWidget* parent = owner ? QWidget::find(static_cast<WId>(owner)) : nullptr;
        SetupDialog form(parent);
        form.m_loadTimeout = loadTimeout;
        form.m_unloadTimeout = unloadTimeout;
        form.m_playTimeout = playTimeout;
        form.m_stopTimeout = stopTimeout;
        form.ruleSettings = &list;
        if (delivery) form.m_deliverySettings = *delivery;
        if (form.exec() != QDialog::Accepted) return false;
        if (delivery) *delivery = form.m_deliverySettings;
        loadTimeout = form.m_loadTimeout;
        unloadTimeout = form.m_unloadTimeout;
        playTimeout = form.m_playTimeout;
        stopTimeout = form.m_stopTimeout;
        return true;
    });
}
