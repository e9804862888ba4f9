#include "SetupForm.h"

#include <QApplication>
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

#include "ValidationSettings.h"
#include "ValidationSettingsForm.h"
#include "platform/Guarded.h"

namespace {

// Lets anything be typed and settles it when editing ends, so a typed 50 becomes 100 and a typed
// 700000 becomes 600000 instead of the keystroke being refused.
class TTimeoutSpinBox : public QSpinBox {
public:
    explicit TTimeoutSpinBox(QWidget* Parent) : QSpinBox(Parent) {
        setRange(MIN_TIMEOUT_MS, MAX_TIMEOUT_MS);
        setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }

protected:
    QValidator::State validate(QString& Text, int&) const override {
        bool Ok = false;
        const qlonglong Value = Text.trimmed().toLongLong(&Ok);
        return Ok && Value >= minimum() && Value <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
    }
    void fixup(QString& Text) const override { Text = QString::number(TimeoutFromText(Text)); }
    int valueFromText(const QString& Text) const override { return TimeoutFromText(Text); }
};

void CentreOnScreen(QWidget& Window) {
    if (const QScreen* Screen = Window.screen())
        Window.move(Screen->availableGeometry().center() - Window.rect().center());
}

}  // namespace

std::int32_t TimeoutFromText(const QString& Text) {
    bool Ok = false;
    const qlonglong Value = Text.trimmed().toLongLong(&Ok);
    if (!Ok) return MIN_TIMEOUT_MS;
    return static_cast<std::int32_t>(std::clamp<qlonglong>(Value, MIN_TIMEOUT_MS, MAX_TIMEOUT_MS));
}

TSetupFrm::TSetupFrm(QWidget* Owner) : QDialog(Owner) {
    setWindowTitle("Sievra Setup");
    setFont(QFont("Tahoma", 8));

    lbLoadTimeout = new QLabel("Load Timeout", this);
    seLoadTimeout = new TTimeoutSpinBox(this);
    lbSec1 = new QLabel("ms", this);
    lbUnloadTimeout = new QLabel("Unload Timeout", this);
    seUnloadTimeout = new TTimeoutSpinBox(this);
    lbSec2 = new QLabel("ms", this);
    btnAdvanced = new QPushButton("Advanced", this);
    btnOK = new QPushButton("OK", this);
    btnCancel = new QPushButton("Cancel", this);
    btnOK->setDefault(true);
    lbLoadTimeout->setBuddy(seLoadTimeout);
    lbUnloadTimeout->setBuddy(seUnloadTimeout);

    auto* Fields = new QGridLayout;
    Fields->addWidget(lbLoadTimeout, 0, 0);
    Fields->addWidget(seLoadTimeout, 0, 1);
    Fields->addWidget(lbSec1, 0, 2);
    Fields->addWidget(lbUnloadTimeout, 1, 0);
    Fields->addWidget(seUnloadTimeout, 1, 1);
    Fields->addWidget(lbSec2, 1, 2);
    Fields->setColumnStretch(1, 1);

    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(btnAdvanced);
    Buttons->addStretch(1);
    Buttons->addWidget(btnOK);
    Buttons->addWidget(btnCancel);

    auto* Main = new QVBoxLayout(this);
    Main->addLayout(Fields);
    Main->addStretch(1);
    Main->addLayout(Buttons);

    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnAdvanced, &QPushButton::clicked, this, [this] { btnAdvancedClick(); });

    // A fixed frame; the client area grows only where the platform's font needs more room.
    setFixedSize(sizeHint().expandedTo(QSize(290, 142)));
    CentreOnScreen(*this);
}

void TSetupFrm::showEvent(QShowEvent* Event) {
    QDialog::showEvent(Event);
    if (!Event->spontaneous()) FormShow();
}

void TSetupFrm::FormShow() {
    platform::guardedVoid("TSetupFrm.FormShow", [&] {
        seLoadTimeout->setValue(LoadTimeout);  // the spin field pulls it into its range
        seUnloadTimeout->setValue(UnloadTimeout);
    });
}

void TSetupFrm::btnOKClick() {
    platform::guardedVoid("TSetupFrm.btnOKClick", [&] {
        // Text still being edited counts as typed.
        LoadTimeout = TimeoutFromText(seLoadTimeout->text());
        UnloadTimeout = TimeoutFromText(seUnloadTimeout->text());
        accept();
    });
}

void TSetupFrm::btnAdvancedClick() {
    platform::guardedVoid("TSetupFrm.btnAdvancedClick", [&] {
        if (!ValidationSettingList) throw std::logic_error("no settings list");
        EditValidationSettings(*ValidationSettingList, this);
    });
}

bool ShowSetupForm(QVX_HWND Owner, std::int32_t& LoadTimeout, std::int32_t& UnloadTimeout,
                   std::int32_t& PlayTimeout, std::int32_t& StopTimeout,
                   TValidationSettingList& List) {
    return platform::guarded("ShowSetupForm", false, [&] {
        // A host without Qt Widgets gets a QApplication for the time the dialog is open.
        std::unique_ptr<QApplication> TemporaryApplication;
        if (!QCoreApplication::instance()) {
            static int ArgumentCount = 1;
            static char ProgramName[] = "Sievra";
            static char* Arguments[] = {ProgramName, nullptr};
            TemporaryApplication = std::make_unique<QApplication>(ArgumentCount, Arguments);
        } else if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            throw std::runtime_error("the host's application object cannot show widgets");
        }

        QWidget* Parent = Owner ? QWidget::find(static_cast<WId>(Owner)) : nullptr;
        TSetupFrm Form(Parent);
        Form.LoadTimeout = LoadTimeout;
        Form.UnloadTimeout = UnloadTimeout;
        Form.PlayTimeout = PlayTimeout;
        Form.StopTimeout = StopTimeout;
        Form.ValidationSettingList = &List;
        if (Form.exec() != QDialog::Accepted) return false;
        LoadTimeout = Form.LoadTimeout;
        UnloadTimeout = Form.UnloadTimeout;
        PlayTimeout = Form.PlayTimeout;
        StopTimeout = Form.StopTimeout;
        return true;
    });
}
