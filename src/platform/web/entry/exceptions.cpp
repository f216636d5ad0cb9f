// C++ exceptions in the browser's modules: WebAssembly as this compiler builds it cannot
// unwind, so a throw ends the module with a line naming the exception's type. The show throws
// only on data that cannot occur in its own build (a bad parameter type, a malformed key
// table), where ending is the right answer; the libraries that hold such throws are compiled
// with exceptions on, and these two calls are all their throws need.
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

extern "C" void* __cxa_allocate_exception(std::size_t size) noexcept {
    return std::malloc(size);
}

extern "C" [[noreturn]] void __cxa_throw(void*, std::type_info* type, void (*)(void*)) {
    std::fprintf(stderr, "uncaught C++ exception of type %s: the module stops\n",
                 type != nullptr ? type->name() : "unknown");
    std::abort();
}
