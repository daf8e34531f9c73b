// A fixed, zero-filled global memory block that lives for one call: allocated
// and locked through the platform seam, freed (never unlocked: the lock of a
// fixed block only yields its address) when the owner goes out of scope.
#pragma once

#include <windows.h>

namespace vanterbox {

class GlobalBlock {
 public:
  explicit GlobalBlock(SIZE_T size);
  ~GlobalBlock();
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;

  // The block's address; null when it could not be allocated or locked.
  void* Address() const { return address_; }

 private:
  HGLOBAL block_ = nullptr;
  void* address_ = nullptr;
};

}  // namespace vanterbox
