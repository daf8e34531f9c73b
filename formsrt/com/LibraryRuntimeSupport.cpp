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
// The threads library's pthread_once and mutexes are replaced for the same
// reason (__wrap_pthread_once and the mutexes below).
//
// This sits beneath the runtime: it runs inside the loader's lock and before
// any static object is constructed, so it calls the platform directly rather
// than through the platform seam, whose tables are themselves statics.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace __gnu_cxx {
void __freeres();  // the runtime's own: frees the emergency exception pool
}

namespace {

// A one-time initialisation that needs no lock of its own: the first caller
// runs `initialise`, any other waits until it has. An initialisation that
// throws leaves it not run, for the next caller to try again.
constexpr LONG kNotRun = 0;
constexpr LONG kDone = 1;
constexpr LONG kRunning = 2;

template <class Initialise>
void RunOnce(volatile LONG& state, Initialise&& initialise) {
  for (;;) {
    LONG seen = ::InterlockedCompareExchange(&state, kRunning, kNotRun);
    if (seen == kDone) return;
    if (seen == kNotRun) break;
    ::Sleep(0);
  }
  try {
    initialise();
  } catch (...) {
    ::InterlockedExchange(&state, kNotRun);
    throw;
  }
  ::InterlockedExchange(&state, kDone);
}

class OnceFlag {
 public:
  template <class Initialise>
  void Run(Initialise&& initialise) {
    RunOnce(state_, std::forward<Initialise>(initialise));
  }

 private:
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

// The threads library's mutexes, replaced like its pthread_once: each one
// made (at pthread_mutex_init, or at first use of a statically initialised
// one) is a critical section in the list below, and the ones never
// destroyed, such as the unwinder's own, go at unload. A pthread_mutex_t is
// the address of its Mutex, or one of the threads library's static
// initialisers. Every kind of mutex is recursive here; the runtime's
// callers never lock one they hold.
constexpr intptr_t kStaticInitialiser = -1;   // PTHREAD_MUTEX_INITIALIZER
constexpr intptr_t kLastStaticInitialiser = -3;  // ..._RECURSIVE_MUTEX_INITIALIZER

struct Mutex {
  CRITICAL_SECTION section;
  intptr_t* variable;
  Mutex* previous;
  Mutex* next;
};

Mutex g_mutexes{{}, nullptr, &g_mutexes, &g_mutexes};
// Set when the library has given everything back. The unwinder still locks
// its mutex once after that, to take its exception frames off the list; the
// library is being unloaded under the loader's lock then, with none of its
// code running elsewhere, so a mutex used after it is no lock at all.
bool g_unloaded = false;

bool IsStaticInitialiser(intptr_t value) { return value <= kStaticInitialiser && value >= kLastStaticInitialiser; }

Mutex* NewMutex(intptr_t* variable) {
  auto* mutex = static_cast<Mutex*>(Require(std::calloc(1, sizeof(Mutex))));
  ::InitializeCriticalSection(&mutex->section);
  mutex->variable = variable;
  mutex->next = g_mutexes.next;
  mutex->previous = &g_mutexes;
  g_mutexes.next->previous = mutex;
  g_mutexes.next = mutex;
  __atomic_store_n(variable, reinterpret_cast<intptr_t>(mutex), __ATOMIC_RELEASE);
  return mutex;
}

void DeleteMutex(Mutex* mutex) {
  mutex->previous->next = mutex->next;
  mutex->next->previous = mutex->previous;
  ::DeleteCriticalSection(&mutex->section);
  *mutex->variable = kStaticInitialiser;
  std::free(mutex);
}

// The mutex a variable names, made when it is still a static initialiser;
// none once the library has unloaded.
Mutex* MutexOf(intptr_t* variable) {
  intptr_t value = __atomic_load_n(variable, __ATOMIC_ACQUIRE);
  if (!IsStaticInitialiser(value)) return reinterpret_cast<Mutex*>(value);
  if (g_unloaded) return nullptr;
  Locked locked;
  value = *variable;
  return IsStaticInitialiser(value) ? NewMutex(variable) : reinterpret_cast<Mutex*>(value);
}

// The last exit function of the library: the static objects' destructors,
// registered after it, have all run by then.
void FreeEverything() {
  g_unloaded = true;
  while (g_mutexes.next != &g_mutexes) DeleteMutex(g_mutexes.next);
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

// The threads library's pthread_once takes a TLS index for its caller's
// cleanup record the first time it runs in a load, and never gives it back,
// nor the thread record and thread handle it made. The 32-bit unwinder
// calls it at every load, when the library's exception frames are
// registered, and the C++ runtime's call_once calls it too. The servers
// are linked with --wrap=pthread_once, so that those calls come here; a
// once object holds kNotRun (PTHREAD_ONCE_INIT), kRunning or kDone.
int __wrap_pthread_once(volatile long* once, void (*initialise)()) {
  static_assert(sizeof(long) == sizeof(LONG));
  RunOnce(*reinterpret_cast<volatile LONG*>(once), initialise);
  return 0;
}

int __wrap_pthread_mutex_init(intptr_t* variable, const void* /*attributes*/) {
  Locked locked;
  NewMutex(variable);
  return 0;
}

int __wrap_pthread_mutex_destroy(intptr_t* variable) {
  if (IsStaticInitialiser(*variable) || g_unloaded) return 0;
  Locked locked;
  DeleteMutex(reinterpret_cast<Mutex*>(*variable));
  return 0;
}

int __wrap_pthread_mutex_lock(intptr_t* variable) {
  if (Mutex* mutex = MutexOf(variable)) ::EnterCriticalSection(&mutex->section);
  return 0;
}

int __wrap_pthread_mutex_trylock(intptr_t* variable) {
  Mutex* mutex = MutexOf(variable);
  return !mutex || ::TryEnterCriticalSection(&mutex->section) ? 0 : EBUSY;
}

int __wrap_pthread_mutex_unlock(intptr_t* variable) {
  if (Mutex* mutex = MutexOf(variable)) ::LeaveCriticalSection(&mutex->section);
  return 0;
}

// A thread that ends gives back its copies; the library's unloading gives
// back those of the threads still running (FreeEverything).
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_THREAD_DETACH) FreeThisThreadsBlock();
  return TRUE;
}

}  // extern "C"
