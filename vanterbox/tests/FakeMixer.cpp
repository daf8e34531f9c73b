#include "FakeMixer.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace vanterbox_testing {

namespace {

FakeMixer* current = nullptr;
std::map<HGLOBAL, SIZE_T> blockSizes;

SIZE_T SizeOfBlockAt(const void* address) {
  HGLOBAL block = ::GlobalHandle(address);
  auto found = blockSizes.find(block);
  return found == blockSizes.end() ? 0 : found->second;
}

// The fake, with the call just made written to its log.
FakeMixer& Logged(const char* call) {
  current->calls.push_back(call);
  return *current;
}

MMRESULT WINAPI FakeOpen(LPHMIXER target, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                         DWORD flags) {
  FakeMixer& fake = Logged("mixerOpen");
  fake.openTargets.push_back(target);
  fake.openArguments.insert(fake.openArguments.end(),
                            {device, static_cast<DWORD>(callback), static_cast<DWORD>(instance), flags});
  if (fake.openResult != MMSYSERR_NOERROR) return fake.openResult;
  *target = fake.handleToOpen;
  fake.opened.push_back(fake.handleToOpen);
  ++fake.openHandles;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeClose(HMIXER mixer) {
  FakeMixer& fake = Logged("mixerClose");
  fake.closed.push_back(mixer);
  --fake.openHandles;
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeGetLineInfo(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags) {
  FakeMixer& fake = Logged("mixerGetLineInfoA");
  fake.lineInfoCalls.push_back({mixer, flags, *line});
  if (fake.lineInfoResult != MMSYSERR_NOERROR) return fake.lineInfoResult;
  line->dwLineID = fake.lineId;
  line->dwDestination = 7;  // fields the caller must not need
  std::strcpy(line->szName, "Fake line");
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI FakeGetLineControls(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags) {
  FakeMixer& fake = Logged("mixerGetLineControlsA");
  const auto* bytes = reinterpret_cast<const unsigned char*>(controls->pamxctrl);
  SIZE_T size = SizeOfBlockAt(bytes);
  bool zeroFilled = size >= sizeof(vanterbox::MixerControlRecord) &&
                    std::all_of(bytes, bytes + sizeof(vanterbox::MixerControlRecord),
                                [](unsigned char b) { return b == 0; });
  fake.lineControlsCalls.push_back({mixer, flags, *controls, zeroFilled, size});
  if (fake.lineControlsResult != MMSYSERR_NOERROR) return fake.lineControlsResult;
  FillPlatformControl(*controls->pamxctrl, controls->dwControlType, fake.controlId);
  return MMSYSERR_NOERROR;
}

// A read or write of a control's value: the call is recorded with the value
// its block held, then the value moves between the block and the fake.
template <bool write>
MMRESULT WINAPI FakeDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags) {
  FakeMixer& fake = Logged(write ? "mixerSetControlDetails" : "mixerGetControlDetailsA");
  DWORD value = 0;
  SIZE_T size = SizeOfBlockAt(details->paDetails);
  if (size >= sizeof(DWORD)) std::memcpy(&value, details->paDetails, sizeof(DWORD));
  fake.detailsCalls.push_back({mixer, flags, *details, size, value});
  if (fake.detailsResult != MMSYSERR_NOERROR) return fake.detailsResult;
  if (write) std::memcpy(&fake.controlValue, details->paDetails, sizeof(DWORD));
  else std::memcpy(details->paDetails, &fake.controlValue, sizeof(DWORD));
  return MMSYSERR_NOERROR;
}

HGLOBAL WINAPI FakeGlobalAlloc(UINT flags, SIZE_T size) {
  FakeMixer& fake = Logged("GlobalAlloc");
  HGLOBAL block = nullptr;
  if (static_cast<int>(fake.allocations.size()) + 1 != fake.failAllocationNumber) {
    block = ::GlobalAlloc(flags, size);
    blockSizes[block] = size;
    ++fake.liveBlocks;
  }
  fake.allocations.push_back({flags, size, block});
  return block;
}

LPVOID WINAPI FakeGlobalLock(HGLOBAL block) {
  FakeMixer& fake = Logged("GlobalLock");
  void* address = ++fake.lockCalls == fake.failLockNumber ? nullptr : ::GlobalLock(block);
  fake.locked.push_back(address);
  return address;
}

HGLOBAL WINAPI FakeGlobalFree(HGLOBAL block) {
  FakeMixer& fake = Logged("GlobalFree");
  fake.freed.push_back(block);
  blockSizes.erase(block);
  --fake.liveBlocks;
  return ::GlobalFree(block);
}

void WINAPI FakeMove(void* destination, const void* source, SIZE_T length) {
  FakeMixer& fake = Logged("RtlMoveMemory");
  fake.moves.push_back({destination, source, length});
  std::memmove(destination, source, length);
}

}  // namespace

void FillPlatformControl(MIXERCONTROLA& control, DWORD controlType, DWORD controlId) {
  auto* bytes = reinterpret_cast<unsigned char*>(&control);
  for (size_t i = 0; i < sizeof(MIXERCONTROLA); ++i) bytes[i] = static_cast<unsigned char>(0x80 + i);
  control.cbStruct = sizeof(MIXERCONTROLA);
  control.dwControlID = controlId;
  control.dwControlType = controlType;
  const char* name = controlType == MIXERCONTROL_CONTROLTYPE_MUTE ? "Mute" : "Volume";
  std::memset(control.szShortName, 0, sizeof(control.szShortName));
  std::memset(control.szName, 0, sizeof(control.szName));
  std::strcpy(control.szShortName, name);
  std::strcpy(control.szName, name);
}

FakeMixer::FakeMixer() : winmm_(formsrt::Winmm()), kernel32_(formsrt::Kernel32()) {
  current = this;
  winmm_->mixerOpen = FakeOpen;
  winmm_->mixerClose = FakeClose;
  winmm_->mixerGetLineInfoA = FakeGetLineInfo;
  winmm_->mixerGetLineControlsA = FakeGetLineControls;
  winmm_->mixerGetControlDetailsA = FakeDetails<false>;
  winmm_->mixerSetControlDetails = FakeDetails<true>;
  kernel32_->GlobalAlloc = FakeGlobalAlloc;
  kernel32_->GlobalLock = FakeGlobalLock;
  kernel32_->GlobalFree = FakeGlobalFree;
  kernel32_->RtlMoveMemory = FakeMove;
}

FakeMixer::~FakeMixer() { current = nullptr; }

std::vector<std::string> LookupCalls() {
  return {"mixerGetLineInfoA", "GlobalAlloc", "GlobalLock", "mixerGetLineControlsA",
          "RtlMoveMemory", "GlobalFree"};
}

}  // namespace vanterbox_testing
