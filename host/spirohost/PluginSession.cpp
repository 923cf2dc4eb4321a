#include "spirohost/PluginSession.h"

#include "ResultCodes.h"
#include "host/calc/PublishedFunctions.h"
#include "host/framework/HostAlertPolicy.h"
#include "host/framework/ResultText.h"

namespace SpiroHost {
namespace {

const std::string& Published(const std::string& bundleFolder)
{
    Host::PublishFormulaFunctions();
    return bundleFolder;
}

}  // namespace

PluginSession::PluginSession(const std::string& bundleFolder) : mPlugin(Published(bundleFolder))
{
    const HRESULT hr = mPlugin.RegisterClassObjects();
    if (hr != KVD_S_OK) {
        throw Host::PluginError("the registration of " + mPlugin.LibraryPath() + " failed: " + Host::ResultText(hr));
    }
}

void AddBundleOption(po::options_description& options)
{
    options.add_options()("bundle", po::value<std::string>()->default_value(Host::PluginBundle::DefaultFolder()),
                          "the plug-in's bundle folder");
}

void AddAnswerOption(po::options_description& options)
{
    options.add_options()("answer", po::value<std::vector<std::string>>()->composing(),
                          "answer the next alert with the button of this title (repeatable; "
                          "unanswered alerts get their first button)");
}

void InstallAnswers(const po::variables_map& values, const std::vector<Output>& outputs)
{
    Host::InstallAlertPolicy(values.count("answer") ? values["answer"].as<std::vector<std::string>>()
                                                    : std::vector<std::string>{},
                             Told(outputs));
}

}  // namespace SpiroHost
