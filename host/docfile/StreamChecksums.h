// The checksums of a document file: the CRC-32 and length of every other stream in it, by its
// path of storage names, kept in a stream of their own. Written last at save and verified
// first at open, they turn any change to a stream, any stream lost and any stream added into
// a reported damage rather than a document that opens with less or other than was saved.
// Stored form, little-endian: a 32-bit count; for each stream a 32-bit byte length and the
// UTF-8 path ("Calculations/Channel 2"), its 64-bit length and its CRC-32; then the CRC-32
// of all that precedes.
#pragma once

#include <stdexcept>

#include "IStorage.h"

namespace Host::StreamChecksums {

// The name of the checksums' own stream, in the root storage.
inline constexpr const wchar_t* kStreamName = L"Checksums";

// Writes the checksums of every stream under root. Throws std::runtime_error when a stream
// cannot be read or the checksums cannot be written.
void Write(IStorage* root);
// Throws std::runtime_error, saying "damaged: " and what, when the checksums are missing or
// do not match the streams.
void Verify(IStorage* root);

}  // namespace Host::StreamChecksums
