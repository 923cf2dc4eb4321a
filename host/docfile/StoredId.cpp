#include "host/docfile/StoredId.h"

#include "host/framework/Framework.h"

namespace Host::StoredId {
namespace {

constexpr uint8_t kAsIs = 0;
constexpr uint8_t kByGuid = 1;

bool IsDynamic(TCAFId id) { return (id & 0x80000000u) == 0 && (id >> 16) != 0; }

}  // namespace

void Write(KVD::BinOStream& out, TCAFId id)
{
    _IID guid{};
    Framework* framework = Framework::Instance();
    if (!IsDynamic(id) || framework == nullptr || framework->GetGuid(uint16_t(id >> 16), &guid) != KVD_S_OK) {
        out << kAsIs << uint32_t(id);
        return;
    }
    out << kByGuid;
    out.WriteRaw(&guid, sizeof guid);
    out << uint16_t(id & 0xFFFF);
}

TCAFId Read(KVD::BinIStream& in)
{
    uint8_t form = 0xFF;
    in >> form;
    if (form == kAsIs) {
        uint32_t id = 0;
        in >> id;
        return id;
    }
    _IID guid{};
    uint16_t index = 0;
    uint16_t dynId = 0;
    Framework* framework = Framework::Instance();
    if (form != kByGuid || !in.ReadRaw(&guid, sizeof guid) || !(in >> index).good() || framework == nullptr ||
        framework->GetDynId(guid, &dynId) != KVD_S_OK) {
        in.SetState(KVD::BinStream::kTransferFailed);
        return 0;
    }
    return TCAFId(dynId) << 16 | index;
}

}  // namespace Host::StoredId
