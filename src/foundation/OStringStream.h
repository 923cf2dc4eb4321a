// A wide output stream whose text is a KVD::String, taken without copying.
#pragma once

#include <ostream>

#include "foundation/StringStreamBuf.h"

namespace KVD {

namespace Detail {
// Holds the buffer so that it is made before the stream that writes into it.
struct StringStreamBufHolder {
    StringStreamBuf mBuf;
};
}  // namespace Detail

class OStringStream : private Detail::StringStreamBufHolder, public std::wostream {
public:
    OStringStream();
    OStringStream(const OStringStream&) = delete;
    OStringStream& operator=(const OStringStream&) = delete;

    // The text written so far (terminated and counted), shared with the stream's buffer.
    String str();
    StringStreamBuf* rdbuf() { return &mBuf; }
};

}  // namespace KVD
