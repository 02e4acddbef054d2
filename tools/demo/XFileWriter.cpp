#include "demo/XFileWriter.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace demo {

std::string XNumber(double value)
{
    if (!std::isfinite(value)) throw std::logic_error("a model coordinate is not a number");
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (error != std::errc{}) throw std::logic_error("number too long");
    std::string text(buffer, end);
    // Trim trailing zeros but keep one decimal, so that every real reads as a real.
    while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.')
        text.pop_back();
    if (text == "-0.0") text = "0.0";
    return text;
}

namespace {

std::string Vector(V3 v)
{
    return XNumber(v.x) + ";" + XNumber(v.y) + ";" + XNumber(v.z) + ";";
}

std::string Colour(Rgb c)
{
    return XNumber(c.r) + ";" + XNumber(c.g) + ";" + XNumber(c.b) + ";";
}

// Faces as "n;a,b,c;" lines; normals use the same indices as the vertices.
void WriteFaces(std::string& out, const MeshBuilder& mesh)
{
    const auto& faces = mesh.Faces();
    out += " " + std::to_string(faces.size()) + ";\n";
    for (std::size_t i = 0; i < faces.size(); ++i) {
        out += " " + std::to_string(faces[i].corners.size()) + ";";
        for (std::size_t k = 0; k < faces[i].corners.size(); ++k) {
            if (k) out += ",";
            out += std::to_string(faces[i].corners[k]);
        }
        out += i + 1 == faces.size() ? ";;\n" : ";,\n";
    }
}

} // namespace

std::string XFileText(const MeshBuilder& mesh, const std::string& meshName)
{
    const auto& vertices = mesh.Vertices();
    const auto& faces = mesh.Faces();
    const auto& materials = mesh.Materials();
    if (vertices.empty() || faces.empty() || materials.empty())
        throw std::logic_error("model " + meshName + " is empty or has no material");

    std::string out = "xof 0303txt 0032\n\n";
    out += "Mesh " + meshName + " {\n";
    out += " " + std::to_string(vertices.size()) + ";\n";
    for (std::size_t i = 0; i < vertices.size(); ++i)
        out += " " + Vector(vertices[i].position) + (i + 1 == vertices.size() ? ";\n" : ",\n");
    WriteFaces(out, mesh);

    out += "\n MeshNormals {\n";
    out += " " + std::to_string(vertices.size()) + ";\n";
    for (std::size_t i = 0; i < vertices.size(); ++i)
        out += " " + Vector(vertices[i].normal) + (i + 1 == vertices.size() ? ";\n" : ",\n");
    WriteFaces(out, mesh);
    out += " }\n";

    if (mesh.HasTexture()) {
        out += "\n MeshTextureCoords {\n";
        out += " " + std::to_string(vertices.size()) + ";\n";
        for (std::size_t i = 0; i < vertices.size(); ++i) {
            out += " " + XNumber(vertices[i].uv.u) + ";" + XNumber(vertices[i].uv.v) + ";" +
                   (i + 1 == vertices.size() ? ";\n" : ",\n");
        }
        out += " }\n";
    }

    out += "\n MeshMaterialList {\n";
    out += " " + std::to_string(materials.size()) + ";\n";
    out += " " + std::to_string(faces.size()) + ";\n";
    for (std::size_t i = 0; i < faces.size(); ++i)
        out += " " + std::to_string(faces[i].material) + (i + 1 == faces.size() ? ";\n" : ",\n");
    for (const MaterialDef& m : materials) {
        out += "\n  Material " + m.name + " {\n";
        out += "   " + Colour(m.diffuse) + "1.0;;\n"; // diffuse, alpha 1
        out += "   0.0;\n";                           // power
        out += "   0.0;0.0;0.0;;\n";                  // specular
        out += "   " + Colour(m.emissive) + ";\n";
        if (!m.texture.empty()) out += "   TextureFilename {\n    \"" + m.texture + "\";\n   }\n";
        out += "  }\n";
    }
    out += " }\n}\n";
    return out;
}

} // namespace demo
