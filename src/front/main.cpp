// Entry point of the korvela executable.
#include "model/MeshInspect.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::puts("usage: korvela [MAPFILE]\n       korvela --inspect-mesh FILE");
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--inspect-mesh") == 0) {
        // One JSON object on standard output; the exit code says whether the model loads.
        if (argc < 3) {
            std::puts("{\"ok\":false,\"error\":\"no file given\"}");
            return 1;
        }
        const model::MeshInspection report = model::InspectMesh(argv[2]);
        std::puts(report.json.c_str());
        return report.ok ? 0 : 1;
    }
    std::puts("KORVELA");
    return 0;
}
