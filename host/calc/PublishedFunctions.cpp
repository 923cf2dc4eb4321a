#include "host/calc/PublishedFunctions.h"

#include <deque>
#include <mutex>

#include "host/calc/CycleFinder.h"
#include "host/calc/HostCalcClasses.h"
#include "host/framework/Framework.h"

namespace Host {
namespace {

constexpr KVDEnumDataType kSamples = 0x80000000;
constexpr KVDEnumDataType kEvents = 0x40000000;

// decimatesec(source, seconds): one value per interval of the given length, its mean.
FormulaFunctionInfo DecimateSec()
{
    return {L"DecimateSec",
            {L"DecimateSecs"},
            &GUID_HostFormulaFunctions,
            kDecimateSecSubId,
            2,
            1,
            -1,
            0,
            kSamples,
            {{L"Source", 0, 0, kSamples}, {L"Interval (s)", 1e-6, 604800, 0}},
            HostCalc::DecimateSecClass()};
}

// EventInterp(events [, mode]): a sampled channel made from the values of an event stream,
// each held until the next event (mode 0) or joined by straight lines (mode 1).
FormulaFunctionInfo EventInterp()
{
    return {L"EventInterp",
            {L"EventInterpolate"},
            &GUID_HostFormulaFunctions,
            kEventInterpSubId,
            2,
            1,
            -1,
            0,
            kSamples,
            {{L"Event Source", 0, 0, kEvents}, {L"Mode", 0, 1, 0}},
            HostCalc::EventInterpClass()};
}

struct Catalogue {
    std::mutex lock;
    std::deque<FormulaFunctionInfo> pending;
    std::deque<FormulaFunctionClass> published;  // stable addresses for the factory
    std::deque<KVD::COMPtr<ICAFClassObject>> pendingObjects;
};

Catalogue& TheCatalogue()
{
    static Catalogue* catalogue = [] {
        auto* made = new Catalogue;  // never destroyed: the factory and the formula tables keep pointers
        made->pending.push_back(DecimateSec());
        made->pending.push_back(EventInterp());
        made->pendingObjects.push_back(HostCalc::CycleStartsClass());
        return made;
    }();
    return *catalogue;
}

}  // namespace

bool AddFormulaFunction(FormulaFunctionInfo info)
{
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard<std::mutex> guard(catalogue.lock);
    catalogue.pending.push_back(std::move(info));
    return true;
}

bool AddFormulaFunctionClass(ICAFClassObject* classObject)
{
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard<std::mutex> guard(catalogue.lock);
    catalogue.pendingObjects.emplace_back(classObject);
    return true;
}

void PublishFormulaFunctions()
{
    Catalogue& catalogue = TheCatalogue();
    std::lock_guard<std::mutex> guard(catalogue.lock);
    Framework* framework = Framework::Instance();
    if (framework == nullptr)
        return;
    while (!catalogue.pending.empty()) {
        catalogue.published.emplace_back(std::move(catalogue.pending.front()));
        catalogue.pending.pop_front();
        framework->RegisterClassObject(static_cast<ICAFClassObject*>(&catalogue.published.back()));
    }
    while (!catalogue.pendingObjects.empty()) {
        framework->RegisterClassObject(catalogue.pendingObjects.front());
        catalogue.pendingObjects.pop_front();
    }
}

}  // namespace Host
