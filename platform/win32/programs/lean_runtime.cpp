// What the shipped programs take from the C++ runtime, in place of the library's own pieces. The
// programs are built without exceptions: the library's prebuilt string code, its throwing
// allocator and its exception classes would still bring exception support, the unwinder, the
// terminate handler that demangles a type's name and the threads library behind them, none of
// which a program without exceptions reaches. Here each piece is made without exception support,
// so that the linker keeps only the functions the program calls, and a failure that would have
// thrown ends the program as the uncaught exception would have.
#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>

// The strings, made here instead of taken from the library's prebuilt copies: without unwind
// tables the linker keeps only the members the code calls.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;

// Allocation that never returns null: without exceptions, a program out of memory ends.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  std::abort();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

// The library's reports of a misuse (a string too long, an index out of range): each would throw,
// and uncaught ends the program.
namespace std {
void __throw_bad_exception() {
  std::abort();
}
void __throw_bad_alloc() {
  std::abort();
}
void __throw_bad_array_new_length() {
  std::abort();
}
void __throw_bad_cast() {
  std::abort();
}
void __throw_bad_typeid() {
  std::abort();
}
void __throw_logic_error(const char*) {
  std::abort();
}
void __throw_domain_error(const char*) {
  std::abort();
}
void __throw_invalid_argument(const char*) {
  std::abort();
}
void __throw_length_error(const char*) {
  std::abort();
}
void __throw_out_of_range(const char*) {
  std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
  std::abort();
}
void __throw_runtime_error(const char*) {
  std::abort();
}
void __throw_range_error(const char*) {
  std::abort();
}
void __throw_overflow_error(const char*) {
  std::abort();
}
void __throw_underflow_error(const char*) {
  std::abort();
}
void __throw_system_error(int) {
  std::abort();
}
void __throw_bad_function_call() {
  std::abort();
}
}  // namespace std

// The guards of the statics made at their first use, on one lock of the system's: the library's
// own would bring the threads library and an exception for a static whose making calls itself.
// One recursive lock for every static is what the library does too: a static whose making needs
// another is made on the same thread, which holds the lock already.
namespace {
INIT_ONCE guardOnce = INIT_ONCE_STATIC_INIT;
CRITICAL_SECTION guardLock;

BOOL CALLBACK MakeGuardLock(PINIT_ONCE, PVOID, PVOID*) {
  InitializeCriticalSection(&guardLock);
  return TRUE;
}

char* Made(long long* guard) {
  return reinterpret_cast<char*>(guard);
}
}  // namespace

extern "C" int __cxa_guard_acquire(long long* guard) {
  if (__atomic_load_n(Made(guard), __ATOMIC_ACQUIRE)) return 0;
  InitOnceExecuteOnce(&guardOnce, MakeGuardLock, nullptr, nullptr);
  EnterCriticalSection(&guardLock);
  if (*Made(guard)) {
    LeaveCriticalSection(&guardLock);
    return 0;
  }
  return 1;  // the caller makes the static, then releases the guard
}

extern "C" void __cxa_guard_release(long long* guard) {
  __atomic_store_n(Made(guard), 1, __ATOMIC_RELEASE);
  LeaveCriticalSection(&guardLock);
}

extern "C" void __cxa_guard_abort(long long*) {
  LeaveCriticalSection(&guardLock);
}

// The handler of an uncaught exception, which would name its type: there are none to name.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
