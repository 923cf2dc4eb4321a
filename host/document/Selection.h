// The selection of a host document: one range of positions, or none.
#pragma once

#include "IOrrelDocument.h"
#include "foundation/UnknownImp.h"

namespace Host {

class Selection final : public SimpleUnknownImp1<IRecordDataSelection, 0> {
public:
    // A new, empty selection with one reference.
    static Selection* Create();

    HRESULT SetRange(KVDPosition left, KVDPosition right) override;
    HRESULT Clear() override;
    KVD_RESERVED_SLOTS_NOTIMPL(5, 6)
    // KVD_S_FALSE (both positions unset) when nothing is selected.
    HRESULT GetRange(KVDPosition* left, KVDPosition* right) const override;
    KVD_RESERVED_SLOTS_NOTIMPL(8, 9)
    HRESULT HasSelection(AutoBool* has) const override;

private:
    Selection() = default;
    template <class T, class... Args>
    friend KVD::COMPtr<T> KVD::MakeCounted(Args&&...);

    bool mHas = false;
    KVDPosition mLeft{kNoPositionTick, kNoPositionRecord};
    KVDPosition mRight{kNoPositionTick, kNoPositionRecord};
};

}  // namespace Host
