#pragma once
// The left side of the repair window: a delivery profile to start from, every fix as a check box
// and the fixes' parameters in frames. Editing anything after choosing a profile makes the choice
// the user's own ("Custom").

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "plugin/delivery/DeliveryProfiles.h"
#include "repair/Fixes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace repairwindow {

class RepairOptionsPanel final : public QWidget {
    Q_OBJECT
public:
    // Times are counted at FramesPerSecond, the file's rate.
    explicit RepairOptionsPanel(int framesPerSecond, QWidget* parent = nullptr);

    // The fixes ticked and the parameters shown; none while a parameter's text is not valid.
    std::optional<repair::Options> options() const;
    // Why options() has none: the first parameter whose text is not valid.
    QString problem() const;

    // Ticks and fills in what Profile asks for and shows it as the choice.
    void chooseProfile(const DeliveryProfile& profile);
    // The teletext profile where it is installed; else the header counts, overlaps and the
    // revision.
    void chooseStartingFixes();

    QComboBox* profileBox() const { return m_profile; }
    QCheckBox* fixBox(repair::Fix fix) const { return m_fixes[static_cast<std::size_t>(fix)]; }
    QSpinBox* gapBox() const { return m_gap; }
    QSpinBox* minDurationBox() const { return m_minDuration; }
    QSpinBox* maxDurationBox() const { return m_maxDuration; }
    QSpinBox* shiftBox() const { return m_shift; }
    QLineEdit* startOfProgrammeEdit() const { return m_startOfProgramme; }
    QLineEdit* revisionDateEdit() const { return m_revisionDate; }

signals:
    void optionsChanged();

private:
    QWidget* createFixes();
    QWidget* createParameters();
    void show(const repair::Options& options);
    void onProfileActivated(int index);
    void onEdited();

    int m_fps;
    QComboBox* m_profile = nullptr;
    std::vector<DeliveryProfile> m_profiles;  // in the order of the box, after "Custom"
    int m_shownProfile = 0;                   // the box's index before a file was asked for
    std::array<QCheckBox*, repair::FIX_COUNT> m_fixes{};
    QSpinBox* m_gap = nullptr;
    QSpinBox* m_minDuration = nullptr;
    QSpinBox* m_maxDuration = nullptr;
    QSpinBox* m_shift = nullptr;
    QLineEdit* m_startOfProgramme = nullptr;
    QLineEdit* m_revisionDate = nullptr;
    bool m_filling = false;
};

}  // namespace repairwindow
