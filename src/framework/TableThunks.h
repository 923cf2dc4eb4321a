// The thunks of response-table entries and the functions that build entries. An entry stores
// its member as a GenericMember; each thunk is instantiated for the member's exact type in the
// class that owns the table, so object and member are converted back to what they were.
#pragma once

#include <cstring>
#include <type_traits>
#include <utility>

#include "IMessage.h"
#include "framework/CmdEnabler.h"
#include "framework/EventTable.h"
#include "framework/MsgData.h"

namespace TableThunks {

template <class M>
struct MemberOf;
template <class R, class C, class... A>
struct MemberOf<R (C::*)(A...)> {
    typedef C Class;
};

// Member pointers of every signature share one representation; the copy round-trips exactly.
template <class To, class From>
To MemberCast(From member)
{
    static_assert(sizeof(To) == sizeof(From), "member pointers share one representation");
    To to;
    std::memcpy(&to, &member, sizeof(to));
    return to;
}

template <class M>
GenericMember ToGeneric(M member)
{
    return MemberCast<GenericMember>(member);
}

template <class M, class... A>
decltype(auto) Invoke(Generic* object, GenericMember member, A&&... args)
{
    typedef typename MemberOf<M>::Class Owner;
    return (reinterpret_cast<Owner*>(object)->*MemberCast<M>(member))(std::forward<A>(args)...);
}

template <class F>
GenericThunk ToThunk(F* function)
{
    return reinterpret_cast<GenericThunk>(function);
}

template <class F>
F* FromThunk(GenericThunk thunk)
{
    return reinterpret_cast<F*>(thunk);
}

// An argument of an observer event from its 64-bit slot: a value or a pointer.
template <class T>
T FromSlot(uint64_t slot)
{
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(static_cast<uintptr_t>(slot));
    } else if constexpr (std::is_same_v<T, bool>) {
        return slot != 0;
    } else if constexpr (std::is_floating_point_v<T>) {
        double value;
        std::memcpy(&value, &slot, sizeof(value));
        return static_cast<T>(value);
    } else {
        static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "event arguments are values or pointers");
        return static_cast<T>(slot);
    }
}

}  // namespace TableThunks

// Thunk signatures, by entry kind.
typedef void CmdThunkFn(TCAFId id, Generic* object, GenericMember member);
typedef void CmdEnableThunkFn(TCAFId id, ICAFCommandEnabler* enabler, Generic* object, GenericMember member);
typedef HRESULT CmdEventThunkFn(TCAFId id, NSMenu* menu, int n, Generic* object, GenericMember member);
typedef void EventThunkFn(ISubject* subject, void* data, Generic* object, const TableEntry& entry);
typedef void EventParamThunkFn(void* args, Generic* object, GenericMember member);
typedef bool MsgThunkFn(const IMessage* message, Generic* object, const TableEntry& entry);
typedef bool MsgParamThunkFn(const void* block, Generic* object, GenericMember member);

// Commands: the member is called without arguments; its result is ignored.
template <class M>
struct CmdThunks {
    static void CmdThunk(TCAFId, Generic* object, GenericMember member) { TableThunks::Invoke<M>(object, member); }
};

template <class M>
struct CmdEnableThunks {
    static void CommandEnableThunk(TCAFId, ICAFCommandEnabler* enabler, Generic* object, GenericMember member)
    {
        CmdEnabler wrapped(enabler);
        TableThunks::Invoke<M>(object, member, wrapped);
    }
};

template <class M>
struct CmdEventThunks {
    static HRESULT CmdEventThunk(TCAFId id, NSMenu* menu, int n, Generic* object, GenericMember member)
    {
        return TableThunks::Invoke<M>(object, member, id, menu, n);
    }
};

// Observer events: the entry's parameter thunk unpacks the event data.
struct EventThunkFns {
    static void Call2ndThunk(ISubject* subject, void* data, Generic* object, const TableEntry& entry);
};

// The event data is an array of 64-bit slots, one per argument of the member; no data reads as
// all-zero slots.
template <class M>
struct V_GenThunk;
template <class R, class C, class... A>
struct V_GenThunk<R (C::*)(A...)> {
    static void Thunk(void* args, Generic* object, GenericMember member)
    {
        const uint64_t* slots = static_cast<const uint64_t*>(args);
        CallWith(slots, object, member, std::index_sequence_for<A...>());
    }

private:
    template <size_t... I>
    static void CallWith(const uint64_t* slots, Generic* object, GenericMember member, std::index_sequence<I...>)
    {
        (void)slots;
        TableThunks::Invoke<R (C::*)(A...)>(
            object, member, TableThunks::FromSlot<std::decay_t<A>>(slots != nullptr ? slots[I] : 0)...);
    }
};

// Messages: the entry's parameter thunk reads the message's parameter block.
struct MsgThunkFns {
    static bool UnpackedBinMessageThunk(const IMessage* message, Generic* object, const TableEntry& entry);
};

// Reads a packed block with the parameters Params and calls the member. A block whose signature
// is not Params' (or no block where parameters are expected) does not reach the member: the
// message passes on as if unhandled.
template <class Params, class M>
struct PnThunkFns {
    static bool ThunkFn(const void* block, Generic* object, GenericMember member)
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(block);
        if (Params::kSignature() != 0) {
            uint32_t signature = 0;
            if (bytes == nullptr)
                return true;
            std::memcpy(&signature, bytes, 4);
            if (signature != Params::kSignature())
                return true;
        }
        return Params::Apply(bytes == nullptr ? nullptr : bytes + 4, [object, member](auto&&... values) {
            return TableThunks::Invoke<M>(object, member, std::forward<decltype(values)>(values)...);
        });
    }
};

// Entry builders. Owner is the class whose table holds the entry; members of its bases are
// converted to members of Owner first.
namespace ResponseTable {

TableEntry MakeEntry(uint8_t kind, uint16_t modeOrMask, IdGetter id, IdGetter secondId, GenericThunk dispatch,
                     GenericThunk params, GenericMember member);

template <class Owner, class R, class C>
TableEntry Command(IdGetter id, R (C::*member)())
{
    R (Owner::*own)() = member;
    return MakeEntry(kEntryCommand, kCommandExact, id, nullptr, TableThunks::ToThunk(&CmdThunks<decltype(own)>::CmdThunk),
                     nullptr, TableThunks::ToGeneric(own));
}

// Commands first <= id < end.
template <class Owner, class R, class C>
TableEntry CommandRange(IdGetter first, IdGetter end, R (C::*member)())
{
    R (Owner::*own)() = member;
    return MakeEntry(kEntryCommand, kCommandRange, first, end, TableThunks::ToThunk(&CmdThunks<decltype(own)>::CmdThunk),
                     nullptr, TableThunks::ToGeneric(own));
}

template <class Owner, class R, class C>
TableEntry CommandEnable(IdGetter id, R (C::*member)(CmdEnabler&))
{
    R (Owner::*own)(CmdEnabler&) = member;
    return MakeEntry(kEntryCommandEnable, kCommandExact, id, nullptr,
                     TableThunks::ToThunk(&CmdEnableThunks<decltype(own)>::CommandEnableThunk), nullptr,
                     TableThunks::ToGeneric(own));
}

template <class Owner, class R, class C>
TableEntry CommandEnableRange(IdGetter first, IdGetter end, R (C::*member)(CmdEnabler&))
{
    R (Owner::*own)(CmdEnabler&) = member;
    return MakeEntry(kEntryCommandEnable, kCommandRange, first, end,
                     TableThunks::ToThunk(&CmdEnableThunks<decltype(own)>::CommandEnableThunk), nullptr,
                     TableThunks::ToGeneric(own));
}

// A command event (kind 6 or 7): the member's result is what OnCAFCommandEvent answers.
template <class Owner, class C>
TableEntry CommandEvent(uint8_t kind, IdGetter id, HRESULT (C::*member)(TCAFId, NSMenu*, int))
{
    HRESULT (Owner::*own)(TCAFId, NSMenu*, int) = member;
    return MakeEntry(kind, kCommandExact, id, nullptr, TableThunks::ToThunk(&CmdEventThunks<decltype(own)>::CmdEventThunk),
                     nullptr, TableThunks::ToGeneric(own));
}

template <class Owner, class R, class C, class... A>
TableEntry Event(IdGetter event, R (C::*member)(A...))
{
    R (Owner::*own)(A...) = member;
    return MakeEntry(kEntryEvent, 0, event, nullptr, TableThunks::ToThunk(&EventThunkFns::Call2ndThunk),
                     TableThunks::ToThunk(&V_GenThunk<decltype(own)>::Thunk), TableThunks::ToGeneric(own));
}

// A message of the MsgData type Msg: its id getter and its parameters.
template <class Owner, class Msg, class C, class... A>
TableEntry Message(bool (C::*member)(A...), uint16_t mask = kMessageExactMask)
{
    bool (Owner::*own)(A...) = member;
    return MakeEntry(kEntryMessage, mask, &Msg::GetId, nullptr, TableThunks::ToThunk(&MsgThunkFns::UnpackedBinMessageThunk),
                     TableThunks::ToThunk(&PnThunkFns<typename Msg::Params, decltype(own)>::ThunkFn),
                     TableThunks::ToGeneric(own));
}

}  // namespace ResponseTable
