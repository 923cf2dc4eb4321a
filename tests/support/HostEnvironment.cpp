#include "support/HostEnvironment.h"

#include "host/Framework.h"

namespace TestSupport {

void HostEnvironment::SetUp()
{
    Host::Framework::Install();
}

}  // namespace TestSupport
