// Entry point of the korvela executable.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::puts("usage: korvela [MAPFILE]");
        return 0;
    }
    std::puts("KORVELA");
    return 0;
}
