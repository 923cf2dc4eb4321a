#include "spirometry/SpMinVentCalculation.h"

#include "CompositeCalcEnumClass.h"
#include "foundation/DynamicId.h"
#include "spirometry/SpiroDialogs.h"

namespace Spirometry {

namespace {

constexpr CalcInstanceAttributes kMinuteVentilationAttributes = 0x11000000;

TCAFId CompositeTypeId() { return TypeIdClass<&GUID_CompositeCalcEnumObj, 0>::GetId(); }

}  // namespace

SpMinVentCalculation::SpMinVentCalculation(ICalculationClass* calcClass, IOrrelSetCalcData* calcData,
                                           TChannelId channel)
    : FormulaCalculation(calcClass, calcData, channel, CompositeTypeId(), kMinuteVentilationAttributes,
                         L"Spirometry Minute Ventilation", &PerMinuteUnit)
{
}

KVD::String SpMinVentCalculation::PerMinuteUnit(const KVD::String& flowUnit)
{
    if (!EndsWith(flowUnit, L"/s"))
        return flowUnit;
    KVD::String unit = WithoutTail(flowUnit, 1);
    unit += L"min";
    return unit;
}

HRESULT SpMinVentCalculation::sSettingsDialog(ICalculationClass* calcClass, HWND parent, IUnknown*,
                                              IAutoOrrelDoc* doc, IOrrelView* view, TChannelId channel,
                                              const IPersistObject* current, IPersistObject** result)
{
    return RunSettingsDialog(calcClass, doc, view, channel, CompositeTypeId(), current, result,
                             [parent](int channel, IAutoOrrelDoc* doc, SpMinVentSettings* copy,
                                      const std::vector<KVD::String>& names) {
                                 return ShowSpMinVentCalcDialog(parent, channel, doc, copy, names);
                             });
}

}  // namespace Spirometry
