// Response tables: one static array of entries per class that answers commands, command
// enables, observer events or messages. A lookup takes a trigger (what happened) and finds the
// first entry of the trigger's kind that answers it; the entry's thunks then call the member.
#pragma once

#include <cstdint>

#include "ICAFCommandHandler.h"
#include "IObserver.h"

// Placeholder class through which members of any handler class are stored in an entry. An
// entry's thunks know the class that owns the table and convert object and member back to it.
class Generic {};
typedef void (Generic::*GenericMember)();
typedef void (*GenericThunk)();
// Ids are stored in tables as getters until the table's first use (dynamic ids need the host).
typedef TCAFId (*IdGetter)();

enum EventEntryKind : uint8_t {
    kEntryEnd = 0,
    kEntryHeader = 1,
    kEntryCommand = 2,
    kEntryCommandEnable = 3,
    kEntryEvent = 4,
    kEntryMessage = 5,
    kEntryCommandEvent = 6,
    kEntryCommandEvent2 = 7,
};

// Header flag: the table's ids are still getters.
constexpr uint8_t kTableFixupDue = 0x2;
// Command entries: an exact id or a half-open range [id, second id).
constexpr uint16_t kCommandExact = 0;
constexpr uint16_t kCommandRange = 1;
// Message entries: the low 16 bits of the id that must match.
constexpr uint16_t kMessageExactMask = 0xFFFF;

template <class T>
struct EventTableEntry;

template <>
struct EventTableEntry<Generic> {
    uint8_t kind;
    uint8_t flags;
    uint16_t modeOrMask;
    uint64_t id;        // IdGetter until the fix-up, then the id
    uint64_t secondId;  // range entries only: the end of the range
    uint64_t reserved;
    GenericThunk dispatch;
    GenericThunk params;  // null for entries without parameters
    GenericMember member;
};
typedef EventTableEntry<Generic> TableEntry;
// The header at index 0 of every table.
typedef TableEntry FirstTableEntry;

// What happened; finds the entries that answer it.
class EventTrigger {
public:
    virtual uint32_t GetEventType() const = 0;
    virtual bool IsEntry(const TableEntry& entry) const = 0;

protected:
    ~EventTrigger() = default;
};

class CommandTrigger final : public EventTrigger {
public:
    // kind: kEntryCommand, kEntryCommandEnable, or the type of a command event.
    CommandTrigger(TCAFId id, uint32_t kind) : mId(id), mKind(kind) {}
    uint32_t GetEventType() const override { return mKind; }
    bool IsEntry(const TableEntry& entry) const override;

private:
    TCAFId mId;
    uint32_t mKind;
};

class ObserverEventTrigger final : public EventTrigger {
public:
    explicit ObserverEventTrigger(TCAFId event) : mEvent(event) {}
    uint32_t GetEventType() const override { return kEntryEvent; }
    bool IsEntry(const TableEntry& entry) const override { return entry.id == mEvent; }

private:
    TCAFId mEvent;
};

// The upper 16 bits of the id always match; the entry's mask selects the low bits that must.
class MsgEventTrigger final : public EventTrigger {
public:
    MsgEventTrigger(TCAFId id, uint32_t flags) : mId(id), mFlags(flags) {}
    uint32_t GetEventType() const override { return kEntryMessage; }
    bool IsEntry(const TableEntry& entry) const override;
    uint32_t GetFlags() const { return mFlags; }

private:
    TCAFId mId;
    uint32_t mFlags;
};

// Something done to every entry of a table.
class TableEntryAction {
public:
    virtual void Execute(TableEntry& entry) = 0;

protected:
    ~TableEntryAction() = default;
};

// Registers an observer with a subject for the event of every observer-event entry.
class RegisterAction final : public TableEntryAction {
public:
    RegisterAction(ISubject* subject, IObserver* observer) : mSubject(subject), mObserver(observer) {}
    void Execute(TableEntry& entry) override;

private:
    ISubject* mSubject;
    IObserver* mObserver;
};

// The first and last entries of every table.
TableEntry TableHeader();
TableEntry TableEnd();
