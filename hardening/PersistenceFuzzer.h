// Feeds IPersistStreamInit::Load and IPersistPropertyBag::Load of a class
// truncated, oversized, damaged and random input from a seeded generator,
// and checks that every load either succeeds or fails with a described
// error, and that the control works afterwards (a known-good property read,
// a save, and a load of good input).
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "BadValues.h"
#include "FuzzTargets.h"

namespace hardening {

struct PersistenceCounts {
  size_t cases = 0;
  size_t loaded = 0;
  size_t refused = 0;
};

class PersistenceFuzzer {
 public:
  PersistenceFuzzer(const FuzzTarget& target, std::uint32_t seed);
  PersistenceFuzzer(const PersistenceFuzzer&) = delete;
  PersistenceFuzzer& operator=(const PersistenceFuzzer&) = delete;

  bool HasStream();
  bool HasPropertyBag();

  // Every prefix of a saved stream, then `cases` generated streams.
  void FuzzStreams(size_t cases);
  // `cases` property bags that answer each read at random.
  void FuzzPropertyBags(size_t cases);

  const PersistenceCounts& StreamCounts() const { return streamCounts_; }
  const PersistenceCounts& BagCounts() const { return bagCounts_; }
  const std::vector<std::wstring>& Faults() const { return faults_; }
  // The size of what a new control saves (0 for one that keeps nothing).
  size_t SavedStreamBytes() const { return savedStreamBytes_; }
  // References that objects of the test took and never gave back.
  ULONG KeptReferences() const;

 private:
  formsrt::ComPtr<IUnknown> NewObject();
  std::vector<BYTE> SavedStream();
  std::vector<BYTE> GeneratedStream(size_t index, const std::vector<BYTE>& saved, size_t& failAt);
  void LoadStream(formsrt::ComPtr<IUnknown>& object, std::vector<BYTE> bytes, size_t failAt,
                  const std::wstring& what);
  void CheckUsable(IUnknown* object, const std::wstring& after);
  void CheckDescribedFailure(HRESULT hr, const std::wstring& what);
  void Fault(const std::wstring& text);

  const FuzzTarget& target_;
  std::mt19937 random_;
  UnrelatedObject unrelated_;
  size_t savedStreamBytes_ = 0;
  PersistenceCounts streamCounts_;
  PersistenceCounts bagCounts_;
  std::vector<std::wstring> faults_;
};

}  // namespace hardening
