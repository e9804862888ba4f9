#pragma once
// Delivery profiles: named sets of switches, report types and thresholds for the delivery rules,
// read from small INI files. Shipped ones sit in "profiles" beside the plug-in; users add their
// own in $XDG_CONFIG_HOME/vantorel/sievra-profiles.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeliveryRules.h"

struct DeliveryProfile {
    std::string name;  // shown to the user
    std::string key;   // short name for the command line; may be empty
    std::string path;  // file it came from
    DeliverySettings settings;
};

// Rules the text does not name stay off. Error (when given) tells the first problem and its line.
std::optional<DeliveryProfile> parseProfile(std::string_view text, std::string* error = nullptr);
std::optional<DeliveryProfile> readProfileFile(const std::string& path,
                                               std::string* error = nullptr);

std::string shippedProfileDirectory();  // beside the plug-in module
std::string userProfileDirectory();
// Shipped profiles first, then the user's, each sorted by file name; unreadable files left out.
std::vector<DeliveryProfile> availableProfiles();
// A profile by its short name or name, else a file path.
std::optional<DeliveryProfile> findProfile(const std::string& nameOrFile,
                                           std::string* error = nullptr);
// The first profile whose settings equal these; null when none does.
const DeliveryProfile* matchingProfile(const DeliverySettings& settings,
                                       const std::vector<DeliveryProfile>& profiles);
// Switches, types and thresholds of Profile into Settings.
void applyProfile(const DeliveryProfile& profile, DeliverySettings& settings);
