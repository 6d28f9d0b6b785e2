// The renderer program on Linux. Its command line is ignored.
#include "../renderer_entry.h"

int main() {
    return velmoria::RunRenderer(0);
}
