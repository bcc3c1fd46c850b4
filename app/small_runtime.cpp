// Two parts of the static C++ runtime replaced by smaller ones that behave the same for this
// program, which catches every exception with catch (...) at its window procedures.
//
// The default terminate handler writes the demangled type of the exception to the standard
// error stream, which a GUI program does not have, and brings the whole demangler with it.
// This one ends the program as that one does, by abort(), without the message.
//
// The runtime's functions that throw for the containers (a length or position out of range)
// build std::logic_error objects, whose text member drags in a second, reference-counted
// string implementation. These throw a small exception of their own instead; the bad_alloc
// ones throw what the runtime's would.
#include <cstdlib>
#include <exception>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {
class ContainerError : public std::exception {
public:
    const char* what() const noexcept override { return "container error"; }
};
}  // namespace

namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_logic_error(const char*) { throw ContainerError(); }
void __throw_length_error(const char*) { throw ContainerError(); }
void __throw_out_of_range_fmt(const char*, ...) { throw ContainerError(); }
}  // namespace std
