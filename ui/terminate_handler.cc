// The window program's end for an exception nobody catches. The C++
// runtime's default handler prints the exception's demangled type name,
// and its demangler alone would take about 46 KB of the 256 KB the shipped
// program may have; a window program has no console to print to anyway.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
