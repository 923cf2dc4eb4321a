#include "framework/CAFEventHandlerBase.h"

#include "IEnumUnknown.h"
#include "ResultCodes.h"
#include "foundation/DynamicId.h"
#include "framework/SRKey.h"
#include "framework/TableThunks.h"

namespace {

TCAFId CallGetter(uint64_t getter)
{
    return reinterpret_cast<IdGetter>(static_cast<uintptr_t>(getter))();
}

bool IsCommandKind(uint32_t kind)
{
    return kind == kEntryCommand || kind == kEntryCommandEnable || kind == kEntryCommandEvent ||
           kind == kEntryCommandEvent2;
}

// Only these kinds name a handler; a trigger of any other kind (a host passing a stray
// command-event type) must not reach the header or an unknown entry.
bool IsSearchable(uint32_t kind)
{
    return kind >= kEntryCommand && kind <= kEntryCommandEvent2;
}

}  // namespace

TableEntry* CAFEventHandlerBase::FindEntry(EventTrigger*, Generic** object)
{
    *object = nullptr;
    return nullptr;
}

void CAFEventHandlerBase::ExecuteAction(TableEntryAction&) {}

HRESULT CAFEventHandlerBase::DispatchAndPropagateKVDMessage(const IMessage* message)
{
    return DispatchKVDMessage(message);
}

void CAFEventHandlerBase::DoTableFixup(FirstTableEntry* table)
{
    for (TableEntry* entry = table; entry->kind != kEntryEnd; ++entry) {
        if (IsCommandKind(entry->kind)) {
            entry->id = CallGetter(entry->id);
            if (entry->modeOrMask == kCommandRange)
                entry->secondId = CallGetter(entry->secondId);
        } else if (entry->kind == kEntryEvent || entry->kind == kEntryMessage) {
            entry->id = CallGetter(entry->id);
        }
    }
    table->flags &= ~kTableFixupDue;
}

TableEntry* CAFEventHandlerBase::FindInTable(TableEntry* table, EventTrigger* trigger)
{
    if ((table->flags & kTableFixupDue) != 0)
        DoTableFixup(table);
    const uint32_t kind = trigger->GetEventType();
    if (!IsSearchable(kind))
        return nullptr;
    for (TableEntry* entry = table; entry->kind != kEntryEnd; ++entry)
        if (entry->kind == kind && trigger->IsEntry(*entry))
            return entry;
    return nullptr;
}

void CAFEventHandlerBase::ExecuteActionOnTable(TableEntry* table, TableEntryAction& action)
{
    if ((table->flags & kTableFixupDue) != 0)
        DoTableFixup(table);
    for (TableEntry* entry = table; entry->kind != kEntryEnd; ++entry)
        action.Execute(*entry);
}

HRESULT CAFEventHandlerBase::Command(TCAFId id)
{
    CommandTrigger trigger(id, kEntryCommand);
    Generic* object = nullptr;
    TableEntry* entry = FindEntry(&trigger, &object);
    if (entry == nullptr)
        return KVD_S_FALSE;
    TableThunks::FromThunk<CmdThunkFn>(entry->dispatch)(id, object, entry->member);
    return KVD_S_OK;
}

HRESULT CAFEventHandlerBase::CommandEnable(TCAFId id, ICAFCommandEnabler* enabler)
{
    if (enabler == nullptr)
        return KVD_E_POINTER;
    CommandTrigger enableTrigger(id, kEntryCommandEnable);
    Generic* object = nullptr;
    if (TableEntry* entry = FindEntry(&enableTrigger, &object)) {
        TableThunks::FromThunk<CmdEnableThunkFn>(entry->dispatch)(id, enabler, object, entry->member);
        return KVD_S_OK;
    }
    CommandTrigger commandTrigger(id, kEntryCommand);
    if (FindEntry(&commandTrigger, &object) == nullptr)
        return KVD_S_FALSE;
    enabler->Enable(kAutoTrue);
    return KVD_S_OK;
}

HRESULT CAFEventHandlerBase::OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n)
{
    CommandTrigger trigger(id, type);
    Generic* object = nullptr;
    TableEntry* entry = FindEntry(&trigger, &object);
    if (entry == nullptr)
        return KVD_S_FALSE;
    return TableThunks::FromThunk<CmdEventThunkFn>(entry->dispatch)(id, menu, n, object, entry->member);
}

HRESULT CAFEventHandlerBase::Notify(ISubject* subject, TCAFId event, uint32_t, void* data)
{
    ObserverEventTrigger trigger(event);
    Generic* object = nullptr;
    if (TableEntry* entry = FindEntry(&trigger, &object))
        TableThunks::FromThunk<EventThunkFn>(entry->dispatch)(subject, data, object, *entry);
    return KVD_S_OK;
}

HRESULT CAFEventHandlerBase::RegisterEvents(IObserver* observer, ISubject* subject)
{
    if (subject == nullptr)
        return KVD_E_POINTER;
    RegisterAction action(subject, observer);
    ExecuteAction(action);
    return KVD_S_OK;
}

HRESULT CAFEventHandlerBase::DispatchKVDMessage(const IMessage* message)
{
    if (message == nullptr)
        return KVD_E_POINTER;
    TCAFId id = 0;
    message->GetId(&id);
    message->GetFlags(&mMsgFlags);
    MsgEventTrigger trigger(id, mMsgFlags);
    Generic* object = nullptr;
    TableEntry* entry = FindEntry(&trigger, &object);
    if (entry == nullptr)
        return KVD_S_OK;
    return TableThunks::FromThunk<MsgThunkFn>(entry->dispatch)(message, object, *entry) ? KVD_S_OK : KVD_S_FALSE;
}

HRESULT CAFEventHandlerBase::Replay(IUnknown* object, bool propagate)
{
    const KVD::COMPtr<IMessage> message(KVD::com_cast(object));
    if (message == nullptr)
        return KVD_S_FALSE;
    if (propagate)
        DispatchAndPropagateKVDMessage(message);
    else
        CAFEventHandlerBase::DispatchKVDMessage(message);
    return KVD_S_OK;
}

HRESULT CAFEventHandlerBase::InitializeHandler(const ISettingsRegistrar* registrar, const SRKey& key, bool propagate)
{
    if (registrar == nullptr || key.GetKey() == nullptr)
        return KVD_S_FALSE;
    KVD::COMPtr<IUnknown> stored;
    registrar->GetObject(key.GetKey(), stored.Set());
    return stored != nullptr ? Replay(stored, propagate) : KVD_S_FALSE;
}

HRESULT CAFEventHandlerBase::Initialize(const ISettingsRegistrar* registrar, const _IID& nameSpace, bool propagate)
{
    if (registrar == nullptr)
        return KVD_S_FALSE;
    KVD::COMPtr<IEnumUnknown> objects;
    registrar->EnumObjects(DynId::Ask(nameSpace), objects.Set());
    if (objects == nullptr)
        return KVD_S_FALSE;
    HRESULT hr = KVD_S_OK;
    for (;;) {
        KVD::COMPtr<IUnknown> object;
        hr = objects->Next(1, object.Set(), nullptr);
        if (hr != KVD_S_OK)
            break;
        Replay(object, propagate);
    }
    return hr;
}
