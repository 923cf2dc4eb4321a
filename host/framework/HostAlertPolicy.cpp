#include "host/framework/HostAlertPolicy.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "appkit/Alert.h"

namespace Host {

void InstallAlertPolicy(std::vector<std::string> answers, std::ostream& told)
{
    auto pending = std::make_shared<std::vector<std::string>>(answers.rbegin(), answers.rend());
    AppKit::AlertPresenter::Shared().SetResponder([pending, &told](const AppKit::Alert& alert) {
        const auto& buttons = alert.Buttons();
        size_t chosen = 0;
        if (!pending->empty()) {
            const auto it = std::find(buttons.begin(), buttons.end(), pending->back());
            if (it != buttons.end())
                chosen = static_cast<size_t>(it - buttons.begin());
            pending->pop_back();
        }
        told << "alert: " << alert.messageText;
        if (!alert.informativeText.empty())
            told << " (" << alert.informativeText << ")";
        told << " -> " << buttons.at(chosen) << "\n";
        return chosen;
    });
}

}  // namespace Host
