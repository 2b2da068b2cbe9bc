// The shortest decimal that reads back as a given double or float, in std::to_chars's form, for
// the C++ libraries that lack std::to_chars for them (Emscripten's among them).
#pragma once

// v in its shortest round-trip form, fixed unless the scientific form is shorter; out has room for
// 32 characters. Returns the end of what was written. Defined for double and float.
template <class Real>
char* writeShortest(char* out, Real v);
