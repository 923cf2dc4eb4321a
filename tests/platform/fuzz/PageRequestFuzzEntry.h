// What the page server must do with any bytes a local client sends: answer nothing with
// success, and run no call of the host, unless the request carries the process's secret (and,
// for a call, the page's key); close the connection once the client has stopped sending; and
// never wait on a file that is no regular file. The body of the page server's libFuzzer target
// (fuzz/), and what ctest replays its seed corpus through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace PlatformFuzz {

// Sends the bytes to the process's page server as one client and reads its answers until it
// closes the connection. In the bytes "@S" stands for the secret, "@P" for the number of a
// page whose document may name the files "data.txt" and "pipe" (a FIFO), "@K" for that page's
// key and "@H" for the server's host and port. The page's bridge "host" has a value method
// "Get" and a queued one, "Note". Answers the rule broken, or "".
std::string CheckPageRequest(const uint8_t* data, size_t size);

}  // namespace PlatformFuzz
