// Feeds IPersistStreamInit::Load and IPersistPropertyBag::Load of a class
// truncated, oversized, damaged and random input from a seeded generator,
// made from several valid saves. Every load either succeeds or fails with a
// described error; a refused stream fails with one of the three codes the
// format documents (STG_E_READFAULT, STG_E_INVALIDHEADER,
// STG_E_DOCFILECORRUPT) and leaves the control's values as they were (its
// saves before and after are equal); an accepted load saves back what it
// loaded (saved, loaded again and saved again, the two saves are equal);
// and the control works afterwards (a known-good property read, a save).
#pragma once

#include <ocidl.h>
#include <windows.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "BadValues.h"
#include "FuzzArguments.h"
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

  // Every prefix of each valid save, then `cases` generated streams.
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
  // A new control given the target's last settings, so that a refused load
  // that falls back to the defaults shows.
  formsrt::ComPtr<IUnknown> NewObjectAwayFromDefaults();
  // What a control saves after InitNew and each of the target's settings.
  std::vector<std::vector<BYTE>> ValidSaves();
  std::vector<BYTE> Saved(IUnknown* object, const std::wstring& when);
  std::vector<BYTE> GeneratedStream(size_t index, const std::vector<BYTE>& saved, size_t& failAt);
  // `valid`: bytes that a control saved, which it must save back as they are.
  void LoadStream(formsrt::ComPtr<IUnknown>& object, std::vector<BYTE> bytes, size_t failAt,
                  const std::wstring& what, bool valid = false);
  void CheckRefusal(HRESULT hr, IUnknown* object, const std::vector<BYTE>& before,
                    const std::wstring& what);
  void CheckSavesBack(IUnknown* loaded, const std::vector<BYTE>* loadedBytes,
                      const std::wstring& what);
  void CheckUsable(IUnknown* object, const std::wstring& after);
  void CheckDescribedFailure(HRESULT hr, const std::wstring& what);
  void Fault(const std::wstring& text);

  const FuzzTarget& target_;
  FuzzArguments arguments_;
  std::mt19937 random_;
  UnrelatedObject unrelated_;
  size_t savedStreamBytes_ = 0;
  PersistenceCounts streamCounts_;
  PersistenceCounts bagCounts_;
  std::vector<std::wstring> faults_;
};

}  // namespace hardening
