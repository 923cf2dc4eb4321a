#include "foundation/storage/CSTATSTG.h"

#include <cstdlib>

namespace KVD {

CSTATSTG::CSTATSTG() : STATSTG() {}

CSTATSTG::~CSTATSTG() { Set(); }

STATSTG* CSTATSTG::Set()
{
    std::free(pwcsName);
    pwcsName = nullptr;
    std::free(pathRef);
    pathRef = nullptr;
    return this;
}

}  // namespace KVD
