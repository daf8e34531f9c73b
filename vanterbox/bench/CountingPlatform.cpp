#include "CountingPlatform.h"

namespace vanterbox_bench {

namespace {

PlatformCounts counts;
HMIXER sharedMixer = nullptr;
const formsrt::WinmmApi realWinmm;
const formsrt::Kernel32Api realKernel32;

MMRESULT WINAPI CountingOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags) {
  if (!sharedMixer) {
    MMRESULT status = realWinmm.mixerOpen(&sharedMixer, device, callback, instance, flags);
    if (status != MMSYSERR_NOERROR) return status;
  }
  *mixer = sharedMixer;
  ++counts.mixersOpened;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI CountingClose(HMIXER mixer) {
  if (mixer != sharedMixer) return MMSYSERR_INVALHANDLE;
  ++counts.mixersClosed;
  return MMSYSERR_NOERROR;
}

HGLOBAL WINAPI CountingAlloc(UINT flags, SIZE_T size) {
  HGLOBAL block = realKernel32.GlobalAlloc(flags, size);
  if (block) ++counts.blocksAllocated;
  return block;
}

HGLOBAL WINAPI CountingFree(HGLOBAL block) {
  HGLOBAL failed = realKernel32.GlobalFree(block);
  if (!failed) ++counts.blocksFreed;
  return failed;
}

}  // namespace

CountingPlatform::CountingPlatform() : winmm_(formsrt::Winmm()), kernel32_(formsrt::Kernel32()) {
  counts = {};
  winmm_->mixerOpen = CountingOpen;
  winmm_->mixerClose = CountingClose;
  kernel32_->GlobalAlloc = CountingAlloc;
  kernel32_->GlobalFree = CountingFree;
}

CountingPlatform::~CountingPlatform() {
  if (sharedMixer) realWinmm.mixerClose(sharedMixer);
  sharedMixer = nullptr;
}

PlatformCounts CountingPlatform::Counts() const { return counts; }

}  // namespace vanterbox_bench
