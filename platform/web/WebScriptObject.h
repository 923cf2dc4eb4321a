// The page's script side as the host program sees it. Until a script bridge is installed the
// page evaluates nothing: every script answers the empty text.
#pragma once

#include <functional>
#include <string>

namespace Web {

class WebScriptObject {
public:
    // Runs a script in the page and answers its result as text.
    using Evaluator = std::function<std::string(const std::string& script)>;

    // Replaces the page's evaluator; an empty one restores the silent default.
    void SetEvaluator(Evaluator evaluator) { mEvaluator = std::move(evaluator); }
    std::string EvaluateWebScript(const std::string& script) const
    {
        return mEvaluator ? mEvaluator(script) : std::string();
    }

private:
    Evaluator mEvaluator;
};

}  // namespace Web
