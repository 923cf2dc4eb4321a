#include "foundation/BundleImage.h"

#include "cf/Bundle.h"
#include "foundation/StringResources.h"

AppKit::NamedImage KVDGetMyBundleImage(const std::string& name)
{
    NSBundle* bundle = KVDGetMyBundle();
    return AppKit::NamedImage::Find(name, bundle != nullptr ? std::vector<std::string>{bundle->BundlePath()}
                                                            : std::vector<std::string>{});
}
