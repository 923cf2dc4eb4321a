// What the commands that run formulas or documents need first: the host's formula functions
// published and the plug-in loaded and registered, in that order (the formula tables see only
// what is published before the first compilation); and the options they share.
#pragma once

#include <string>
#include <vector>

#include "host/loader/PluginBundle.h"
#include "spirohost/Options.h"

namespace SpiroHost {

class PluginSession {
public:
    // Throws Host::PluginError when the plug-in cannot be loaded or its registration fails.
    explicit PluginSession(const std::string& bundleFolder);

private:
    Host::PluginBundle mPlugin;
};

// --bundle DIR, for the commands that load the plug-in.
void AddBundleOption(po::options_description& options);
// --answer TITLE (repeatable), for the commands that may show alerts: each answers the next
// alert with the button of that title.
void AddAnswerOption(po::options_description& options);
// Installs the alert policy with the answers given, telling the alerts beside the outputs (Told).
void InstallAnswers(const po::variables_map& values, const std::vector<Output>& outputs);

}  // namespace SpiroHost
