#include "foundation/RefCount.h"

#include <cstdio>
#include <cstdlib>

namespace KVD::detail {

void RefCountFault(const char* what, const void* count)
{
    std::fprintf(stderr, "reference count %p: %s\n", count, what);
    std::abort();
}

}  // namespace KVD::detail
