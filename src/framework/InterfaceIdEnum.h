// An enumerator over a copy of a list of interface ids.
#pragma once

#include <vector>

#include "IDocView.h"
#include "foundation/UnknownImp.h"

class InterfaceIdEnum final : public SimpleUnknownImp1<IEnumInterface, 0> {
public:
    // A new enumerator with one reference.
    static IEnumInterface* Create(const _IID* const* ids, unsigned int count);

    // Next(1, out, null) is allowed; other counts need the delivered count.
    HRESULT Next(uint32_t count, _IID* out, uint32_t* delivered) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumInterface** out) override;

private:
    explicit InterfaceIdEnum(std::vector<_IID> ids) : mIds(std::move(ids)) {}

    std::vector<_IID> mIds;
    size_t mCursor = 0;
};
