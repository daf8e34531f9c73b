// Runs the test cases of one executable inside an OLE apartment, as the
// deliverables run on a user-interface thread.
#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int result = RUN_ALL_TESTS();
  ::OleUninitialize();
  return result;
}
