// A shared library that only some runs need, opened the first time one of its functions is
// asked for rather than by the loader at every start.
#pragma once

#ifndef __EMSCRIPTEN__
#include <dlfcn.h>

namespace rt {

// The library by its file name (a soname such as "libcairo.so.2"), opened once on first use.
template <const char* Soname>
void* LateLibrary() {
    static void* const handle = dlopen(Soname, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

// One of its functions, with F the function's type; nullptr when the library or the function is missing.
template <const char* Soname, class F>
F* LateFunction(const char* name) {
    void* const h = LateLibrary<Soname>();
    return h ? reinterpret_cast<F*>(dlsym(h, name)) : nullptr;
}

}  // namespace rt
#endif
