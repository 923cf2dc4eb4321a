#include "foundation/OStringStream.h"

namespace KVD {

OStringStream::OStringStream() : std::wostream(&mBuf) {}

String OStringStream::str()
{
    mBuf.DoSetStringCount();
    return mBuf.GetString();
}

}  // namespace KVD
