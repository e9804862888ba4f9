#include "RepairOptionsPanel.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "repair/ProfileOptions.h"
#include "repair/TimeText.h"
#include "viewer/UserInteraction.h"

namespace repairwindow {

namespace {

using repair::Fix;

struct FixGroup {
    const char* title;
    std::vector<Fix> fixes;
};

const FixGroup fixGroups[] = {
    {"Timing",
     {Fix::Overlap, Fix::Gap, Fix::MinDuration, Fix::MaxDuration, Fix::OutBeforeIn, Fix::Shift}},
    {"Text", {Fix::UnusedSpace, Fix::TrailingSpaces, Fix::Renumber}},
    {"Header",
     {Fix::BlockCount, Fix::SubtitleCount, Fix::GroupCount, Fix::FirstInCue, Fix::StartOfProgramme,
      Fix::DisplayStandard, Fix::Revision}},
};

QString profileFileItem() {
    return QStringLiteral("Profile file...");
}

}  // namespace

RepairOptionsPanel::RepairOptionsPanel(int framesPerSecond, QWidget* parent)
    : QWidget(parent), m_fps(framesPerSecond) {
    m_profile = new QComboBox;
    m_profile->setObjectName(QStringLiteral("profileBox"));
    m_profile->addItem(QStringLiteral("Custom"));
    m_profiles = availableProfiles();
    for (const DeliveryProfile& profile : m_profiles)
        m_profile->addItem(QString::fromStdString(profile.name));
    m_profile->addItem(profileFileItem());
    connect(m_profile, &QComboBox::activated, this,
            [this](int index) { onProfileActivated(index); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* profileRow = new QFormLayout;
    profileRow->addRow(QStringLiteral("&Profile:"), m_profile);
    layout->addLayout(profileRow);
    layout->addWidget(createFixes());
    layout->addWidget(createParameters());
    layout->addStretch(1);
}

QWidget* RepairOptionsPanel::createFixes() {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const FixGroup& group : fixGroups) {
        auto* groupBox = new QGroupBox(QString::fromLatin1(group.title));
        auto* groupLayout = new QVBoxLayout(groupBox);
        groupLayout->setSpacing(2);
        for (const Fix fix : group.fixes) {
            auto* check = new QCheckBox(QString::fromLatin1(repair::fixName(fix)));
            check->setObjectName(QString::fromLatin1(repair::fixName(fix)));
            check->setToolTip(QString::fromLatin1(repair::fixDescription(fix)));
            connect(check, &QCheckBox::toggled, this, [this] { onEdited(); });
            groupLayout->addWidget(check);
            m_fixes[static_cast<std::size_t>(fix)] = check;
        }
        layout->addWidget(groupBox);
    }
    return box;
}

QWidget* RepairOptionsPanel::createParameters() {
    auto* box = new QGroupBox(QStringLiteral("Parameters"));
    auto* form = new QFormLayout(box);
    const auto frames = [&](const char* name, const QString& label, int minimum, int maximum,
                            const QString& tip) {
        auto* spin = new QSpinBox;
        spin->setObjectName(QLatin1String(name));
        spin->setRange(minimum, maximum);
        spin->setSuffix(QStringLiteral(" frames"));
        connect(spin, &QSpinBox::valueChanged, spin, [spin](int value) {
            spin->setSuffix(value == 1 || value == -1 ? QStringLiteral(" frame")
                                                      : QStringLiteral(" frames"));
        });
        spin->setToolTip(tip);
        // A value counts once typed in full, not at every digit.
        spin->setKeyboardTracking(false);
        connect(spin, &QSpinBox::valueChanged, this, [this] { onEdited(); });
        form->addRow(label, spin);
        return spin;
    };
    const int day = static_cast<int>(repair::dayFrames(m_fps));
    m_gap = frames("gap", QStringLiteral("Gap:"), 0, 9999,
                   QStringLiteral("Kept between two subtitles by the gap and overlap fixes"));
    m_minDuration = frames("minDuration", QStringLiteral("Minimum duration:"), 0, 99999,
                           QStringLiteral("Also what out-before-in sets"));
    m_maxDuration = frames("maxDuration", QStringLiteral("Maximum duration:"), 1, 99999, {});
    m_shift = frames("shift", QStringLiteral("Shift:"), -day + 1, day - 1,
                     QStringLiteral("Added to every time code, TCP and TCF"));
    const auto text = [&](const char* name, const QString& label, const QString& placeholder) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QLatin1String(name));
        edit->setPlaceholderText(placeholder);
        // Leaving the field unchanged is no edit.
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] {
            if (!edit->isModified()) return;
            edit->setModified(false);
            onEdited();
        });
        form->addRow(label, edit);
        return edit;
    };
    m_startOfProgramme =
        text("tcp", QStringLiteral("Start of programme:"), QStringLiteral("whole hour before"));
    m_startOfProgramme->setToolTip(
        QStringLiteral("TCP as HH:MM:SS:FF; empty for the whole hour at or before the first "
                       "in-cue"));
    m_revisionDate =
        text("revisionDate", QStringLiteral("Revision date:"), QStringLiteral("today"));
    m_revisionDate->setToolTip(QStringLiteral("RD as YYMMDD; empty for today"));
    return box;
}

std::optional<repair::Options> RepairOptionsPanel::options() const {
    repair::Options options;
    for (const Fix fix : repair::allFixes())
        if (fixBox(fix)->isChecked()) repair::add(options.fixes, fix);
    repair::Parameters& p = options.parameters;
    p.gapFrames = m_gap->value();
    p.minDurationFrames = m_minDuration->value();
    p.maxDurationFrames = m_maxDuration->value();
    p.shiftFrames = m_shift->value();
    // The text parameters are read as the command line reads them; only their values are taken,
    // so a typed value does not tick its fix.
    repair::Options read;
    const QString tcp = m_startOfProgramme->text().trimmed();
    if (!tcp.isEmpty()) {
        if (!repair::setParameter(read, "tcp", tcp.toStdString(), m_fps)) return std::nullopt;
        p.startOfProgrammeFrames = read.parameters.startOfProgrammeFrames;
    }
    const QString date = m_revisionDate->text().trimmed();
    if (!date.isEmpty()) {
        if (!repair::setParameter(read, "revision-date", date.toStdString(), m_fps))
            return std::nullopt;
        p.revisionDate = read.parameters.revisionDate;
    }
    return options;
}

QString RepairOptionsPanel::problem() const {
    repair::Options read;
    std::string error;
    for (const auto& [name, edit] :
         {std::pair{"tcp", m_startOfProgramme}, std::pair{"revision-date", m_revisionDate}}) {
        const QString text = edit->text().trimmed();
        if (!text.isEmpty() && !repair::setParameter(read, name, text.toStdString(), m_fps, &error))
            return QString::fromStdString(error);
    }
    return {};
}

void RepairOptionsPanel::show(const repair::Options& options) {
    m_filling = true;
    for (const Fix fix : repair::allFixes())
        fixBox(fix)->setChecked(repair::has(options.fixes, fix));
    const repair::Parameters& p = options.parameters;
    m_gap->setValue(static_cast<int>(p.gapFrames));
    m_minDuration->setValue(static_cast<int>(p.minDurationFrames));
    m_maxDuration->setValue(static_cast<int>(p.maxDurationFrames));
    m_shift->setValue(static_cast<int>(p.shiftFrames));
    m_startOfProgramme->setText(
        p.startOfProgrammeFrames
            ? QString::fromStdString(formatFrames(*p.startOfProgrammeFrames, m_fps))
            : QString());
    m_revisionDate->setText(QString::fromStdString(p.revisionDate));
    m_filling = false;
}

void RepairOptionsPanel::chooseProfile(const DeliveryProfile& profile) {
    auto known = std::find_if(m_profiles.begin(), m_profiles.end(),
                              [&](const DeliveryProfile& p) { return p.path == profile.path; });
    if (known == m_profiles.end()) {
        m_profile->insertItem(m_profile->count() - 1, QString::fromStdString(profile.name));
        known = m_profiles.insert(m_profiles.end(), profile);
    }
    m_shownProfile = static_cast<int>(known - m_profiles.begin()) + 1;
    m_profile->setCurrentIndex(m_shownProfile);
    show(repair::profileOptions(profile.settings, m_fps));
    emit optionsChanged();
}

void RepairOptionsPanel::chooseStartingFixes() {
    for (const DeliveryProfile& profile : m_profiles)
        if (profile.key == "teletext") return chooseProfile(profile);
    repair::Options options;
    for (const Fix fix :
         {Fix::BlockCount, Fix::SubtitleCount, Fix::GroupCount, Fix::Overlap, Fix::Revision})
        repair::add(options.fixes, fix);
    m_shownProfile = 0;
    m_profile->setCurrentIndex(0);
    show(options);
    emit optionsChanged();
}

void RepairOptionsPanel::onProfileActivated(int index) {
    if (index <= 0) {
        m_shownProfile = 0;  // Custom: the fixes stay as they are
        return;
    }
    if (index <= static_cast<int>(m_profiles.size())) {
        chooseProfile(m_profiles[index - 1]);
        return;
    }
    m_profile->setCurrentIndex(m_shownProfile);
    const QString name = userInteraction().getOpenFileName(
        this, QStringLiteral("Repair Profile"), QString(),
        QStringLiteral("Delivery profiles (*.ini);;All Files (*)"));
    if (name.isEmpty()) return;
    std::string error;
    const auto profile = readProfileFile(QFile::encodeName(name).toStdString(), &error);
    if (!profile) {
        userInteraction().showError(this, QString::fromStdString(error));
        return;
    }
    chooseProfile(*profile);
}

void RepairOptionsPanel::onEdited() {
    if (m_filling) return;
    m_shownProfile = 0;
    m_profile->setCurrentIndex(0);
    emit optionsChanged();
}

}  // namespace repairwindow
