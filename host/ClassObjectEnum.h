// An enumerator over a snapshot of class objects, each held with one reference.
#pragma once

#include <atomic>
#include <vector>

#include "IFramework.h"

namespace Host {

class ClassObjectEnum : public IEnumClassObjects {
public:
    // Takes a reference on each object; hands out the enumerator with one reference.
    static IEnumClassObjects* Create(const std::vector<ICAFClassObject*>& objects);

    uint32_t AddRef() override;
    uint32_t Release() override;
    HRESULT QueryInterface(const _IID& iid, void** out) override;
    HRESULT Next(uint32_t count, ICAFClassObject** out, uint32_t* delivered) override;
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumClassObjects** out) override;

private:
    explicit ClassObjectEnum(const std::vector<ICAFClassObject*>& objects);
    virtual ~ClassObjectEnum();

    std::atomic<uint32_t> mRefs{0};
    std::vector<ICAFClassObject*> mObjects;
    size_t mCursor = 0;
};

}  // namespace Host
