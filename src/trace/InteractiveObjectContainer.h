// The data pane's extension point: the interactive objects added from outside, walked in
// ascending key order (equal keys in order of insertion), with the cursor walk, the action veto
// and the objects' part of the pane's record.
#pragma once

#include <functional>
#include <map>

#include "foundation/COMPtr.h"
#include "trace/IKVDInteractiveCpp.h"

namespace OrrelDraw {

class InteractiveObjectContainer {
public:
    using Call = std::function<void(IKVDInteractiveCpp&)>;

    virtual ~InteractiveObjectContainer() = default;

    void AddInteractiveObject(IKVDInteractiveCpp* object, int key);
    void AddInteractiveObject(const KVD::COMPtr<IKVDInteractiveCpp>& object, int key)
    {
        AddInteractiveObject(object.get(), key);
    }
    void CallOnObjects(const Call& call) const;
    // False with the first object that refuses, as blocker; true and no blocker when all permit.
    bool IsActionPermitted(IOFActionType action, IKVDInteractiveCpp** blocker = nullptr) const;
    // When an object refuses, only the objects of the blocker's identity get the call.
    void ExecuteActionIfPermitted(IOFActionType action, const Call& call) const;
    bool OnSetCursor(void* window, int hit, int message) const;
    void SetTimeDisplayMode(unsigned record, TimeDisplayMode mode) const;
    // Throws XKVD for an object version written by a newer program, before any object reads.
    void OnRead(IBinInStream* stream) const;

    size_t ObjectCount() const { return mObjects.size(); }
    size_t MenuCount() const { return mMenus.size(); }

private:
    std::multimap<int, KVD::COMPtr<IKVDInteractiveCpp>> mObjects;
    std::multimap<int, KVD::COMPtr<IKVDInteractiveMenu>> mMenus;
};

}  // namespace OrrelDraw
