#include "ElfSymbols.h"

#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace TestSupport {
namespace {

template <class T>
const T& At(const std::string& bytes, size_t offset)
{
    if (offset + sizeof(T) > bytes.size())
        throw std::runtime_error("truncated ELF file");
    return *reinterpret_cast<const T*>(bytes.data() + offset);
}

}  // namespace

std::vector<std::string> DefinedGlobalSymbols(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto& header = At<Elf64_Ehdr>(bytes, 0);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error(path + " is not a 64-bit ELF file");

    std::vector<std::string> names;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        const auto& section = At<Elf64_Shdr>(bytes, header.e_shoff + size_t(i) * header.e_shentsize);
        if (section.sh_type != SHT_DYNSYM)
            continue;
        const auto& strings = At<Elf64_Shdr>(bytes, header.e_shoff + size_t(section.sh_link) * header.e_shentsize);
        for (size_t off = 0; off + sizeof(Elf64_Sym) <= section.sh_size; off += sizeof(Elf64_Sym)) {
            const auto& sym = At<Elf64_Sym>(bytes, section.sh_offset + off);
            const unsigned bind = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK))
                continue;
            names.emplace_back(bytes.c_str() + strings.sh_offset + sym.st_name);
        }
    }
    return names;
}

}  // namespace TestSupport
