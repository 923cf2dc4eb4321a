#include "framework/CAFCommand.h"

#include "FrameworkIds.h"
#include "foundation/ClassObjectAccessor.h"
#include "foundation/DynamicId.h"

ICAFCommandClass* CAFCommand::CommandClass()
{
    return ObjectFactoryClassObjectAccessor<ICAFCommandClass, StaticTypeIdClass<kTypeId_CommandClass>>::Get();
}

CAFCommand::CAFCommand(const KVD::String& text)
{
    ICAFCommandClass* commands = CommandClass();
    if (commands == nullptr)
        return;
    const bool separator = text == L"-";
    commands->CreateCommand(separator ? nullptr : text.AsIAutoKVDString(), separator ? text.AsIAutoKVDString() : nullptr,
                            kCommandFlag_Plain, mCommand.Set());
}

CAFCommand::CAFCommand(const KVD::String& text, CommandFlags flags, const KVD::String& help, IUnknown* target, int n)
{
    ICAFCommandClass* commands = CommandClass();
    if (commands == nullptr)
        return;
    if ((flags & kCommandFlag_TopLevel) != 0)
        flags |= kCommandFlag_Header;
    commands->CreateCommandEx(text.AsIAutoKVDString(), flags, help.AsIAutoKVDString(), target, n, mCommand.Set());
}

CAFCommand::CAFCommand(TCAFId id, NSBundle* bundle, const KVDXMLStringGroupKey& key, const KVD::String& name,
                       CommandFlags flags, IUnknown* a, IUnknown* b)
{
    CreateCommand(id, bundle, key, name, KVD::KeyCode(), flags, 0, KVD::String(), KVD::String(), KVD::String(), a, b);
}

void CAFCommand::CreateCommand(TCAFId id, NSBundle* bundle, const KVDXMLStringGroupKey& key, const KVD::String& name,
                               KVD::KeyCode keyCode, CommandFlags flags, int n, const KVD::String& s1,
                               const KVD::String& s2, const KVD::String& s3, IUnknown* a, IUnknown* b)
{
    mCommand.Clear();
    ICAFCommandClass* commands = CommandClass();
    if (commands == nullptr)
        return;
    KVD::COMPtr<IKVDXMLStringGroup> strings(new KVDXMLStringGroupWrapper(bundle, key));
    commands->CreateCommandFull(id, bundle, strings, name.AsIAutoKVDString(), n, s2.AsIAutoKVDString(),
                                s3.AsIAutoKVDString(), flags, a, b, mCommand.Set());
    if (mCommand == nullptr)
        return;
    if (keyCode.IsEmpty()) {
        uint32_t proposed = 0;
        mCommand->GetDefaultKey(&proposed);
        if (proposed != 0)
            keyCode = KVD::KeyCode(proposed);
    }
    mCommand->SetKeyCode(keyCode.Packed());
    if (KVD::COMPtr<ICAFCommandEx> ex{KVD::com_cast(mCommand.get())})
        ex->SetKeyCodeEx(0, keyCode.Packed());
    if (KVD::COMPtr<ICAFCommandMac, KVD::COMWeak> mac{KVD::com_cast(mCommand.get())})
        mac->SetMacText(s1.AsIAutoKVDString());
}

// The accessor keeps the class once the host has given it; a host that had none yet is asked
// again next time rather than never.
ICAFCommandGroupClass* CAFCommandGroup::GetCommandGroupClass()
{
    return ObjectFactoryClassObjectAccessor<ICAFCommandGroupClass, StaticTypeIdClass<kTypeId_CommandGroupClass>>::Get();
}

CAFCommandGroup::CAFCommandGroup(const _IID* classId, IUnknown* a, IUnknown* b)
{
    if (ICAFCommandGroupClass* groups = GetCommandGroupClass())
        groups->CreateGroup(classId, a, b, mGroup.Set());
}

HRESULT CAFCommandGroup::Add(const CAFCommand& command)
{
    if (mGroup == nullptr || command.GetCommand() == nullptr)
        return KVD_E_BADSTATE;
    return mGroup->AddCommand(command.GetCommand());
}

HRESULT KVDXMLStringGroupWrapper::GetResourceString(uint32_t, long index, IAutoKVDString** out)
{
    if (out == nullptr)
        return KVD_E_POINTER;
    KVD::String(mBundle, mKey, static_cast<int>(index), true).GetOut(out);
    return KVD_S_OK;
}
