// The process's notification centre: observers register for a name and an object (either
// may be left open) and are called, in the order they registered, when a matching
// notification is posted.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace AppKit {

struct Notification {
    std::string name;
    const void* object = nullptr;
    std::map<std::string, std::string> userInfo;
};

class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    static NotificationCenter& Default();

    // An empty name hears every name; a null object hears every object. Answers a token
    // (never 0) that removes the observer.
    int AddObserver(const std::string& name, const void* object, Callback callback);
    void RemoveObserver(int token);
    void Post(const Notification& notification);
    void Post(const std::string& name, const void* object) { Post(Notification{name, object, {}}); }
    size_t ObserverCount() const { return mObservers.size(); }

private:
    struct Observer {
        int token;
        std::string name;
        const void* object;
        Callback callback;
    };
    std::vector<Observer> mObservers;
    int mNextToken = 1;
};

// Removes its observer when it goes: an object that observes keeps one per registration.
class ObserverToken {
public:
    ObserverToken() = default;
    explicit ObserverToken(int token) : mToken(token) {}
    ~ObserverToken() { Reset(); }
    ObserverToken(ObserverToken&& o) noexcept : mToken(o.mToken) { o.mToken = 0; }
    ObserverToken& operator=(ObserverToken&& o) noexcept;
    void Reset();

private:
    int mToken = 0;
};

}  // namespace AppKit
