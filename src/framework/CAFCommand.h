// Menu commands and command groups: thin owners of one host object each, made through the
// host's command and command-group classes. A missing host class leaves them empty.
#pragma once

#include "ICAFCommand.h"
#include "foundation/COMPtr.h"
#include "foundation/StringResources.h"
#include "foundation/UnknownImp.h"
#include "framework/KeyCode.h"

typedef uint32_t CommandFlags;

class CAFCommand {
public:
    // A command known by its path; "-" makes a separator.
    explicit CAFCommand(const KVD::String& text);
    // The flags passed gain kCommandFlag_Header whenever they have kCommandFlag_TopLevel.
    CAFCommand(const KVD::String& text, CommandFlags flags, const KVD::String& help, IUnknown* target, int n);
    // A command whose texts the host reads from the bundle's string group key.
    CAFCommand(TCAFId id, NSBundle* bundle, const KVDXMLStringGroupKey& key, const KVD::String& name,
               CommandFlags flags, IUnknown* a, IUnknown* b);
    CAFCommand() = default;

    // Makes the host command: a zero key code takes the host's default key, if it has one.
    void CreateCommand(TCAFId id, NSBundle* bundle, const KVDXMLStringGroupKey& key, const KVD::String& name,
                       KVD::KeyCode keyCode, CommandFlags flags, int n, const KVD::String& s1, const KVD::String& s2,
                       const KVD::String& s3, IUnknown* a, IUnknown* b);

    ICAFCommand* GetCommand() const { return mCommand; }

private:
    static ICAFCommandClass* CommandClass();

    KVD::COMPtr<ICAFCommand> mCommand;
};

class CAFCommandGroup {
public:
    // The group of the document or view class classId; a: its command handler, b: the class.
    CAFCommandGroup(const _IID* classId, IUnknown* a, IUnknown* b);

    // Adds the command to the group; KVD_E_BADSTATE when either is missing.
    HRESULT Add(const CAFCommand& command);
    ICAFCommandGroup* GetGroup() const { return mGroup; }

    static ICAFCommandGroupClass* GetCommandGroupClass();

private:
    KVD::COMPtr<ICAFCommandGroup> mGroup;
};

// Lets the host read a command's texts from the plug-in's string tables: entry i of the
// string group.
class KVDXMLStringGroupWrapper final : public SimpleUnknownImp1<IKVDXMLStringGroup, 0> {
public:
    KVDXMLStringGroupWrapper(NSBundle* bundle, const KVDXMLStringGroupKey& key) : mBundle(bundle), mKey(key) {}

    HRESULT GetResourceString(uint32_t flags, long index, IAutoKVDString** out) override;

private:
    NSBundle* mBundle;
    KVDXMLStringGroupKey mKey;
};
