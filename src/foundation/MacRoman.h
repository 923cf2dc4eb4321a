// The Mac Roman 8-bit character set, in which older texts of the system were stored.
#pragma once

namespace KVD {

wchar_t MacRomanToWide(unsigned char byte);

}  // namespace KVD
