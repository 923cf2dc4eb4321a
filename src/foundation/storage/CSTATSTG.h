// A STATSTG that owns what a Stat call hands back (the name and the path) and frees it.
#pragma once

#include "IStream.h"

namespace KVD {

class CSTATSTG : public STATSTG {
public:
    CSTATSTG();
    ~CSTATSTG();
    CSTATSTG(const CSTATSTG&) = delete;
    CSTATSTG& operator=(const CSTATSTG&) = delete;

    // Frees what the record holds and hands it out to be filled again.
    STATSTG* Set();
};

}  // namespace KVD
