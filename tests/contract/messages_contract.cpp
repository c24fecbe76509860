// The message-queue and thread services' contract, run against the host model and against the
// real thread queues under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/threads.h"
#include "tests/eventually.h"

using namespace platform;

namespace {

constexpr uint32_t kWmApp = 0x8000;

// A thread that takes messages until quit, recording each.
struct Receiver {
  std::atomic<bool> makeQueue{false};
  std::atomic<bool> queueMade{false};
  std::atomic<ThreadId> id{0};
  std::vector<Message> got;  // read by the test only after the thread has ended
  std::atomic<int> lastResult{1};
  uintptr_t quitCode = 0;

  static uint32_t Run(void* p) {
    auto* r = static_cast<Receiver*>(p);
    r->id = CurrentThreadId();
    while (!r->makeQueue) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EnsureMessageQueue();
    r->queueMade = true;
    Message m{};
    int rc;
    while ((rc = GetNextMessage(m)) > 0) r->got.push_back(m);
    r->quitCode = m.wParam;
    r->lastResult = rc;
    return 7;
  }
};

TEST(MessagesContract, PostingNeedsTheReceiversQueue) {
  Receiver r;
  ThreadHandle t = StartThread(Receiver::Run, &r);
  ASSERT_NE(t, nullptr);
  ASSERT_TRUE(Eventually([&] { return r.id != 0; }));
  EXPECT_EQ(ThreadIdOf(t), r.id.load());
  EXPECT_NE(r.id.load(), CurrentThreadId());
  EXPECT_FALSE(PostToThread(r.id, kWmApp + 1, 1, 0)) << "no queue before the thread asks for one";
  r.makeQueue = true;
  ASSERT_TRUE(Eventually([&] { return r.queueMade.load(); }));
  EXPECT_TRUE(PostToThread(r.id, kWmQuit, 3, 0));
  EXPECT_TRUE(WaitThread(t, 5000));
  EXPECT_EQ(r.lastResult.load(), 0);
  EXPECT_EQ(r.quitCode, 3u);
  EXPECT_TRUE(r.got.empty());
  CloseThread(t);
}

TEST(MessagesContract, MessagesArriveInOrderWithTheirValues) {
  Receiver r;
  r.makeQueue = true;
  ThreadHandle t = StartThread(Receiver::Run, &r);
  ASSERT_TRUE(Eventually([&] { return r.queueMade.load(); }));
  const uint32_t messages[] = {kWmApp + 0x101, kWmApp + 0x102, kWmApp + 0x103, kWmApp + 0x101};
  const uintptr_t states[] = {1, 0, 0xFFFFFFFFu, 2};
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(PostToThread(r.id, messages[i], states[i], -i));
  ASSERT_TRUE(PostToThread(r.id, kWmQuit, 0, 0));
  ASSERT_TRUE(WaitThread(t, 5000));
  ASSERT_EQ(r.got.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.got[i].message, messages[i]);
    EXPECT_EQ(r.got[i].wParam, states[i]);
    EXPECT_EQ(r.got[i].lParam, -i);
    EXPECT_EQ(r.got[i].window, nullptr) << "thread messages have no window";
  }
  CloseThread(t);
}

TEST(MessagesContract, PostedToAnEndedThreadFails) {
  Receiver r;
  r.makeQueue = true;
  ThreadHandle t = StartThread(Receiver::Run, &r);
  ASSERT_TRUE(Eventually([&] { return r.queueMade.load(); }));
  ThreadId id = r.id;
  ASSERT_TRUE(PostToThread(id, kWmQuit, 0, 0));
  ASSERT_TRUE(WaitThread(t, 5000));
  CloseThread(t);
  EXPECT_TRUE(Eventually([&] { return !PostToThread(id, kWmApp, 0, 0); }));
}

TEST(MessagesContract, QuitOfTheThreadItself) {
  static std::atomic<int> result{-5};
  static std::atomic<uintptr_t> code{0};
  ThreadHandle t = StartThread(
      [](void*) -> uint32_t {
        PostQuit(4);
        Message m{};
        result = GetNextMessage(m);
        code = m.wParam;
        return 0;
      },
      nullptr);
  ASSERT_TRUE(WaitThread(t, 5000));
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(code.load(), 4u);
  CloseThread(t);
}

TEST(ThreadsContract, PriorityWaitAndTerminate) {
  Receiver r;
  r.makeQueue = true;
  ThreadHandle t = StartThread(Receiver::Run, &r);
  ASSERT_TRUE(Eventually([&] { return r.queueMade.load(); }));
  EXPECT_TRUE(SetThreadPriorityLevel(t, kThreadPriorityAboveNormal));
  EXPECT_TRUE(SetThreadPriorityLevel(t, kThreadPriorityNormal));
  EXPECT_FALSE(SetThreadPriorityLevel(t, 8));
  EXPECT_FALSE(SetThreadPriorityLevel(t, -1));
  EXPECT_FALSE(WaitThread(t, 50)) << "still waiting for a message";
  // Stopped from outside while it waits, the way the program stops its listener.
  EXPECT_TRUE(TerminateThreadNow(t, 0));
  EXPECT_TRUE(WaitThread(t, 5000));
  CloseThread(t);
}

TEST(MessagesContract, InvalidatingNoWindowDoesNothing) {
  EXPECT_FALSE(InvalidateWindow(nullptr, false));
  EXPECT_FALSE(InvalidateWindow(nullptr, true));
}

}  // namespace
