// Redirects one imported function of a loaded module (its import address table entry)
// to a test's own function for a scope, so a test sees the module's real calls to a
// system function, with their real arguments, without the system acting on them.
#pragma once

#include <windows.h>

#include <cstring>

namespace lmx::test {

class ImportPatch {
 public:
  // module imports `function` from `dll` (names compared without case); replacement must
  // have the same type and calling convention.
  ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
    slot_ = FindSlot(module, dll, function);
    if (slot_) {
      original_ = *slot_;
      Write(replacement);
    }
  }
  ~ImportPatch() {
    if (slot_) Write(original_);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool active() const { return slot_ != nullptr; }

 private:
  static void** FindSlot(HMODULE module, const char* dll, const char* function) {
    if (!module) return nullptr;
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
          base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
          return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
    return nullptr;
  }

  void Write(void* value) {
    DWORD old = 0;
    if (!VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old)) return;
    *slot_ = value;
    VirtualProtect(slot_, sizeof *slot_, old, &old);
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace lmx::test
