// Mixer device 0, opened for one call into a handle variable that the caller
// names (the apartment's MixerHandle), and closed again when the owner goes
// out of scope, on every path.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace vanterbox {

class OpenedMixer {
 public:
  explicit OpenedMixer(HMIXER& handleVariable);
  ~OpenedMixer();
  OpenedMixer(const OpenedMixer&) = delete;
  OpenedMixer& operator=(const OpenedMixer&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
  HMIXER opened_ = nullptr;
};

}  // namespace vanterbox
