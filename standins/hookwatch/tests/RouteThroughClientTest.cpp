// How a client's response combines its WindowProc with what lies below it.
#include <gtest/gtest.h>

#include "FakeSubClass.h"
#include "RouteThroughClient.h"

using hookwatch::RouteThroughClient;
using hookwatch::WindowMessage;

namespace {

constexpr LRESULT kBelowResult = 1000;

class RouteThroughClientTest : public ::testing::Test {
 protected:
  LRESULT Route(FakeSubClass& client, WindowMessage message = {nullptr, WM_SIZE, 0, 0}) {
    return RouteThroughClient(client, message, [this] {
      log_.push_back("below");
      return kBelowResult;
    });
  }

  std::vector<std::string> log_;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(RouteThroughClientTest, EachResponseOrdersTheCallsAndPicksTheResult) {
  struct Case {
    LONG response;
    Log order;
    LRESULT result;
  };
  const Case cases[] = {
      {hwPreviousThenClient, {"below", "client"}, kBelowResult},
      {hwClientThenPrevious, {"client", "below"}, kBelowResult},
      {hwClientOnly, {"client"}, -7},
      {42, {"below", "client"}, kBelowResult},  // unknown values act as the default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.response);
    log_.clear();
    FakeSubClass client("client", &log_);
    client.response = static_cast<HookwatchResponse>(c.response);
    client.result = -7;
    EXPECT_EQ(c.result, Route(client));  // a negative 32-bit result stays negative
    EXPECT_EQ(c.order, log_);
    EXPECT_EQ(1, client.responseReads);
  }
}

TEST_F(RouteThroughClientTest, AFailingClientNeverSwallowsTheMessage) {
  FakeSubClass unreadable("client", &log_);
  unreadable.responseFails = true;
  unreadable.result = 5;
  EXPECT_EQ(kBelowResult, Route(unreadable));
  EXPECT_EQ((Log{"below", "client"}), log_);

  for (LONG response : {hwClientOnly, hwClientThenPrevious}) {
    log_.clear();
    FakeSubClass failing("client", &log_);
    failing.response = static_cast<HookwatchResponse>(response);
    failing.windowProcOutcome = E_FAIL;
    failing.result = 5;
    EXPECT_EQ(kBelowResult, Route(failing));
    EXPECT_EQ((Log{"client", "below"}), log_);
  }
}
