// Class objects of the channel calculations a user can put on a channel, and of their settings
// records. Both live from static construction to process exit and link themselves into the
// class-object list, which registers them with the host.
#pragma once

#include <atomic>

#include "CalcCategories.h"
#include "IChannelCalc.h"
#include "IPersistClassObject.h"
#include "foundation/CAFClassObject.h"
#include "foundation/KVDString.h"
#include "foundation/UnknownImp.h"

class CalcClassBase : public KVD::StaticUnknown<KVD::Answers<ICalculationClass, ICAFClassObject>>,
                      public CAFClassObject {
public:
    // One static record per calculation, read by its class object and its settings class.
    struct Traits {
        KVD::String name;
        KVD::String description;
        long attributes;
        const _IID* guid;
        uint32_t classSubId;     // the low 16 bits of the calculation's type id
        uint32_t settingsSubId;  // the low 16 bits of the settings class's type id
        std::atomic<TCAFId> typeId{0};
        std::atomic<TCAFId> settingsId{0};

        // The GUID's dynamic id shifted left by 16, or'ed with the sub-id; asked once.
        TCAFId GetTypeId();
        TCAFId GetSettingsId();
    };

    explicit CalcClassBase(Traits& traits) : mTraits(traits), mName(traits.name), mDescription(traits.description) {}

    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    // 0 for CATID_CHANNELCALCULATIONS (by address or by value), 0xF8004001 otherwise.
    HRESULT IsInCategoryHR(const _IID* category) override;
    HRESULT GetName(IAutoKVDString** out) override;
    HRESULT GetDescription(IAutoKVDString** out) override;
    HRESULT GetAttributes(long* out) override;

    IUnknown* GetInterface() override { return static_cast<ICalculationClass*>(this); }
    Traits& GetTraits() const { return mTraits; }

private:
    Traits& mTraits;
    KVD::String mName;
    KVD::String mDescription;
};

// The class object of a calculation's settings record: named after the calculation with
// "Settings" appended, counted, and deleted by its last release.
class CalcSettingClassBase : public KVD::CountedUnknown<KVD::Answers<IPersistClassObject, ICAFClassObject>>,
                             public CAFClassObject {
public:
    explicit CalcSettingClassBase(CalcClassBase::Traits& traits);

    HRESULT GetTypeId(TCAFId* out) override;
    HRESULT GetCategory(const _IID** out) override;
    HRESULT GetObjectName(IAutoKVDString** out) override;
    // 0 for CATID_CHANNELCALCULATIONSETTINGS (by address or by value), 0xF8004001 otherwise.
    HRESULT IsInCategoryHR(const _IID* category) override;

    IUnknown* GetInterface() override { return static_cast<IPersistClassObject*>(this); }

private:
    CalcClassBase::Traits& mTraits;
    KVD::String mName;
};

