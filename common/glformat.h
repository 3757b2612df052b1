#pragma once

// The drawing is fixed-function OpenGL: ask for a 2.1 compatibility context with a depth buffer.
// Call before the QApplication is made.
void setDefaultGlFormat();

// The GL driver keeps the bookkeeping of compiled display lists in its own data, which the leak
// checker no longer sees once the driver is unloaded at exit; so the driver stays loaded. Call
// while a GL context exists.
void keepGlDriverLoaded();
