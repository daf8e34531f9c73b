// The compiler runtime's per-thread storage and static-initialisation guards
// for a COM library, done so that a library loaded and unloaded any number
// of times gives back at unload everything it took.
//
// The static threads library that the runtime would otherwise use for both
// keeps one TLS index per load (it never calls TlsFree), a block per thread
// that touched it, and the handles of those threads; near a thousand loads
// a process runs out of TLS indexes and the library aborts. Defining the
// three guard functions and the two emulated-TLS entry points here, in an
// object linked into every server, keeps the threads library's versions out
// of the link. Thread-local variables (the exception-handling globals among
// them) then live in blocks this file owns: freed when their thread ends
// and, for every thread still running, when the library unloads.
//
// This sits beneath the runtime: it runs inside the loader's lock and before
// any static object is constructed, so it calls the platform directly rather
// than through the platform seam, whose tables are themselves statics.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace __gnu_cxx {
void __freeres();  // the runtime's own: frees the emergency exception pool
}

namespace {

// A one-time initialisation that needs no lock of its own: the first caller
// runs `initialise`, any other waits until it has.
class OnceFlag {
 public:
  template <class Initialise>
  void Run(Initialise&& initialise) {
    LONG state = ::InterlockedCompareExchange(&state_, kRunning, kNotRun);
    if (state == kNotRun) {
      initialise();
      ::InterlockedExchange(&state_, kDone);
      return;
    }
    while (::InterlockedCompareExchange(&state_, kDone, kDone) != kDone) ::Sleep(0);
  }

 private:
  static constexpr LONG kNotRun = 0;
  static constexpr LONG kRunning = 1;
  static constexpr LONG kDone = 2;
  volatile LONG state_ = kNotRun;
};

// One lock for every static initialisation and every change to the thread
// blocks: recursive, since one static's constructor may initialise another.
CRITICAL_SECTION g_lock;
OnceFlag g_lockMade;

CRITICAL_SECTION& Lock() {
  g_lockMade.Run([] { ::InitializeCriticalSection(&g_lock); });
  return g_lock;
}

class Locked {
 public:
  Locked() { ::EnterCriticalSection(&Lock()); }
  ~Locked() { ::LeaveCriticalSection(&Lock()); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

// What the compiler emits for each thread-local variable: its size,
// alignment, an index given at first use (0 until then) and the initial
// image (null for zero-filled).
struct EmulatedTlsObject {
  uintptr_t size;
  uintptr_t align;
  uintptr_t index;
  void* initialImage;
};

// One thread's copies of the thread-local variables, by index, linked into
// the list of every thread's block so that unloading can free them all.
struct ThreadBlock {
  ThreadBlock* previous;
  ThreadBlock* next;
  uintptr_t capacity;
  void** copies;
};

ThreadBlock g_threads{&g_threads, &g_threads, 0, nullptr};
uintptr_t g_variables = 0;
DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;
OnceFlag g_tlsIndexMade;

// A thread-local variable that cannot be had leaves nothing sane to run on,
// as in the runtime's own implementation.
void* Require(void* allocated) {
  if (!allocated) std::abort();
  return allocated;
}

DWORD TlsIndex() {
  g_tlsIndexMade.Run([] { g_tlsIndex = ::TlsAlloc(); });
  if (g_tlsIndex == TLS_OUT_OF_INDEXES) std::abort();
  return g_tlsIndex;
}

void FreeBlock(ThreadBlock* block) {
  for (uintptr_t i = 0; i < block->capacity; ++i) ::_aligned_free(block->copies[i]);
  std::free(block->copies);
  block->previous->next = block->next;
  block->next->previous = block->previous;
  std::free(block);
}

ThreadBlock& ThisThreadsBlock() {
  auto* block = static_cast<ThreadBlock*>(::TlsGetValue(TlsIndex()));
  if (block) return *block;
  block = static_cast<ThreadBlock*>(Require(std::calloc(1, sizeof(ThreadBlock))));
  {
    Locked locked;
    block->next = g_threads.next;
    block->previous = &g_threads;
    g_threads.next->previous = block;
    g_threads.next = block;
  }
  ::TlsSetValue(TlsIndex(), block);
  return *block;
}

uintptr_t IndexOf(EmulatedTlsObject& object) {
  uintptr_t index = __atomic_load_n(&object.index, __ATOMIC_ACQUIRE);
  if (index != 0) return index;
  Locked locked;
  if (object.index == 0) __atomic_store_n(&object.index, ++g_variables, __ATOMIC_RELEASE);
  return object.index;
}

void* NewCopy(const EmulatedTlsObject& object) {
  size_t alignment = object.align < sizeof(void*) ? sizeof(void*) : object.align;
  void* copy = Require(::_aligned_malloc(object.size, alignment));
  if (object.initialImage) {
    std::memcpy(copy, object.initialImage, object.size);
  } else {
    std::memset(copy, 0, object.size);
  }
  return copy;
}

void FreeThisThreadsBlock() {
  if (g_tlsIndex == TLS_OUT_OF_INDEXES) return;
  auto* block = static_cast<ThreadBlock*>(::TlsGetValue(g_tlsIndex));
  if (!block) return;
  Locked locked;
  FreeBlock(block);
}

// The last exit function of the library: the static objects' destructors,
// registered after it, have all run by then.
void FreeEverything() {
  while (g_threads.next != &g_threads) FreeBlock(g_threads.next);
  if (g_tlsIndex != TLS_OUT_OF_INDEXES) ::TlsFree(g_tlsIndex);
  ::DeleteCriticalSection(&Lock());
  __gnu_cxx::__freeres();
}

// Before every other static object, so that its exit function runs last.
__attribute__((constructor(101))) void FreeEverythingAtUnload() { std::atexit(FreeEverything); }

}  // namespace

extern "C" {

void* __emutls_get_address(void* control) {
  auto& object = *static_cast<EmulatedTlsObject*>(control);
  uintptr_t index = IndexOf(object);
  ThreadBlock& block = ThisThreadsBlock();
  if (block.capacity < index) {
    uintptr_t capacity = index * 2;
    auto* copies = static_cast<void**>(Require(std::realloc(block.copies, capacity * sizeof(void*))));
    std::memset(copies + block.capacity, 0, (capacity - block.capacity) * sizeof(void*));
    block.copies = copies;
    block.capacity = capacity;
  }
  void*& copy = block.copies[index - 1];
  if (!copy) copy = NewCopy(object);
  return copy;
}

// Called by the compiler for a variable whose description other objects
// may repeat with a larger size or alignment: the largest one wins.
void __emutls_register_common(void* control, uintptr_t size, uintptr_t align, void* image) {
  auto& object = *static_cast<EmulatedTlsObject*>(control);
  if (object.size < size) {
    object.size = size;
    object.initialImage = nullptr;
  }
  if (object.align < align) object.align = align;
  if (image && size == object.size) object.initialImage = image;
}

// A function-local static's guard: its first byte is set once the static is
// made. The lock is held from a successful acquire to its release or abort.
int __cxa_guard_acquire(int64_t* guard) {
  if (__atomic_load_n(reinterpret_cast<char*>(guard), __ATOMIC_ACQUIRE)) return 0;
  ::EnterCriticalSection(&Lock());
  if (*reinterpret_cast<char*>(guard)) {
    ::LeaveCriticalSection(&Lock());
    return 0;
  }
  return 1;
}

void __cxa_guard_release(int64_t* guard) {
  __atomic_store_n(reinterpret_cast<char*>(guard), 1, __ATOMIC_RELEASE);
  ::LeaveCriticalSection(&Lock());
}

void __cxa_guard_abort(int64_t*) { ::LeaveCriticalSection(&Lock()); }

// A thread that ends gives back its copies; the library's unloading gives
// back those of the threads still running (FreeEverything).
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_THREAD_DETACH) FreeThisThreadsBlock();
  return TRUE;
}

}  // extern "C"
