#include "trace/InteractiveObjectContainer.h"

#include "foundation/XKVD.h"

namespace OrrelDraw {

namespace {
// Object records this program reads: versions below 3.
constexpr unsigned kObjectVersionLimit = 3;
}  // namespace

void InteractiveObjectContainer::AddInteractiveObject(IKVDInteractiveCpp* object, int key)
{
    if (object == nullptr)
        return;
    mObjects.emplace(key, KVD::COMPtr<IKVDInteractiveCpp>(object));
    KVD::COMPtr<IKVDInteractiveMenu> menu;
    if (object->QueryInterface(IID_IKVDInteractiveMenu, menu.Set()) == KVD_S_OK)
        mMenus.emplace(key, menu);
}

void InteractiveObjectContainer::CallOnObjects(const Call& call) const
{
    for (const auto& entry : mObjects)
        call(*entry.second);
}

bool InteractiveObjectContainer::IsActionPermitted(IOFActionType action, IKVDInteractiveCpp** blocker) const
{
    if (blocker != nullptr)
        *blocker = nullptr;
    for (const auto& entry : mObjects)
        if (!entry.second->IsActionPermitted(action)) {
            if (blocker != nullptr)
                *blocker = entry.second.get();
            return false;
        }
    return true;
}

void InteractiveObjectContainer::ExecuteActionIfPermitted(IOFActionType action, const Call& call) const
{
    IKVDInteractiveCpp* blocker = nullptr;
    if (IsActionPermitted(action, &blocker)) {
        CallOnObjects(call);
        return;
    }
    const uintptr_t identity = blocker->Identity();
    for (const auto& entry : mObjects)
        if (entry.second->Identity() == identity)
            call(*entry.second);
}

bool InteractiveObjectContainer::OnSetCursor(void* window, int hit, int message) const
{
    bool set = false;
    for (const auto& entry : mObjects) {
        bool passOn = false;
        if (entry.second->OnSetCursor(window, hit, message, &passOn)) {
            set = true;
            if (!passOn)
                break;
        }
    }
    return set;
}

void InteractiveObjectContainer::SetTimeDisplayMode(unsigned record, TimeDisplayMode mode) const
{
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.SetTimeDisplayMode(record, mode); });
}

void InteractiveObjectContainer::OnRead(IBinInStream* stream) const
{
    unsigned version = 0;
    stream->ReadWord32(&version);
    if (version >= kObjectVersionLimit)
        throw XKVD(int(KVD_E_NEWERVERSION));
    CallOnObjects([&](IKVDInteractiveCpp& object) { object.Read(stream); });
}

}  // namespace OrrelDraw
