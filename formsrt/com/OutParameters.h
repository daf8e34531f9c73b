// COM's rule for out-parameters: each is set (Empty, 0, null) before any
// failure is returned, so that a caller may free it whether the call
// succeeded or not. An entry point clears its out-parameters first thing;
// a null pointer among them is skipped (the entry point refuses it itself).
#pragma once

namespace formsrt {

template <class... Out>
void ClearOutParameters(Out*... out) noexcept {
  ((out ? static_cast<void>(*out = Out{}) : static_cast<void>(0)), ...);
}

}  // namespace formsrt
