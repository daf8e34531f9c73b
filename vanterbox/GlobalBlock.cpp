#include "GlobalBlock.h"

#include "platform/Platform.h"

namespace vanterbox {

GlobalBlock::GlobalBlock(SIZE_T size) : block_(formsrt::Kernel32().GlobalAlloc(GMEM_ZEROINIT, size)) {
  if (block_) address_ = formsrt::Kernel32().GlobalLock(block_);
}

GlobalBlock::~GlobalBlock() {
  if (block_) formsrt::Kernel32().GlobalFree(block_);
}

}  // namespace vanterbox
