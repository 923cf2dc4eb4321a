#include "calc/EEH3ParamsBase.h"

namespace EEH3 {

void ParamsBase::setSettings(std::wistream&) {}

void ParamsBase::getSettings(KVD::OStringStream&) const {}

void ParamsBase::setSources(long count, IUnknown** sources, IUnitName** units)
{
    ReleaseSources();
    for (long i = 0; i < count && sources != nullptr; ++i) {
        IUnitName* unit = units != nullptr ? units[i] : nullptr;
        KVD::COMPtr<IEnumEventEx> events = KVD::com_cast(sources[i]);
        if (events) {
            AddSource(std::make_unique<EventWrapper>(events.get(), mEventBatch), unit);
            continue;
        }
        KVD::COMPtr<IEnumFloatEx> samples = KVD::com_cast(sources[i]);
        AddSource(std::make_unique<FloatExWrapper>(samples.get()), unit);
    }
}

void ParamsBase::AddSource(std::unique_ptr<eeh_SourceEnum> source, IUnitName* unit)
{
    mSources.push_back(std::move(source));
    mUnits.emplace_back(unit);
}

void ParamsBase::ReleaseSources()
{
    mSources.clear();
    mUnits.clear();
}

}  // namespace EEH3
