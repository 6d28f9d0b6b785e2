// OpenGL 1.1 and GLU for the portable frame and scene code. On Windows the headers want the two
// calling-convention macros that <windows.h> would define; they are given here so that the
// portable code never includes an OS header.
#pragma once

#if defined(_WIN32) && !(defined(WINGDIAPI) && defined(APIENTRY))
#define WINGDIAPI __declspec(dllimport)
#define APIENTRY __stdcall
#define CALLBACK __stdcall
#endif

#include <GL/gl.h>
#include <GL/glu.h>
