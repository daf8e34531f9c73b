// A recording stand-in for the mixer and memory entry points of the platform
// seam. It logs every call in order with what the platform would see, answers
// as configured, and counts blocks and handles still held.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "MixerControlRecord.h"
#include "platform/Platform.h"

namespace vanterbox_testing {

// The sizes the platform must find in the records' cbStruct fields, written
// out rather than taken from the headers: the 32-bit layout the library was
// made for, and the wider records of the 64-bit platform.
#ifdef _WIN64
inline constexpr DWORD kLineRecordBytes = 172;
inline constexpr DWORD kLineControlsRecordBytes = 28;
inline constexpr DWORD kDetailsRecordBytes = 32;
#else
inline constexpr DWORD kLineRecordBytes = 168;
inline constexpr DWORD kLineControlsRecordBytes = 24;
inline constexpr DWORD kDetailsRecordBytes = 24;
#endif

// What the fake platform reports for a control: its type, identifier and
// names, written into the first 148 bytes (MIXERCONTROLA) of the caller's
// block, every other byte a pattern.
void FillPlatformControl(MIXERCONTROLA& control, DWORD controlType, DWORD controlId);

struct LineInfoCall {
  HMIXEROBJ mixer;
  DWORD flags;
  MIXERLINEA line;  // as given, before the answer
};

struct LineControlsCall {
  HMIXEROBJ mixer;
  DWORD flags;
  MIXERLINECONTROLSA controls;
  bool blockZeroFilled;  // all 152 bytes of the receive block read 0
  SIZE_T blockSize;
};

struct DetailsCall {
  HMIXEROBJ mixer;
  DWORD flags;
  MIXERCONTROLDETAILS details;
  SIZE_T blockSize;
  DWORD valueGiven;  // the block's value when the call was made
};

struct AllocationCall {
  UINT flags;
  SIZE_T size;
  HGLOBAL block;
};

struct MoveCall {
  void* destination;
  const void* source;
  SIZE_T length;
};

class FakeMixer {
 public:
  FakeMixer();
  ~FakeMixer();
  FakeMixer(const FakeMixer&) = delete;
  FakeMixer& operator=(const FakeMixer&) = delete;

  // Answers.
  HMIXER handleToOpen = reinterpret_cast<HMIXER>(static_cast<INT_PTR>(0x5A10));
  MMRESULT openResult = MMSYSERR_NOERROR;
  MMRESULT lineInfoResult = MMSYSERR_NOERROR;
  DWORD lineId = 0xFFFF0003;
  MMRESULT lineControlsResult = MMSYSERR_NOERROR;
  DWORD controlId = 0x42;
  MMRESULT detailsResult = MMSYSERR_NOERROR;
  DWORD controlValue = 0;  // what a read finds; a successful write stores here
  int failAllocationNumber = 0;  // the n-th GlobalAlloc (1-based) fails; 0 none
  int failLockNumber = 0;        // the n-th GlobalLock fails

  // What happened.
  std::vector<std::string> calls;
  std::vector<HMIXER*> openTargets;
  std::vector<DWORD> openArguments;  // device, callback, instance, flags per open
  std::vector<LineInfoCall> lineInfoCalls;
  std::vector<LineControlsCall> lineControlsCalls;
  std::vector<DetailsCall> detailsCalls;
  std::vector<AllocationCall> allocations;
  std::vector<void*> locked;  // addresses GlobalLock gave
  std::vector<HGLOBAL> freed;
  std::vector<MoveCall> moves;
  std::vector<HMIXER> opened;
  std::vector<HMIXER> closed;
  int lockCalls = 0;
  int openHandles = 0;
  int liveBlocks = 0;

 private:
  formsrt::PlatformOverride<formsrt::WinmmApi> winmm_;
  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32_;
};

// The calls of a successful LookupLineControl, in order.
std::vector<std::string> LookupCalls();

// A control record with every byte `byte`, and whether two records agree byte for byte.
inline vanterbox::MixerControlRecord FilledWith(unsigned char byte) {
  vanterbox::MixerControlRecord record;
  std::memset(&record, byte, sizeof(record));
  return record;
}
template <class Record>
bool SameBytes(const Record& a, const Record& b) { return std::memcmp(&a, &b, sizeof(Record)) == 0; }

}  // namespace vanterbox_testing
