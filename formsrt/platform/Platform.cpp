#include "platform/Platform.h"

namespace formsrt {

User32Api& User32() {
  static User32Api table;
  return table;
}

Gdi32Api& Gdi32() {
  static Gdi32Api table;
  return table;
}

Shell32Api& Shell32() {
  static Shell32Api table;
  return table;
}

Kernel32Api& Kernel32() {
  static Kernel32Api table;
  return table;
}

WinmmApi& Winmm() {
  static WinmmApi table;
  return table;
}

Advapi32Api& Advapi32() {
  static Advapi32Api table;
  return table;
}

Oleaut32Api& Oleaut32() {
  static Oleaut32Api table;
  return table;
}

namespace {

ULONGLONG WINAPI TickCount64() {
  if (auto later = Kernel32().GetTickCount64) return later();
  // Windows XP: the 32-bit count, which wraps after 49.7 days. The threads
  // library times its waits with it, and the suite's modules do not wait.
  return ::GetTickCount();
}

}  // namespace

}  // namespace formsrt

// The toolchain's threads library, linked into every module, imports
// GetTickCount64, which Windows XP lacks: a module importing it would not
// load there. This definition of the import's address slot takes the place
// of the one in the import library, and answers through the seam. It lives
// in this file because every module links this file before the threads
// library.
#if defined(__i386__)
#define FORMSRT_IMPORT_SLOT(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#else
#define FORMSRT_IMPORT_SLOT(name, argumentBytes) "__imp_" #name
#endif
extern "C" {
__attribute__((used)) ULONGLONG(WINAPI* formsrtGetTickCount64Slot)() __asm__(
    FORMSRT_IMPORT_SLOT(GetTickCount64, 0)) = formsrt::TickCount64;
}
