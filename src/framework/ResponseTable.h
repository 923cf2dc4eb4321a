// Declaring a class's response table. In the class:
//     CAF_DECLARE_RESPONSE_TABLE();
// and in its source file, the table in declaration order between a header and an end entry:
//     CAF_DEFINE_RESPONSE_TABLE(MyView, BaseClass) = {
//         TableHeader(),
//         ResponseTable::Command<MyView>(&CmdId::GetId, &MyView::CmDoIt),
//         TableEnd(),
//     };
// A class's entries are searched before its base's; BaseClass is the base whose table comes
// next (CAFEventHandlerBase when none has one).
#pragma once

#include "framework/CAFEventHandlerBase.h"
#include "framework/TableThunks.h"

namespace ResponseTable {

template <class Class, class Base>
TableEntry* FindEntry(Class* self, EventTrigger* trigger, Generic** object)
{
    *object = nullptr;
    if (TableEntry* entry = CAFEventHandlerBase::FindInTable(Class::cafResponseTable, trigger)) {
        *object = reinterpret_cast<Generic*>(self);
        return entry;
    }
    return self->Base::FindEntry(trigger, object);
}

template <class Class, class Base>
void ExecuteAction(Class* self, TableEntryAction& action)
{
    CAFEventHandlerBase::ExecuteActionOnTable(Class::cafResponseTable, action);
    self->Base::ExecuteAction(action);
}

}  // namespace ResponseTable

#define CAF_DECLARE_RESPONSE_TABLE()                                                   \
public:                                                                                \
    static TableEntry cafResponseTable[];                                              \
    TableEntry* FindEntry(EventTrigger* trigger, Generic** object) override;           \
    void ExecuteAction(TableEntryAction& action) override

#define CAF_DEFINE_RESPONSE_TABLE(Class, Base)                                         \
    TableEntry* Class::FindEntry(EventTrigger* trigger, Generic** object)              \
    {                                                                                  \
        return ResponseTable::FindEntry<Class, Base>(this, trigger, object);           \
    }                                                                                  \
    void Class::ExecuteAction(TableEntryAction& action)                                \
    {                                                                                  \
        ResponseTable::ExecuteAction<Class, Base>(this, action);                       \
    }                                                                                  \
    TableEntry Class::cafResponseTable[]
