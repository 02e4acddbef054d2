// Walks the data objects of a .x file. Frames and meshes are read wherever they appear; objects
// we have no use for (animations, skin weights, declarations, headers, unknown templates) are
// skipped by matching braces, so files from any exporter load as long as their structure closes.
#include "model/XFileParser.h"

#include "model/XTextTokenizer.h"

#include <cmath>
#include <string_view>
#include <utility>

namespace model {
namespace {

using math::Matrix;

bool IsType(std::string_view word, std::string_view type)
{
    if (word.size() != type.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        char a = word[i], b = type[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

// A stray value where an object could start (some exporters write more separators or values
// than the templates ask for).
bool IsNumberWord(std::string_view word)
{
    if (word.empty()) return false;
    const char c = word[0];
    if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')) return false;
    float ignored = 0;
    return ParseXFloat(word, ignored);
}

// Corner colour channel to a byte: clamped to [0, 1], then rounded half up (NaN counts as 0).
std::uint32_t ColorByte(float c)
{
    if (!(c > 0.0f)) return 0;
    if (c > 1.0f) c = 1.0f;
    return static_cast<std::uint32_t>(c * 255.0f + 0.5f);
}

class Parser {
  public:
    explicit Parser(XTokenizer& tokens) : t_(tokens) {}

    platform::Result<XFileContent> Run()
    {
        if (!TopLevel()) {
            std::string reason = !error_.empty() ? error_ : t_.Error();
            if (reason.empty()) reason = "malformed file";
            return platform::Fail(std::move(reason));
        }
        return std::move(content_);
    }

  private:
    bool Fail(std::string message)
    {
        if (error_.empty() && !t_.Failed()) {
            error_ = std::move(message) + " (at byte " + std::to_string(t_.Offset() + 16) + ")";
        }
        return false;
    }

    bool TokenFailure(const XToken& token, std::string_view where)
    {
        if (token.kind == XTokenKind::Error) return false;
        if (token.kind == XTokenKind::End) return Fail("unexpected end of file in " + std::string(where));
        return Fail("unexpected token in " + std::string(where));
    }

    // count × valuesEach scalars must still be in the file.
    bool CheckCount(std::uint32_t count, std::size_t valuesEach, std::string_view what)
    {
        const std::size_t wanted = static_cast<std::size_t>(count) * valuesEach;
        if (wanted > t_.MaxValuesLeft()) {
            return Fail(std::string(what) + " count " + std::to_string(count) +
                        " is more than the file holds");
        }
        return true;
    }

    bool ReadUInt(std::uint32_t& v) { return t_.ReadUInt(v); }
    bool ReadFloat(float& v) { return t_.ReadFloat(v); }
    bool ReadVec3(math::Vec3& v) { return ReadFloat(v.x) && ReadFloat(v.y) && ReadFloat(v.z); }

    // After an object's template name: an optional object name, '{' and an optional GUID.
    bool ObjectHeader(std::string_view type, std::string_view& name)
    {
        XToken token = t_.Next();
        name = {};
        // An object may be called "template" too.
        if (token.kind == XTokenKind::Word || token.kind == XTokenKind::Template) {
            name = token.text;
            token = t_.Next();
        }
        if (token.kind != XTokenKind::OpenBrace) return TokenFailure(token, std::string(type) + " header");
        return t_.SkipGuid();
    }

    // Inside an object whose '{' has been read: skip to its matching '}'.
    bool SkipBody()
    {
        std::size_t depth = 1;
        for (;;) {
            const XToken token = t_.Next();
            switch (token.kind) {
            case XTokenKind::OpenBrace:
                ++depth;
                break;
            case XTokenKind::CloseBrace:
                if (--depth == 0) return true;
                break;
            case XTokenKind::End:
                return Fail("unexpected end of file: an object is not closed");
            case XTokenKind::Error:
                return false;
            default:
                break;
            }
        }
    }

    bool SkipTemplate()
    {
        XToken token = t_.Next(); // the template's name
        if (token.kind == XTokenKind::Word) token = t_.Next();
        if (token.kind != XTokenKind::OpenBrace) return TokenFailure(token, "template declaration");
        return SkipBody();
    }

    // After an object's '{': a reference "{ name }", "{ name <guid> }" or "{ <guid> }".
    bool Reference(std::string& name)
    {
        XToken token = t_.Next();
        name.clear();
        if (token.kind == XTokenKind::Word) {
            name = token.text;
            token = t_.Next();
        }
        if (token.kind == XTokenKind::Guid) token = t_.Next();
        if (token.kind != XTokenKind::CloseBrace) return TokenFailure(token, "reference");
        return true;
    }

    // Calls onChild(type) for each child object of the current object (after its header and
    // members have been read) up to its closing brace; onChild must consume the child.
    // References are handed to onReference. Stray values are skipped.
    template <class OnChild, class OnReference>
    bool Children(std::string_view where, OnChild&& onChild, OnReference&& onReference)
    {
        for (;;) {
            const XToken token = t_.Next();
            switch (token.kind) {
            case XTokenKind::CloseBrace:
                return true;
            case XTokenKind::OpenBrace: {
                std::string name;
                if (!Reference(name) || !onReference(std::move(name))) return false;
                break;
            }
            case XTokenKind::Word:
                if (IsNumberWord(token.text)) break;
                if (!onChild(token.text)) return false;
                break;
            case XTokenKind::Template:
                if (!SkipTemplate()) return false;
                break;
            case XTokenKind::End:
            case XTokenKind::Error:
                return TokenFailure(token, where);
            default:
                break;
            }
        }
    }

    bool SkipObject(std::string_view type)
    {
        std::string_view name;
        return ObjectHeader(type, name) && SkipBody();
    }

    bool IgnoreReference(std::string&&) { return true; }

    bool TopLevel()
    {
        for (;;) {
            const XToken token = t_.Next();
            switch (token.kind) {
            case XTokenKind::End:
                return true;
            case XTokenKind::Error:
                return false;
            case XTokenKind::Template:
                if (!SkipTemplate()) return false;
                break;
            case XTokenKind::Word:
                if (IsNumberWord(token.text)) break;
                if (!AnyObject(token.text, 0, Matrix{}, false)) return false;
                break;
            case XTokenKind::OpenBrace: {
                std::string ignored;
                if (!Reference(ignored)) return false;
                break;
            }
            case XTokenKind::CloseBrace:
                return Fail("'}' without an object to close");
            default:
                break;
            }
        }
    }

    // An object that may stand at the top level or inside a frame.
    bool AnyObject(std::string_view type, int depth, const Matrix& world, bool transformed)
    {
        if (IsType(type, "Mesh")) return ParseMesh(world, transformed);
        if (IsType(type, "Frame")) return ParseFrame(depth + 1, world, transformed);
        if (IsType(type, "Material")) {
            std::string_view name;
            MeshMaterial material;
            if (!ObjectHeader(type, name) || !ParseMaterialBody(material)) return false;
            if (!name.empty()) content_.namedMaterials.emplace(std::string(name), std::move(material));
            return true;
        }
        return SkipObject(type);
    }

    bool ParseFrame(int depth, const Matrix& parent, bool parentTransformed)
    {
        if (depth > kMaxFrameDepth) return Fail("frames are nested too deeply");
        std::string_view name;
        if (!ObjectHeader("Frame", name)) return false;
        // Child·parent: a vertex is carried by this frame's matrices first, then by the
        // enclosing frames'. A second matrix in the same frame acts inside the first.
        Matrix world = parent;
        bool transformed = parentTransformed;
        return Children(
            "Frame",
            [&](std::string_view type) {
                if (!IsType(type, "FrameTransformMatrix")) return AnyObject(type, depth, world, transformed);
                Matrix local;
                if (!ObjectHeader(type, name)) return false;
                for (int r = 0; r < 4; ++r) {
                    for (int c = 0; c < 4; ++c) {
                        if (!ReadFloat(local.m[r][c])) return false;
                    }
                }
                if (!SkipBody()) return false;
                world = transformed ? math::Multiply(local, world) : local;
                transformed = !(world == math::Identity());
                return true;
            },
            [this](std::string&& n) { return IgnoreReference(std::move(n)); });
    }

    bool ParseMesh(const Matrix& world, bool transformed)
    {
        std::string_view name;
        if (!ObjectHeader("Mesh", name)) return false;
        XMeshData mesh;
        mesh.transformed = transformed;
        mesh.transform = transformed ? world : math::Identity();

        std::uint32_t vertexCount = 0;
        if (!ReadUInt(vertexCount) || !CheckCount(vertexCount, 3, "vertex")) return false;
        mesh.positions.resize(vertexCount);
        for (math::Vec3& p : mesh.positions) {
            if (!ReadVec3(p)) return false;
        }
        std::uint32_t faceCount = 0;
        // A face is at least its corner count and three indices.
        if (!ReadUInt(faceCount) || !CheckCount(faceCount, 4, "face")) return false;
        mesh.faceSizes.reserve(faceCount);
        mesh.faceCorners.reserve(static_cast<std::size_t>(faceCount) * 3);
        for (std::uint32_t f = 0; f < faceCount; ++f) {
            std::uint32_t corners = 0;
            if (!ReadUInt(corners)) return false;
            if (corners < 3) return Fail("face " + std::to_string(f) + " has fewer than three corners");
            if (!CheckCount(corners, 1, "face corner")) return false;
            mesh.faceSizes.push_back(corners);
            for (std::uint32_t k = 0; k < corners; ++k) {
                std::uint32_t index = 0;
                if (!ReadUInt(index)) return false;
                if (index >= vertexCount) {
                    return Fail("face " + std::to_string(f) + " uses vertex " + std::to_string(index) +
                                " of " + std::to_string(vertexCount));
                }
                mesh.faceCorners.push_back(index);
            }
        }
        const bool ok = Children(
            "Mesh",
            [&](std::string_view type) {
                if (IsType(type, "MeshNormals")) return ParseNormals(mesh);
                if (IsType(type, "MeshTextureCoords")) return ParseTextureCoords(mesh);
                if (IsType(type, "MeshVertexColors")) return ParseVertexColors(mesh);
                if (IsType(type, "MeshMaterialList")) return ParseMaterialList(mesh);
                return SkipObject(type);
            },
            [this](std::string&& n) { return IgnoreReference(std::move(n)); });
        if (!ok) return false;
        content_.meshes.push_back(std::move(mesh));
        return true;
    }

    bool ParseNormals(XMeshData& mesh)
    {
        std::string_view name;
        if (!ObjectHeader("MeshNormals", name)) return false;
        std::uint32_t normalCount = 0;
        if (!ReadUInt(normalCount) || !CheckCount(normalCount, 3, "normal")) return false;
        std::vector<math::Vec3> normals(normalCount);
        for (math::Vec3& n : normals) {
            if (!ReadVec3(n)) return false;
            n = math::Normalize(n);
        }
        std::uint32_t faceCount = 0;
        if (!ReadUInt(faceCount)) return false;
        if (faceCount != mesh.faceSizes.size()) {
            return Fail("normals are given for " + std::to_string(faceCount) + " faces of " +
                        std::to_string(mesh.faceSizes.size()));
        }
        std::vector<std::uint32_t> corners;
        corners.reserve(mesh.faceCorners.size());
        for (std::uint32_t f = 0; f < faceCount; ++f) {
            std::uint32_t count = 0;
            if (!ReadUInt(count)) return false;
            if (count != mesh.faceSizes[f])
                return Fail("normal face " + std::to_string(f) + " has the wrong corner count");
            for (std::uint32_t k = 0; k < count; ++k) {
                std::uint32_t index = 0;
                if (!ReadUInt(index)) return false;
                if (index >= normalCount)
                    return Fail("normal index " + std::to_string(index) + " out of range");
                corners.push_back(index);
            }
        }
        if (!SkipBody()) return false;
        mesh.hasNormals = true;
        mesh.normals = std::move(normals);
        mesh.normalCorners = std::move(corners);
        return true;
    }

    bool ParseTextureCoords(XMeshData& mesh)
    {
        std::string_view name;
        if (!ObjectHeader("MeshTextureCoords", name)) return false;
        std::uint32_t count = 0;
        if (!ReadUInt(count)) return false;
        if (count != mesh.positions.size()) {
            return Fail("texture coordinates are given for " + std::to_string(count) + " vertices of " +
                        std::to_string(mesh.positions.size()));
        }
        if (!CheckCount(count, 2, "texture coordinate")) return false;
        std::vector<math::Vec2> uvs(count);
        for (math::Vec2& uv : uvs) {
            if (!ReadFloat(uv.x) || !ReadFloat(uv.y)) return false;
        }
        if (!SkipBody()) return false;
        mesh.uvs = std::move(uvs);
        return true;
    }

    bool ParseVertexColors(XMeshData& mesh)
    {
        std::string_view name;
        if (!ObjectHeader("MeshVertexColors", name)) return false;
        std::uint32_t count = 0;
        if (!ReadUInt(count) || !CheckCount(count, 5, "vertex colour")) return false;
        // Vertices the list leaves out are white with alpha 0.
        std::vector<std::uint32_t> colors(mesh.positions.size(), 0x00FFFFFFu);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t index = 0;
            float r = 0, g = 0, b = 0, a = 0;
            if (!ReadUInt(index) || !ReadFloat(r) || !ReadFloat(g) || !ReadFloat(b) || !ReadFloat(a))
                return false;
            if (index >= colors.size())
                return Fail("vertex colour for vertex " + std::to_string(index) + " out of range");
            colors[index] = (ColorByte(a) << 24) | (ColorByte(r) << 16) | (ColorByte(g) << 8) | ColorByte(b);
        }
        if (!SkipBody()) return false;
        mesh.colors = std::move(colors);
        return true;
    }

    bool ParseMaterialList(XMeshData& mesh)
    {
        std::string_view name;
        if (!ObjectHeader("MeshMaterialList", name)) return false;
        std::uint32_t materialCount = 0, indexCount = 0;
        if (!ReadUInt(materialCount) || !ReadUInt(indexCount) ||
            !CheckCount(indexCount, 1, "material index")) {
            return false;
        }
        const std::size_t faceCount = mesh.faceSizes.size();
        std::vector<std::uint32_t> faceMaterials(faceCount, 0);
        std::uint32_t last = 0;
        for (std::uint32_t i = 0; i < indexCount; ++i) {
            std::uint32_t index = 0;
            if (!ReadUInt(index)) return false;
            if (materialCount > 0 && index >= materialCount) {
                return Fail("material index " + std::to_string(index) + " out of range");
            }
            if (i < faceCount) faceMaterials[i] = index;
            last = index;
        }
        // Exporters write a single index (or a short list) for a mesh of one material: the
        // last index given applies to the remaining faces.
        for (std::size_t f = indexCount; f < faceCount; ++f)
            faceMaterials[f] = last;

        std::vector<XMaterialEntry> entries;
        const bool ok = Children(
            "MeshMaterialList",
            [&](std::string_view type) {
                if (!IsType(type, "Material")) return SkipObject(type);
                std::string_view materialName;
                XMaterialEntry entry;
                entry.material.emplace();
                if (!ObjectHeader(type, materialName) || !ParseMaterialBody(*entry.material)) return false;
                if (!materialName.empty())
                    content_.namedMaterials.emplace(std::string(materialName), *entry.material);
                entries.push_back(std::move(entry));
                return true;
            },
            [&](std::string&& reference) {
                if (reference.empty()) return Fail("material referenced by GUID only");
                entries.push_back(XMaterialEntry{std::nullopt, std::move(reference)});
                return true;
            });
        if (!ok) return false;
        mesh.hasMaterialList = true;
        mesh.materialCount = materialCount;
        mesh.faceMaterials = std::move(faceMaterials);
        mesh.materials = std::move(entries);
        return true;
    }

    // The members and children of a Material, after its header.
    bool ParseMaterialBody(MeshMaterial& out)
    {
        gfx::Material& m = out.material;
        if (!ReadFloat(m.diffuse.r) || !ReadFloat(m.diffuse.g) || !ReadFloat(m.diffuse.b) ||
            !ReadFloat(m.diffuse.a) || !ReadFloat(m.power) || !ReadFloat(m.specular.r) ||
            !ReadFloat(m.specular.g) || !ReadFloat(m.specular.b) || !ReadFloat(m.emissive.r) ||
            !ReadFloat(m.emissive.g) || !ReadFloat(m.emissive.b)) {
            return false;
        }
        m.specular.a = 1.0f;
        m.emissive.a = 1.0f;
        m.ambient = gfx::Color{0, 0, 0, 1};
        return Children(
            "Material",
            [&](std::string_view type) {
                if (!IsType(type, "TextureFilename")) return SkipObject(type);
                std::string_view name, file;
                if (!ObjectHeader(type, name) || !t_.ReadString(file) || !SkipBody()) return false;
                if (!out.textureFile) out.textureFile = std::string(file);
                return true;
            },
            [this](std::string&& n) { return IgnoreReference(std::move(n)); });
    }

    XTokenizer& t_;
    XFileContent content_;
    std::string error_;
};

} // namespace

platform::Result<XFileContent> ParseXObjects(XTokenizer& tokens)
{
    return Parser(tokens).Run();
}

} // namespace model
