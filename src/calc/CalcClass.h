// The class object of calculation T and of T's settings record. T supplies:
//   T(ICalculationClass*, IOrrelSetCalcData*, TChannelId)   starting with one reference
//   static CalcClassBase::Traits sTraits;
//   static HRESULT sSettingsDialog(ICalculationClass*, HWND, IUnknown*, IAutoOrrelDoc*, IOrrelView*,
//                                  TChannelId, const IPersistObject*, IPersistObject**);
//   typename T::Settings: a persisted record (IPersistObject) with its defaults when made.
#pragma once

#include "IBinInStream.h"
#include "IPersistObject.h"
#include "calc/CalcClassBase.h"

template <class T>
class CalcClass : public CalcClassBase {
public:
    class SettingsClass : public CalcSettingClassBase {
    public:
        using CalcSettingClassBase::CalcSettingClassBase;

        // A record with its defaults; out holds its only reference.
        HRESULT CreateObject(IUnknown*, const _IID& iid, IUnknown** out) override
        {
            if (out == nullptr)
                return KVD_E_NULLOUT;
            *out = nullptr;
            return KVD::MakeCounted<typename T::Settings>()->QueryInterface(iid, reinterpret_cast<void**>(out));
        }

        // The record read from the stream; handed out even when the read fails, whose result
        // is answered.
        HRESULT CreateStreamedObject(TCAFId, IBinInStream* in, IUnknown** out) override
        {
            if (out == nullptr)
                return KVD_E_NULLOUT;
            auto settings = KVD::MakeCounted<typename T::Settings>();
            const HRESULT hr = in != nullptr ? settings->Read(in) : KVD_E_POINTER;
            *out = settings.Forget();
            return hr;
        }
    };

    // Links itself into the class-object list, then its settings class right after it.
    explicit CalcClass(Traits& traits) : CalcClassBase(traits), mSettingsClass(KVD::MakeCounted<SettingsClass>(traits))
    {
    }

    HRESULT SettingsDialog(HWND parent, IUnknown* context, IAutoOrrelDoc* doc, IOrrelView* view, TChannelId channel,
                           const IPersistObject* current, IPersistObject** result) override
    {
        return T::sSettingsDialog(this, parent, context, doc, view, channel, current, result);
    }

    // The calculation of the channel over the data, as the host's face of it.
    HRESULT Create(TChannelId channel, IOrrelSetCalcData* data, ICalculation** out) override
    {
        if (out == nullptr)
            return KVD_E_NULLOUT;
        *out = nullptr;
        if (data == nullptr)
            return KVD_E_BADSTATE;
        // A calculation is born holding its first reference.
        const auto calculation = KVD::COMPtr<T>::Take(new T(this, data, channel));
        return calculation->QueryInterface(IID_ICalculation, reinterpret_cast<void**>(out));
    }

    SettingsClass* GetSettingsClass() const { return mSettingsClass.get(); }

private:
    KVD::COMPtr<SettingsClass> mSettingsClass;
};
