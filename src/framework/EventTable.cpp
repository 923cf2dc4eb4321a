#include "framework/EventTable.h"

#include "framework/TableThunks.h"

bool CommandTrigger::IsEntry(const TableEntry& entry) const
{
    switch (entry.modeOrMask) {
    case kCommandExact:
        return entry.id == mId;
    case kCommandRange:
        return entry.id <= mId && mId < entry.secondId;
    default:
        return false;
    }
}

bool MsgEventTrigger::IsEntry(const TableEntry& entry) const
{
    const uint32_t mask = entry.modeOrMask | 0xFFFF0000u;
    return (static_cast<uint32_t>(entry.id) & mask) == (mId & mask);
}

void RegisterAction::Execute(TableEntry& entry)
{
    if (entry.kind == kEntryEvent)
        mSubject->RegisterEvent(mObserver, static_cast<TCAFId>(entry.id), 0);
}

TableEntry TableHeader()
{
    return TableEntry{kEntryHeader, kTableFixupDue, 0, 0, 0, 0, nullptr, nullptr, nullptr};
}

TableEntry TableEnd()
{
    return TableEntry{kEntryEnd, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr};
}

void EventThunkFns::Call2ndThunk(ISubject*, void* data, Generic* object, const TableEntry& entry)
{
    TableThunks::FromThunk<EventParamThunkFn>(entry.params)(data, object, entry.member);
}

bool MsgThunkFns::UnpackedBinMessageThunk(const IMessage* message, Generic* object, const TableEntry& entry)
{
    const void* block = nullptr;
    message->GetParamBlock(&block);
    return TableThunks::FromThunk<MsgParamThunkFn>(entry.params)(block, object, entry.member);
}

namespace ResponseTable {

TableEntry MakeEntry(uint8_t kind, uint16_t modeOrMask, IdGetter id, IdGetter secondId, GenericThunk dispatch,
                     GenericThunk params, GenericMember member)
{
    return TableEntry{kind,
                      0,
                      modeOrMask,
                      reinterpret_cast<uintptr_t>(id),
                      reinterpret_cast<uintptr_t>(secondId),
                      0,
                      dispatch,
                      params,
                      member};
}

}  // namespace ResponseTable
