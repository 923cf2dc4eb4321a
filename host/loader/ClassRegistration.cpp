#include "host/loader/ClassRegistration.h"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <vector>

#include "FrameworkIds.h"
#include "ICustomDocument.h"
#include "IDocView.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "host/framework/Framework.h"

namespace Host {
namespace {

// The class objects of the category, in registration order.
std::vector<KVD::COMPtr<ICAFClassObject>> InCategory(const _IID& category)
{
    std::vector<KVD::COMPtr<ICAFClassObject>> found;
    KVD::COMPtr<IEnumClassObjects> classes;
    if (Framework* framework = Framework::Instance())
        framework->EnumClassObjectsInCategory(&category, classes.Set());
    ICAFClassObject* next = nullptr;
    while (classes != nullptr && classes->Next(1, &next, nullptr) == KVD_S_OK) {
        found.emplace_back(next);
        next->Release();
    }
    return found;
}

// Registers a class once; the reference kept means that no other class takes its address.
bool FirstTime(IUnknown* cls)
{
    static std::vector<KVD::COMPtr<IUnknown>> registered;
    if (std::find(registered.begin(), registered.end(), cls) != registered.end())
        return false;
    registered.emplace_back(cls);
    return true;
}

}  // namespace

uint32_t RegisterDocumentAndViewClasses()
{
    uint32_t count = 0;
    KVD::COMPtr<ICustomDocClass> lastDocClass;
    for (const auto& object : InCategory(CATID_OrrelChildDocClass)) {
        KVD::COMPtr<ICustomDocClass> cls(KVD::com_cast(object.get()));
        if (cls == nullptr)
            continue;
        lastDocClass = cls;
        if (!FirstTime(cls))
            continue;
        KVD::COMPtr<IDocumentClass> hostSide(KVD::com_cast(cls.get()));
        cls->OnRegister(hostSide);
        ++count;
    }
    for (const auto& object : InCategory(CATID_OrrelViewClass)) {
        KVD::COMPtr<IDocViewClass> cls(KVD::com_cast(object.get()));
        if (cls == nullptr || !FirstTime(cls))
            continue;
        cls->OnRegister(lastDocClass);
        ++count;
    }
    return count;
}

KVD::COMPtr<ICAFClassObject> FindClassObject(const _IID& category, const std::string& name, bool ignoreCase)
{
    for (const KVD::COMPtr<ICAFClassObject>& cls : InCategory(category)) {
        KVD::String found;
        cls->GetObjectName(KVD::String::Setter(found));
        const std::string text = KVD::ToU8String(found);
        if (ignoreCase ? boost::algorithm::iequals(text, name) : text == name)
            return cls;
    }
    return nullptr;
}

}  // namespace Host
