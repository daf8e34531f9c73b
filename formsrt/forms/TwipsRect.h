// A control's place on its parent, in twips (1440 to the logical inch).
#pragma once

namespace formsrt {

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

}  // namespace formsrt
