// Names for the fuzz tests' output: a class's label as narrow text, and as a
// test name (letters and digits only).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "FuzzTargets.h"

inline std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

inline std::string TargetName(const ::testing::TestParamInfo<size_t>& info) {
  std::string name = Narrow(hardening::FuzzTargets()[info.param].progId);
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}
