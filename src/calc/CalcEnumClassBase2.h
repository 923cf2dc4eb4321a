// Class objects of the calculation enumerators: one static instance per kind describes the
// kind to the host (type id, category, name, description) and creates its instances.
#pragma once

#include <atomic>

#include "ICalcEnum.h"
#include "ResultCodes.h"
#include "ICalcEnumClass2.h"
#include "calc/CalcEnumIdentity.h"
#include "foundation/CAFClassObject.h"
#include "foundation/UnknownImp.h"

namespace CalcEnums {

class CalcEnumClassBase2 : public KVD::StaticUnknown<KVD::Answers<ICalcEnumClass2, ICAFClassObject>>,
                           public CAFClassObject {
public:
    // The static description of one kind.
    struct Traits {
        const wchar_t* name;
        const wchar_t* description;
        const _IID* guid;
        uint32_t index;  // the low 16 bits of the type id
        std::atomic<TCAFId> typeId{0};

        // The GUID's dynamic id shifted left by 16, or'ed with the index; asked once.
        TCAFId GetTypeId();
    };

    explicit CalcEnumClassBase2(Traits* traits) : mTraits(traits) {}

    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    // 0 for CATID_CALCENUMS (by address or by value), 0xF8004001 otherwise.
    HRESULT IsInCategoryHR(const _IID* category) override;
    HRESULT GetName(IAutoKVDString** out) override;
    HRESULT GetDescription(IAutoKVDString** out) override;

    IUnknown* GetInterface() override { return static_cast<ICalcEnumClass2*>(this); }

protected:
    Traits* mTraits;
};

// The class object of enumerator class T, constructed as T(ICalcEnumClass2*, IOrrelData2*).
template <class T>
class CalcEnumClass2 : public CalcEnumClassBase2 {
public:
    using CalcEnumClassBase2::CalcEnumClassBase2;

    HRESULT GetAttributes(long* out) override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        *out = 0;
        return KVD_S_OK;
    }
    HRESULT SettingsDialog(HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*, TChannelId, const IAutoKVDString*,
                           IAutoKVDString**) override
    {
        return KVD_E_NOTIMPL;
    }
    HRESULT Create(IOrrelData2* data, ICalcEnum** out) override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        *out = (new T(this, data))->CalcFace();
        return KVD_S_OK;
    }
    // With an outer object the instance is aggregated in it and inner receives its
    // non-delegating IUnknown.
    HRESULT CreateEx(IUnknown* outer, IOrrelData2* data, IUnknown** inner) override
    {
        if (inner == nullptr)
            return KVD_E_NULLOUT;
        *inner = HandOutInstance(new T(this, data), outer);
        return KVD_S_OK;
    }
};

}  // namespace CalcEnums
