#include "shell/window_module.h"

#include <dlfcn.h>
#include <elf.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace trelok {

namespace {

// Whether a module file holds all its header declares: the parts mapped
// into memory and the table of sections at its end. A file cut short (a
// copy or an unpacking broken off) would be mapped all the same and stop
// the program with a bus error where its missing pages are touched. What
// is not a 64-bit ELF file is left to the loader to name.
bool cutShort(const std::filesystem::path &module)
{
    std::ifstream file(module, std::ios::binary);
    Elf64_Ehdr header{};
    if (!file.read(reinterpret_cast<char *>(&header), sizeof header)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0
        || header.e_ident[EI_CLASS] != ELFCLASS64)
        return false;
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(module, failed);
    if (failed)
        return false;
    const auto within = [size](std::uintmax_t offset, std::uintmax_t length) {
        return offset <= size && length <= size - offset;
    };
    if (!within(header.e_shoff, std::uintmax_t(header.e_shnum) * header.e_shentsize)
        || !within(header.e_phoff, std::uintmax_t(header.e_phnum) * sizeof(Elf64_Phdr))
        || header.e_phentsize != sizeof(Elf64_Phdr))
        return true;
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment{};
        file.seekg(std::streamoff(header.e_phoff + i * sizeof segment));
        if (!file.read(reinterpret_cast<char *>(&segment), sizeof segment))
            return true;
        if (segment.p_type == PT_LOAD && !within(segment.p_offset, segment.p_filesz))
            return true;
    }
    return false;
}

// The loader's reason, without the file's name it begins with.
std::string loaderReason(const std::filesystem::path &module)
{
    const char *said = dlerror();
    std::string why = said ? said : "";
    const std::string named = module.string() + ": ";
    if (why.starts_with(named))
        why.erase(0, named.size());
    return why;
}

} // namespace

int runWithWindows(int &argc, char **argv)
{
    // Where the module lies relative to the program, the same in the build
    // tree as when installed. Without the program's folder (no /proc) the
    // relative path would be taken from the current directory: refused.
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed || !program.is_absolute()) {
        std::fputs("trelok: Prozorcite na programata ne mozat da se vcitaat: "
                   "papkata na programata ne moze da se najde (/proc/self/exe)\n",
                   stderr);
        return 1;
    }
    const std::filesystem::path module =
        (program.parent_path() / TRELOK_WINDOWS_MODULE).lexically_normal();
    std::string why;
    WindowsMain entry = nullptr;
    if (cutShort(module)) {
        why = "datotekata e skratena";
    } else if (void *handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        entry = reinterpret_cast<WindowsMain>(dlsym(handle, windowsMainSymbol));
        if (!entry)
            why = loaderReason(module);
    } else {
        why = loaderReason(module);
    }
    if (!entry) {
        std::fprintf(stderr, "trelok: Prozorcite na programata ne mozat da se vcitaat od %s: %s\n",
                     module.c_str(), why.c_str());
        return 1;
    }
    // The module stays loaded to the end: objects it made live until exit.
    return entry(argc, argv);
}

} // namespace trelok
