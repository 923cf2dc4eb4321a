#include "spirometry/SpTidalVolCalculation.h"

#include "foundation/cocoa/MessageBox.h"
#include "spirometry/SpiroDialogs.h"
#include "spirometry/SpiroIds.h"
#include "spirometry/SpiroText.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kTidalVolumeAttributes = 0x10000000;

TCAFId TidalVolEnumTypeId() { return TypeIdClass<&GUID_SpEnumObj, kTidalVolEnumSubId>::GetId(); }

}  // namespace

SpTidalVolCalculation::SpTidalVolCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData,
                                             TChannelId channel)
    : FormulaCalculation(calcClass, calcData, channel, TidalVolEnumTypeId(), kTidalVolumeAttributes,
                         L"Spirometry Tidal Volume", &VolumeUnit)
{
}

KVD::String SpTidalVolCalculation::VolumeUnit(const KVD::String& flowUnit)
{
    KVD::String unit = flowUnit;
    if (EndsWith(unit, L"/s"))
        unit = WithoutTail(unit, 2);
    if (EndsWith(unit, L"/min"))
        unit = WithoutTail(unit, 4);
    return unit;
}

HRESULT SpTidalVolCalculation::sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown*,
                                               IAutoOrrelDoc* doc, IOrrelView* view, TChannelId channel,
                                               const IPersistObject* current, IPersistObject** result)
{
    bool unbuildable = false;
    const HRESULT hr = RunSettingsDialog(
        calcClass, doc, view, channel, TidalVolEnumTypeId(), current, result,
        [parent, &unbuildable](int channel, IAutoOrrelDoc* doc, SpTidalVolSettings* copy,
                               const std::vector<KVD::String>& names) {
            const int answer = ShowSpTidalVolumeCalcDialog(parent, channel, doc, copy, names);
            // The dialog's formula for an expiratory-only flow needs the document's cycle
            // detection: without it the settings would keep a formula of other options.
            if (answer == kDialogAccepted && copy->mExpiratoryOnly && !copy->UpdateArithString(doc)) {
                unbuildable = true;
                return int(kDialogCancelled);
            }
            return answer;
        });
    if (unbuildable)
        KVD::CAFMessageBox(parent, CachedText<SpirometryStr::IDS_NO_CYCLIC_MEASUREMENTS>().c_str(), L"", KVD::kMbOk,
                           SpiroDocumentTypeId());
    return hr;
}

}  // namespace Spirometry
