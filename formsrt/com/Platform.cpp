#include "Platform.h"

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

}  // namespace formsrt
