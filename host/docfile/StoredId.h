// Ids as a document file keeps them. A static id (bit 31 set) means the same in every process,
// but the high half of a dynamic id is only this process's number for a GUID: such an id is
// stored as the GUID and its index, and read back as the number the reading process gives that
// GUID. Stored form: a byte 0 and the id as it is, or a byte 1, the 16 bytes of the GUID and the
// index as a 16-bit word.
#pragma once

#include "KVDTypes.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"

namespace Host::StoredId {

void Write(KVD::BinOStream& out, TCAFId id);
// Marks the stream bad for a form it does not know.
TCAFId Read(KVD::BinIStream& in);

}  // namespace Host::StoredId
