// Windows programs seen from inside: the names a DLL exports and imports, and a call made the
// way a C caller of the platform makes it (on 32-bit Windows, a __stdcall caller: the test
// sees that the callee removes exactly its arguments).
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
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
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
    for (const auto* d =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        result.push_back(name);
    }
    return result;
}

#if defined(__i386__)
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
#endif

// What a call of an export by its address gave: the low 32 bits of the answer (the exports
// answer 32-bit values; on x86-64 the upper half of the register is left undefined), and on
// 32-bit Windows how far the stack pointer moved (0: the callee removed exactly its own
// arguments, as __stdcall requires). x86-64 has one calling convention, so there is no
// balance to check and stackDelta stays 0.
struct ExportCall {
    uint32_t returned;
    int stackDelta;
};

// Calls `fn` with up to five pointer-sized arguments, as a C caller of this platform would.
inline ExportCall CallExport(const void* fn, const std::vector<uintptr_t>& args) {
    ExportCall call{0, 0};
#if defined(__i386__)
    const std::vector<uint32_t> words(args.begin(), args.end());
    call.stackDelta = StackDelta(fn, words.data(), static_cast<int>(words.size()), &call.returned);
#else
    using A = uintptr_t;
    const std::vector<A>& a = args;
    const auto f = [fn](auto typed) {
        return reinterpret_cast<decltype(typed)>(const_cast<void*>(fn));
    };
    A r = 0;
    switch (a.size()) {
        case 0:
            r = f(static_cast<A (*)()>(nullptr))();
            break;
        case 1:
            r = f(static_cast<A (*)(A)>(nullptr))(a[0]);
            break;
        case 2:
            r = f(static_cast<A (*)(A, A)>(nullptr))(a[0], a[1]);
            break;
        case 3:
            r = f(static_cast<A (*)(A, A, A)>(nullptr))(a[0], a[1], a[2]);
            break;
        case 4:
            r = f(static_cast<A (*)(A, A, A, A)>(nullptr))(a[0], a[1], a[2], a[3]);
            break;
        case 5:
            r = f(static_cast<A (*)(A, A, A, A, A)>(nullptr))(a[0], a[1], a[2], a[3], a[4]);
            break;
        default:
            ADD_FAILURE() << "no export takes " << a.size() << " arguments";
    }
    call.returned = static_cast<uint32_t>(r);
#endif
    return call;
}

}  // namespace tavik_test

#endif
