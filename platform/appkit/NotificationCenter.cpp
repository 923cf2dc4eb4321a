#include "appkit/NotificationCenter.h"

#include <algorithm>

namespace AppKit {

NotificationCenter& NotificationCenter::Default()
{
    static NotificationCenter centre;
    return centre;
}

int NotificationCenter::AddObserver(const std::string& name, const void* object, Callback callback)
{
    mObservers.push_back({mNextToken, name, object, std::move(callback)});
    return mNextToken++;
}

void NotificationCenter::RemoveObserver(int token)
{
    mObservers.erase(std::remove_if(mObservers.begin(), mObservers.end(),
                                    [token](const Observer& o) { return o.token == token; }),
                     mObservers.end());
}

void NotificationCenter::Post(const Notification& n)
{
    // Observers may come and go while they are told: each one still registered hears it once.
    std::vector<int> tokens;
    for (const Observer& o : mObservers)
        if ((o.name.empty() || o.name == n.name) && (o.object == nullptr || o.object == n.object))
            tokens.push_back(o.token);
    for (int token : tokens) {
        auto it = std::find_if(mObservers.begin(), mObservers.end(), [token](const Observer& o) { return o.token == token; });
        if (it != mObservers.end()) {
            Callback callback = it->callback;
            callback(n);
        }
    }
}

ObserverToken& ObserverToken::operator=(ObserverToken&& o) noexcept
{
    if (this != &o) {
        Reset();
        mToken = o.mToken;
        o.mToken = 0;
    }
    return *this;
}

void ObserverToken::Reset()
{
    if (mToken != 0)
        NotificationCenter::Default().RemoveObserver(mToken);
    mToken = 0;
}

}  // namespace AppKit
