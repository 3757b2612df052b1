#pragma once

// The drawing is fixed-function OpenGL: ask for a 2.1 compatibility context with a depth buffer.
// Call before the QApplication is made.
void setDefaultGlFormat();
