#include "model/MeshInspect.h"

#include "model/MeshBounds.h"
#include "model/ModelTexture.h"
#include "model/XFile.h"
#include "platform/Paths.h"
#include "platform/Utf8.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <set>

namespace model {
namespace {

// Shortest text that reads back as the same float; JSON has no infinity or NaN, so those are null.
std::string JsonNumber(float value)
{
    if (!std::isfinite(value)) return "null";
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "null";
    return std::string(buffer, end);
}

std::string JsonArray(std::initializer_list<float> values)
{
    std::string out = "[";
    for (float v : values) {
        if (out.size() > 1) out += ',';
        out += JsonNumber(v);
    }
    return out + "]";
}

} // namespace

std::string JsonString(std::string_view text)
{
    return platform::JsonQuoted(text);
}

MeshInspection InspectMesh(const std::string& path)
{
    const auto loaded = LoadXFile(path);
    if (!loaded) return {false, "{\"ok\":false,\"error\":" + JsonString(loaded.error()) + "}"};
    const Mesh& mesh = loaded->mesh;

    const std::set<std::uint32_t> subsets(mesh.attributes.begin(), mesh.attributes.end());
    // The base path is the model's path without its extension; only its folder matters here.
    const platform::PathParts parts = platform::SplitPath(path);
    const auto texture = FindModelTexture(parts.folder + parts.name, loaded->materials);
    const MeshBox box = ComputeBox(mesh);
    const MeshSphere sphere = ComputeSphere(mesh);

    std::string json = "{\"ok\":true";
    json += ",\"vertices\":" + std::to_string(mesh.VertexCount());
    json += ",\"faces\":" + std::to_string(mesh.FaceCount());
    json += ",\"subsets\":" + std::to_string(subsets.size());
    json += ",\"materials\":" + std::to_string(loaded->materials.size());
    json += ",\"texture\":" +
            (texture ? JsonString(std::filesystem::path(*texture).filename().string()) : "null");
    json += std::string(",\"normals_in_file\":") + (loaded->normalsInFile ? "true" : "false");
    json += ",\"box\":" + JsonArray({box.minX, box.maxX, box.minY, box.maxY, box.minZ, box.maxZ});
    json += ",\"sphere\":" + JsonArray({sphere.center.x, sphere.center.y, sphere.center.z, sphere.radius});
    return {true, json + "}"};
}

} // namespace model
