// The table side of every object that answers commands, command enables, observer events and
// messages: each call becomes a lookup in the object's response tables (its class's, then its
// bases') and a call of the member the entry names.
//
// Results: 0 done; KVD_S_FALSE from commands and enables: not handled here (the host asks the
// next handler); KVD_S_FALSE from messages: a handler consumed the message, it stops.
#pragma once

#include "IMessage.h"
#include "ISettingsRegistrar.h"
#include "framework/EventTable.h"

class SRKey;

class CAFEventHandlerBase {
public:
    CAFEventHandlerBase() = default;
    virtual ~CAFEventHandlerBase() = default;

    // The entry that answers the trigger and the object to call it on. This base has no table;
    // every class with one overrides both (see ResponseTable.h).
    virtual TableEntry* FindEntry(EventTrigger* trigger, Generic** object);
    virtual void ExecuteAction(TableEntryAction& action);
    virtual HRESULT DispatchAndPropagateKVDMessage(const IMessage* message);

    HRESULT Command(TCAFId id);
    // A command with a handler and no enabler is enabled.
    HRESULT CommandEnable(TCAFId id, ICAFCommandEnabler* enabler);
    HRESULT OnCAFCommandEvent(TCAFId id, CAFEventType type, NSMenu* menu, int n);
    HRESULT Notify(ISubject* subject, TCAFId event, uint32_t flags, void* data);
    // Registers the observer with the subject for every observer-event entry of the tables.
    HRESULT RegisterEvents(IObserver* observer, ISubject* subject);
    // The own tables only.
    HRESULT DispatchKVDMessage(const IMessage* message);

    // Replays the message stored under the key; KVD_S_FALSE when there is none.
    HRESULT InitializeHandler(const ISettingsRegistrar* registrar, const SRKey& key, bool propagate);
    // Replays every message stored under the namespace, in the registrar's order; answers the
    // enumerator's end code.
    HRESULT Initialize(const ISettingsRegistrar* registrar, const _IID& nameSpace, bool propagate);

    // The flags of the message being (or last) dispatched.
    uint32_t GetMessageFlags() const { return mMsgFlags; }

    static TableEntry* FindInTable(TableEntry* table, EventTrigger* trigger);
    static void ExecuteActionOnTable(TableEntry* table, TableEntryAction& action);
    // Replaces the id getters of the table by the ids, once.
    static void DoTableFixup(FirstTableEntry* table);

private:
    HRESULT Replay(IUnknown* object, bool propagate);

    uint32_t mMsgFlags = 0;
};
