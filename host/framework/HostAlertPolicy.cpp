#include "host/framework/HostAlertPolicy.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "appkit/Alert.h"

namespace Host {

void InstallAlertPolicy(std::vector<std::string> answers)
{
    auto pending = std::make_shared<std::vector<std::string>>(answers.rbegin(), answers.rend());
    AppKit::AlertPresenter::Shared().SetResponder([pending](const AppKit::Alert& alert) {
        const auto& buttons = alert.Buttons();
        size_t chosen = 0;
        if (!pending->empty()) {
            const auto it = std::find(buttons.begin(), buttons.end(), pending->back());
            if (it != buttons.end())
                chosen = static_cast<size_t>(it - buttons.begin());
            pending->pop_back();
        }
        std::cerr << "alert: " << alert.messageText;
        if (!alert.informativeText.empty())
            std::cerr << " (" << alert.informativeText << ")";
        std::cerr << " -> " << buttons.at(chosen) << "\n";
        return chosen;
    });
}

}  // namespace Host
