/* Loaded with LD_PRELOAD into the renderer: the particle draws cost nothing (glBegin, glEnd,
 * glTexCoord2d, glVertex3f and glColor4f do nothing), so frames are as cheap as the loop allows,
 * and every buffer swap (glXSwapBuffers, eglSwapBuffers) is counted. The count is written to
 * $VELMORIA_SWAP_COUNT_FILE at most every 50 ms and at the end, as one decimal line.
 * Built with SWAPS_ONLY (the swap-count shim), the draws are left real and only swaps counted. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#ifndef SWAPS_ONLY
typedef unsigned int GLenum;
typedef float GLfloat;
typedef double GLdouble;

void glBegin(GLenum mode) {
    (void)mode;
}
void glEnd(void) {}
void glTexCoord2d(GLdouble s, GLdouble t) {
    (void)s, (void)t;
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    (void)x, (void)y, (void)z;
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    (void)r, (void)g, (void)b, (void)a;
}
#endif

static unsigned long long swaps;
static double lastWrite = -1;

static double Now(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + now.tv_nsec / 1e9;
}

static void WriteCount(void) {
    const char* path = getenv("VELMORIA_SWAP_COUNT_FILE");
    if (path == NULL) {
        return;
    }
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.new", path);
    FILE* file = fopen(temporary, "w");
    if (file != NULL) {
        fprintf(file, "%llu\n", swaps);
        fclose(file);
        rename(temporary, path); /* a reader never sees half a line */
    }
}

static void Counted(void) {
    ++swaps;
    const double now = Now();
    if (lastWrite < 0 || now - lastWrite >= 0.05) {
        lastWrite = now;
        WriteCount();
    }
}

__attribute__((destructor)) static void AtEnd(void) {
    WriteCount();
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (real == NULL) {
        real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    }
    Counted();
    real(display, drawable);
}

unsigned int eglSwapBuffers(void* display, void* surface) {
    static unsigned int (*real)(void*, void*);
    if (real == NULL) {
        real = (unsigned int (*)(void*, void*))dlsym(RTLD_NEXT, "eglSwapBuffers");
    }
    Counted();
    return real(display, surface);
}
