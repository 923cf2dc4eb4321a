// The messages a document's settings registrar stores, as a document file keeps them: in store
// order, each with its key, so that replaying them after a reopen ends in the same state.
// Objects that are not messages are not kept: only the plug-in could recreate them.
#pragma once

#include "ISettingsRegistrar.h"
#include "foundation/BinIStream.h"
#include "foundation/BinOStream.h"

namespace Host::RegistrarRecord {

void Write(const ISettingsRegistrar& registrar, KVD::BinOStream& out);
// Stores each message read under its key; false when the record is damaged (what was read
// before the damage stays stored).
bool Read(ISettingsRegistrar& registrar, KVD::BinIStream& in);

}  // namespace Host::RegistrarRecord
