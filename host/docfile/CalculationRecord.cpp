#include "host/docfile/CalculationRecord.h"

#include <stdexcept>
#include <string>

#include "IPersistClassObject.h"
#include "IPersistObject.h"
#include "foundation/COMPtr.h"
#include "foundation/KVDString.h"
#include "foundation/ResultCodeText.h"
#include "host/docfile/StoredId.h"
#include "host/framework/Framework.h"

namespace Host::CalculationRecord {
namespace {

constexpr uint32_t kVersion = 1;

std::string CodeText(HRESULT hr) { return KVD::ToU8String(KVD::ResultCodeText(hr)); }

[[noreturn]] void Damaged(int channel)
{
    throw std::runtime_error("the calculation of channel " + std::to_string(channel + 1) + " is damaged");
}

// Settings classes of the plug-in read their records themselves; the host's own are created
// with their defaults and then read.
KVD::COMPtr<IPersistObject> ReadSettings(TCAFId id, KVD::BinIStream& in, HRESULT& read)
{
    Framework* factory = Framework::Instance();
    KVD::COMPtr<IPersistClassObject> cls;
    factory->GetClassObject(id, IID_IPersistClassObject, cls.Set());
    if (cls != nullptr) {
        KVD::COMPtr<IUnknown> made;
        read = cls->CreateStreamedObject(id, &in, made.Set());
        return KVD::COMPtr<IPersistObject>(KVD::com_cast(made.get()));
    }
    KVD::COMPtr<IPersistObject> settings;
    factory->CreateObject(id, nullptr, IID_IPersistObject, settings.Set());
    read = settings != nullptr ? settings->Read(&in) : KVD_E_BADSTATE;
    return settings;
}

}  // namespace

bool Write(ICalculation& calculation, int channel, KVD::BinOStream& out)
{
    KVD::COMPtr<ICalculationClass> cls;
    KVD::COMPtr<IPersistObject> settings;
    calculation.GetCalculationClass(cls.Set());
    calculation.GetSettings(settings.Set());
    TCAFId classId = 0, settingsId = 0;
    if (cls == nullptr || settings == nullptr || cls->GetTypeId(&classId) != KVD_S_OK ||
        settings->GetObjId(&settingsId) != KVD_S_OK)
        return false;
    KVD::String name;
    cls->GetName(KVD::String::Setter(name));
    out << kVersion << uint32_t(channel);
    StoredId::Write(out, classId);
    out << name;
    StoredId::Write(out, settingsId);
    settings->Write(&out);
    return true;
}

void Read(IOrrelSetCalcData& data, int channelCount, KVD::BinIStream& in)
{
    uint32_t version = 0, channel = 0;
    in >> version >> channel;
    const TCAFId classId = StoredId::Read(in);
    KVD::String name;
    in >> name;
    const TCAFId settingsId = StoredId::Read(in);
    if (!in.good() || version != kVersion || channel >= uint32_t(channelCount))
        Damaged(int(channel));

    KVD::COMPtr<ICalculationClass> cls;
    Framework::Instance()->GetClassObject(classId, IID_ICalculationClass, cls.Set());
    if (cls == nullptr)
        throw std::runtime_error("the calculation class \"" + KVD::ToU8String(name) + "\" of channel " +
                                 std::to_string(channel + 1) + " is not registered");
    HRESULT hr = KVD_S_OK;
    KVD::COMPtr<IPersistObject> settings = ReadSettings(settingsId, in, hr);
    if (settings == nullptr || hr != KVD_S_OK || !in.good())
        Damaged(int(channel));

    const TChannelId id{int32_t(channel), 0};
    KVD::COMPtr<ICalculation> calculation;
    hr = cls->Create(id, &data, calculation.Set());
    if (calculation != nullptr)
        hr = calculation->Configure(settings, kAutoTrue);
    if (calculation == nullptr || (hr != KVD_S_OK && hr != KVD_S_FALSE))
        throw std::runtime_error("the calculation \"" + KVD::ToU8String(name) + "\" of channel " +
                                 std::to_string(channel + 1) + " refuses its settings: " + CodeText(hr));
    data.SetCalculation(id, calculation);
}

}  // namespace Host::CalculationRecord
