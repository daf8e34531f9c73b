// The comctl32 table lives apart from the others: only a binary that
// subclasses windows links this file and so imports comctl32.dll.
#include "platform/Platform.h"

namespace formsrt {

Comctl32Api& Comctl32() {
  static Comctl32Api table;
  return table;
}

}  // namespace formsrt
