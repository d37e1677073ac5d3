// Windows programs seen from inside: the names a DLL exports and imports, and a call made the
// way a __stdcall caller makes it, to see that the callee removes exactly its arguments.
#ifndef TAVIK_TESTS_SUPPORT_PE_IMAGE_H
#define TAVIK_TESTS_SUPPORT_PE_IMAGE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavik_test {

inline const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

inline std::vector<std::string> ExportNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& dir =
        NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(exports->NumberOfNames, exports->NumberOfFunctions) << "no exports by ordinal only";
    return result;
}

inline std::vector<std::string> ImportedDlls(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& dir =
        NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> result;
    for (const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        result.push_back(name);
    }
    return result;
}

// Calls `fn` with `count` 32-bit arguments pushed right to left, as a __stdcall caller does,
// and answers how far the stack pointer moved across the call: 0 when the callee removed
// exactly its own arguments. The stack is put back either way.
inline int StackDelta(const void* fn, const uint32_t* args, int count, uint32_t* returned) {
    int delta;
    uint32_t eax;
    asm volatile(
        "mov %%esp, %%esi\n\t"
        "1:\n\t"
        "test %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%edi,%%ecx,4)\n\t"
        "dec %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%ebx\n\t"
        "mov %%esp, %%ecx\n\t"
        "sub %%esi, %%ecx\n\t"
        "mov %%esi, %%esp\n\t"
        : "=a"(eax), "=c"(delta)
        : "b"(fn), "D"(args), "c"(count)
        : "edx", "esi", "memory", "cc");
    *returned = eax;
    return delta;
}

}  // namespace tavik_test

#endif
