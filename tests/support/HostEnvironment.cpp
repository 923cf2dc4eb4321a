#include "support/HostEnvironment.h"

#include "host/calc/PublishedFunctions.h"
#include "host/framework/Framework.h"

namespace TestSupport {

void HostEnvironment::SetUp()
{
    Host::Framework::Install();
    // Before any test compiles a formula: the formula tables see only what is published then.
    Host::PublishFormulaFunctions();
}

}  // namespace TestSupport
