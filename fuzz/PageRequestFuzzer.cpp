// libFuzzer target: any bytes a local client sends the page server (with stand-ins for the
// secret, a page and its key) are answered with success, or reach the host, only when they
// carry the secret and the key; and the server closes once the client has stopped sending.
#include <cstdio>
#include <cstdlib>

#include "platform/fuzz/PageRequestFuzzEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string broken = PlatformFuzz::CheckPageRequest(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "page server: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
