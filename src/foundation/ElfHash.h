// The ELF (PJW) hash of wide texts, used for the keys of the formula tables.
#pragma once

// Hashes the text up to its NUL starting from seed; an empty text answers the seed.
unsigned gElfHashStr(const wchar_t* text, unsigned seed);
