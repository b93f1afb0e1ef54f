// Builds main.pak from a data folder: pakbuild <folder> <out.pak>
#include <cstdio>
#include <string>

#include "data/PakBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pakbuild <folder> <out.pak>\n");
        return 2;
    }
    std::string error;
    if (!BuildPakFromFolder(argv[1], argv[2], &error)) {
        std::fprintf(stderr, "pakbuild: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
