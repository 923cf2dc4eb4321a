// Settings keys: a key of the host's settings registrar, made by the host's key class from an
// id and one of five combinations of further parts. A message sent with a key is stored under
// it as well as delivered; what is stored under a key is replayed into its handler later.
#pragma once

#include "ISettingsRegistrar.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"

// A view's id: bits 0-31 the view class's type id, 32-47 the view number, 48-63 the instance.
typedef uint64_t ViewId;
typedef ViewId WindowId;

class SRKey {
public:
    SRKey(TCAFId id, const _IID* iid);
    SRKey(TCAFId id, unsigned int n, const _IID* iid);
    // The third form, two ids and an index. CAFId is an unsigned int, so this form cannot be a
    // constructor beside the fifth.
    static SRKey IdPair(CAFId a, CAFId b, unsigned int n, const _IID* iid);
    SRKey(TCAFId id, const KVD::String& name, const _IID* iid);
    SRKey(TCAFId id, unsigned int a, unsigned int b, const _IID* iid);

    // The host key, borrowed; null when the host could not make it.
    ISettingsRegistrarKey* GetKey() const { return mKey.get(); }

private:
    SRKey() = default;
    static ISRKeyClass* KeyClass();

    KVD::COMPtr<ISettingsRegistrarKey> mKey;
};

// The key of a window's position (or of another message about a window): the message id with
// the two halves of the window's id.
class WindowKey : public SRKey {
public:
    WindowKey(CAFId messageId, WindowId id);
};
