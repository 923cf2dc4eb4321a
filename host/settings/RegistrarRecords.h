// The stored form of the settings registrar's keys and messages. A key: form, id, a, b, n, a
// flag and the value's interface id, the name. A message: id, flags, view id, whether it has a
// key (then the key), its signature and its values, strings as counted texts. Ids (a key's id,
// the two parts of an id-pair key, a message's id, the low half of its view id and its id
// parameters) are in the form of StoredId, so that another process reads them right.
#pragma once

#include "IMessage.h"
#include "ISettingsRegistrar.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"
#include "foundation/COMPtr.h"

namespace Host {
namespace RegistrarRecords {

void WriteKey(KVD::BinOStream& out, const ISettingsRegistrarKey* key);
// Null when the stream went bad.
KVD::COMPtr<ISettingsRegistrarKey> ReadKey(KVD::BinIStream& in);

void WriteMessage(KVD::BinOStream& out, const IMessage* message);
// Null when the stream went bad or the stored signature is not a valid one.
KVD::COMPtr<IMessage> ReadMessage(KVD::BinIStream& in);

}  // namespace RegistrarRecords
}  // namespace Host
