// What the flow and volume calculations share over the channel-calculation base: their
// settings record, applying it (the enumerator, its source, the data scaling of the record's
// range, the settings text, the change notice), the host's record and settings requests, and
// the settings dialog run on a copy that is auto-scaled when accepted.
//
// Settings: a persisted record with SetFrom, IsEqual, SetCalculationChannel, MakeSourceInfos,
// GetSettingStr and the fields mRangeTop, mRangeBottom and mUnitIndex.
#pragma once

#include <cmath>
#include <vector>

#include "IPersistObject.h"
#include "foundation/ArrayCtor.h"
#include "foundation/units/UnitPrefix.h"
#include "framework/ChannelCalcBase.h"
#include "spirometry/DlgCommon.h"
#include "spirometry/SpiroDialogs.h"

namespace Spirometry {

template <class Settings>
class SpiroCalculation : public ChannelCalcBase {
public:
    // KVD_S_FALSE when unchanged and not forced; else the host's answer to the change notice.
    HRESULT Configure(const IPersistObject* settings, AutoBool force) override
    {
        const Settings* given = As(settings);
        if (given == nullptr)
            return KVD_E_BADSTATE;
        // The caller's record stays as it is: the channel is set on the copy taken.
        Settings applied(given);
        applied.SetCalculationChannel(mChannel.channel);
        if (force == kAutoFalse && applied.IsEqual(mSettings))
            return KVD_S_FALSE;
        mSettings->SetFrom(&applied);
        if (mCalcEnumHost == nullptr)
            return KVD_E_BADSTATE;
        if (force != kAutoFalse)
            SetCalcEnums(mEnumClassId);

        CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
        mSettings->MakeSourceInfos(mChannel.channel, sources);
        double top = mSettings->mRangeTop;
        const double bottom = mSettings->mRangeBottom;
        if (std::fabs(top - bottom) < kNarrowestRange)
            top += 1.0;
        MakeUnits(float(top), float(bottom), mSettings->mUnitIndex, &mSourceScaling, false);

        mCalcEnumHost->SetSources(long(sources.GetCount()), sources.begin(), 0);
        if (mHandsScalingToHost)
            mCalcEnumHost->SetDataScaling(&mSourceScaling);
        mCalcEnumHost->SetSettingsText(mSettings->GetSettingStr().AsIAutoKVDString(), nullptr);
        KVD::COMPtr<IOffLineData> offLine = KVD::com_cast(mCalcEnumHost);
        return mCalcData->ChannelChanged(mChannel, kUpdateAll, offLine);
    }

    // The units of a record, worked out by the calculation.
    virtual HRESULT GetUnits(int record, long, IUnitsConversion** units, AutoBool* changed) = 0;

    HRESULT GetRecordCreationInfo(int record, TChannelId, IUnitsConversion** units, TTickToSample* map, int* length,
                                  CalcRecCreationFlags* flags) override
    {
        GetUnits(record, 0, units, nullptr);
        if (map != nullptr)
            *map = TTickToSample{1, 0};
        if (length != nullptr) {
            uint32_t ticks = 0;
            if (mRecordData != nullptr)
                mRecordData->GetRecordTicks(record, &ticks);
            *length = int(ticks);
        }
        if (flags != nullptr)
            *flags = 0;
        return KVD_S_OK;
    }

    HRESULT SetSettingsForAutoScale(uint32_t, const IPersistObject* settings) override
    {
        mSettings = KVD::COMPtr<Settings>(new Settings(As(settings)));
        return KVD_S_OK;
    }

    HRESULT GetSettings(IPersistObject** settings) const override
    {
        if (settings == nullptr)
            return KVD_E_NULLOUT;
        *settings = KVD::MakeCounted<Settings>(mSettings.get()).Forget();
        return KVD_S_OK;
    }

    HRESULT GetInstanceAttributes(CalcInstanceAttributes* attributes) const override
    {
        if (attributes == nullptr)
            return KVD_E_NULLOUT;
        *attributes = mAttributes;
        return KVD_S_OK;
    }

    HRESULT Clone(IOrrelSetCalcData*, IOffLineData** out) const override
    {
        if (out != nullptr)
            *out = nullptr;
        return KVD_E_NOTIMPL;
    }

    const Settings& CurrentSettings() const { return *mSettings; }
    const DataScaling& SourceScaling() const { return mSourceScaling; }

protected:
    // Ranges narrower than this are widened by one unit before the data scaling is made.
    static constexpr double kNarrowestRange = 1e-5;
    static constexpr double kStorageSteps = 64000.0;

    SpiroCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData, TChannelId channel, CAFId enumClassId,
                     CalcInstanceAttributes attributes, bool handsScalingToHost)
        : ChannelCalcBase(calcClass, calcData, channel),
          mSettings(new Settings()),
          mEnumClassId(enumClassId),
          mAttributes(attributes),
          mHandsScalingToHost(handsScalingToHost)
    {
        mSettings->SetCalculationChannel(channel.channel);
    }

    static const Settings* As(const IPersistObject* settings) { return dynamic_cast<const Settings*>(settings); }

    // The units conversion the host gets for the channel: its storage at the present step and
    // offset, in the unit given; the host shows the channel in the prefix (L/s as mL/s), the
    // samples themselves stay in the unit.
    void MakeUnitsConversion(const KVD::String& unit, UnitPrefix shownPrefix = kUnitPrefixNone)
    {
        const DataScaling storage{1.0 / mStep, -mOffset * mStep};
        mUnits.Clear();
        mCalcData->CreateUnitsConversion(&storage, unit.AsIAutoKVDString(), mUnits.Set());
        KVD::COMPtr<IUnitName> name;
        if (mUnits != nullptr)
            mUnits->GetUnitName(name.Set());
        if (name != nullptr)
            name->SetPrefix(shownPrefix);
    }

    // Shows the dialog on a copy of the current settings (the defaults without any); when the
    // user accepts, the copy takes the range its enumerator finds over the view's data and is
    // handed out. show(channel, document, copy, channel names) answers the dialog's answer.
    template <class Show>
    static HRESULT RunSettingsDialog(ICalculationClass* calcClass, IAutoOrrelDoc* doc, IOrrelView* view,
                                     TChannelId channel, CAFId enumClassId, const IPersistObject* current,
                                     IPersistObject** result, Show show)
    {
        if (result == nullptr)
            return KVD_E_NULLOUT;
        *result = nullptr;
        KVD::COMPtr<Settings> copy(new Settings(As(current)));
        copy->SetCalculationChannel(channel.channel);
        KVD::COMPtr<IRecordData> records;
        if (doc != nullptr)
            doc->GetRecordData(0, records.Set());
        if (show(channel.channel, doc, copy.get(), DlgCommon::GetChannelNames(doc, records, channel.channel)) ==
            kDialogCancelled)
            return KVD_S_FALSE;

        CArrayCtor<CalcEnums::CCalcEnumSourceInfo, true, true> sources;
        copy->MakeSourceInfos(channel.channel, sources);
        float top = 0.0f, bottom = 0.0f;
        if (sDoAutoScale(long(sources.GetCount()), sources.begin(), calcClass, enumClassId, copy,
                         copy->GetSettingStr(), doc, view, channel, &top, &bottom, true, false) == KVD_S_OK) {
            copy->mRangeTop = top;
            copy->mRangeBottom = bottom;
        }
        copy.GetOut(result);
        return KVD_S_OK;
    }

    KVD::COMPtr<Settings> mSettings;
    DataScaling mSourceScaling{1.0, 0.0};

private:
    CAFId mEnumClassId;
    CalcInstanceAttributes mAttributes;
    bool mHandsScalingToHost;
};

}  // namespace Spirometry
