// An enumerator over a snapshot of objects, each held with a reference.
#pragma once

#include <vector>

#include "IEnumUnknown.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"

namespace Host {

class UnknownEnum final : public SimpleUnknownImp1<IEnumUnknown, 0> {
public:
    // A new enumerator with one reference.
    static IEnumUnknown* Create(std::vector<KVD::COMPtr<IUnknown>> objects);

    // Next(1, out, null) is allowed; any other count needs the delivered count.
    HRESULT Next(uint32_t count, IUnknown** out, uint32_t* delivered) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumUnknown** out) override;

private:
    explicit UnknownEnum(std::vector<KVD::COMPtr<IUnknown>> objects) : mObjects(std::move(objects)) {}

    std::vector<KVD::COMPtr<IUnknown>> mObjects;
    size_t mCursor = 0;
};

}  // namespace Host
