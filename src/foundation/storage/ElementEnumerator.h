// The enumerator of a storage's elements. It works on the list of elements as it was when it
// was made, and keeps the storage alive, so that later changes to the directory cannot pull
// records from under it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "IStorage.h"
#include "foundation/COMPtr.h"
#include "foundation/UnknownImp.h"
#include "foundation/storage/Element.h"

namespace KVDStg {

class KVDStorage;

class ElementEnumerator : public KVD::CountedUnknown<IEnumSTATSTG> {
public:
    // Made with KVD::MakeCounted.
    ElementEnumerator(KVDStorage* storage, std::vector<std::shared_ptr<Element>> elements);

    // Answers no interface: the enumerator is only ever handed out as itself.
    HRESULT QueryInterface(const _IID& iid, void** out) override;

    HRESULT Next(uint32_t count, STATSTG* records, uint32_t* fetched) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumSTATSTG** out) override;

private:
    ~ElementEnumerator() override;

    KVD::COMPtr<KVDStorage> mStorage;
    std::vector<std::shared_ptr<Element>> mElements;
    size_t mCurrent = 0;
};

}  // namespace KVDStg
