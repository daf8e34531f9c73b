#include "DebugOutputMonitor.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tessmark_tests {

namespace {

constexpr DWORD kBufferSize = 4096;

// The layout of DBWIN_BUFFER: the writer's process id, then its text.
struct DebugBuffer {
  DWORD processId;
  char text[kBufferSize - sizeof(DWORD)];
};

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

DebugOutputMonitor::DebugOutputMonitor() {
  bufferReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
  dataReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  mapping_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize,
                                  L"DBWIN_BUFFER");
  if (mapping_) view_ = ::MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kBufferSize);
  if (!bufferReady_ || !dataReady_ || !stop_ || !view_) {
    CloseHandles();
    throw std::runtime_error("cannot set up the debug output buffer");
  }
  collector_ = std::thread([this] { Collect(); });
}

DebugOutputMonitor::~DebugOutputMonitor() {
  if (collector_.joinable()) {
    ::SetEvent(stop_);
    collector_.join();
  }
  CloseHandles();
}

void DebugOutputMonitor::CloseHandles() {
  if (view_) ::UnmapViewOfFile(view_);
  for (HANDLE handle : {mapping_, stop_, dataReady_, bufferReady_}) {
    if (handle) ::CloseHandle(handle);
  }
}

// A writer waits for "buffer ready", fills the buffer and sets "data ready";
// the buffer is offered again once the line is taken.
void DebugOutputMonitor::Collect() {
  HANDLE waits[] = {stop_, dataReady_};
  ::SetEvent(bufferReady_);
  while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    const auto* buffer = static_cast<const DebugBuffer*>(view_);
    std::string text(buffer->text, strnlen(buffer->text, sizeof(buffer->text)));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      lines_.push_back({buffer->processId, WithoutLineEnd(std::move(text))});
    }
    ::SetEvent(bufferReady_);
  }
}

std::vector<std::string> DebugOutputMonitor::LinesOf(DWORD processId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  for (const Line& line : lines_) {
    if (line.processId == processId) lines.push_back(line.text);
  }
  return lines;
}

size_t DebugOutputMonitor::CountOf(DWORD processId, const std::string& line) const {
  std::vector<std::string> lines = LinesOf(processId);
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

}  // namespace tessmark_tests
