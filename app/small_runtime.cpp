// Parts of the static C++ runtime replaced by smaller ones. The program is built without C++
// exceptions (see CMakeLists.txt): nothing in it throws or catches, so the runtime's functions
// that would throw end the program instead, as an exception that nothing catches would, and
// bring neither the exception objects nor their texts along.
//
// The default terminate handler writes the demangled type of the exception to the standard
// error stream, which a GUI program does not have, and brings the whole demangler with it.
// The runtime's operator new throws when memory runs out; this one ends the program.
#include <cstdlib>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std

void* operator new(std::size_t size) {
    void* memory = std::malloc(size ? size : 1);
    if (!memory) std::abort();
    return memory;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
