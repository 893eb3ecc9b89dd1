// libstdc++'s ways of failing, for the Windows build, which has no exceptions (cmake/windows.cmake):
// defined here, they keep the library's throwing versions, and with them the unwinder, the exception
// classes and the demangler of the default terminate handler, out of the exe.
#include <cstdlib>
#include <new>  // first: it says whether the library is libstdc++

#if defined(__GLIBCXX__) && !defined(__cpp_exceptions)

// The library's own would throw bad_alloc. Out of memory, the program ends as an uncaught bad_alloc
// ended it; the nothrow forms still answer with a null pointer.
void* operator new(std::size_t size) {
    for (;;) {
        if (void* block = std::malloc(size != 0 ? size : 1)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) std::abort();
        handler();
    }
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size != 0 ? size : 1);
}

// The containers report a broken precondition (a length past max_size, a position past the end)
// through these. Nothing could catch what they threw, so ending at once is what happened anyway.
// All of them, so that the library's copies are never linked: should a newer library add one that
// the code calls, the link fails on the duplicates instead of quietly bringing exceptions back.
namespace std {
[[noreturn]] void __throw_bad_exception() { std::abort(); }
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_bad_cast() { std::abort(); }
[[noreturn]] void __throw_bad_typeid() { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_domain_error(const char*) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { std::abort(); }
[[noreturn]] void __throw_range_error(const char*) { std::abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { std::abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { std::abort(); }
[[noreturn]] void __throw_ios_failure(const char*) { std::abort(); }
[[noreturn]] void __throw_ios_failure(const char*, int) { std::abort(); }
[[noreturn]] void __throw_system_error(int) { std::abort(); }
[[noreturn]] void __throw_future_error(int) { std::abort(); }
[[noreturn]] void __throw_bad_function_call() { std::abort(); }
}  // namespace std

#endif
