// The page-script files carried as text, generated at build time from the script folder (and
// jQuery) in the page's load order.
#pragma once

namespace Lumo {

constexpr int kFileTableSlots = 683;

// One row per file: its name, its text as NUL-terminated pieces, a null slot, then null slots
// to the end of the row. A row whose name is null ends the table.
extern const char* const kFileTable[][kFileTableSlots];

}  // namespace Lumo
