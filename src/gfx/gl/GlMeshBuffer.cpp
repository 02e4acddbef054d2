#include "gfx/gl/GlMeshBuffer.h"

#include "gfx/gl/GlHeaders.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace gfx::gl {

namespace {

const void* Offset(std::size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

std::uint64_t NextSerial()
{
    static std::atomic<std::uint64_t> serial{0};
    return ++serial;
}

} // namespace

GlMeshBuffer::GlMeshBuffer(std::shared_ptr<GlContext> context, std::uint64_t deviceId, const MeshData& data,
                           std::vector<SubsetRange> ranges)
    : MeshBuffer(deviceId, SignatureOf(data), std::move(ranges)), context_(std::move(context)),
      serial_(NextSerial())
{
}

std::shared_ptr<GlMeshBuffer> GlMeshBuffer::Create(std::shared_ptr<GlContext> context, std::uint64_t deviceId,
                                                   const MeshData& data)
{
    auto sorted = SortBySubset(data);
    if (!sorted) return nullptr;
    std::shared_ptr<GlMeshBuffer> buffer(
        new GlMeshBuffer(std::move(context), deviceId, data, std::move(sorted->ranges)));
    if (data.positions.empty() || sorted->indices.empty())
        return buffer; // nothing to draw, nothing to upload

    // Track and scenery meshes repeat most of their vertices (a quad's corners are its
    // neighbours' too): drawing from one copy of each halves the vertex work.
    const WeldedVertices welded = WeldVertices(data, sorted->indices);
    const std::size_t n = welded.positions.size();
    const std::size_t positionBytes = n * sizeof(math::Vec3);
    const std::size_t normalBytes = welded.normals.size() * sizeof(math::Vec3);
    const std::size_t uvBytes = welded.uvs.size() * sizeof(math::Vec2);
    const std::size_t colorBytes = welded.colors.size() * 4;
    buffer->normalsAt_ = positionBytes;
    buffer->uvsAt_ = buffer->normalsAt_ + normalBytes;
    buffer->colorsAt_ = buffer->uvsAt_ + uvBytes;
    const std::size_t total = buffer->colorsAt_ + colorBytes;

    // ARGB words become R, G, B, A bytes for the colour array.
    std::vector<std::uint8_t> colors(colorBytes);
    for (std::size_t i = 0; i < welded.colors.size(); ++i) {
        const std::uint32_t c = welded.colors[i];
        colors[4 * i + 0] = static_cast<std::uint8_t>(c >> 16);
        colors[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        colors[4 * i + 2] = static_cast<std::uint8_t>(c);
        colors[4 * i + 3] = static_cast<std::uint8_t>(c >> 24);
    }

    while (glGetError() != GL_NO_ERROR) {
    }
    glGenBuffers(1, &buffer->vertices_);
    glGenBuffers(1, &buffer->indices_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer->vertices_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(total), nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(positionBytes), welded.positions.data());
    if (normalBytes)
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer->normalsAt_),
                        static_cast<GLsizeiptr>(normalBytes), welded.normals.data());
    if (uvBytes)
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer->uvsAt_),
                        static_cast<GLsizeiptr>(uvBytes), welded.uvs.data());
    if (colorBytes)
        glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(buffer->colorsAt_),
                        static_cast<GLsizeiptr>(colorBytes), colors.data());
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer->indices_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sorted->indices.size() * sizeof(std::uint32_t)),
                 sorted->indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (glGetError() != GL_NO_ERROR) return nullptr;
    return buffer;
}

GlMeshBuffer::~GlMeshBuffer()
{
    if ((vertices_ || indices_) && context_->MakeCurrent()) {
        if (vertices_) glDeleteBuffers(1, &vertices_);
        if (indices_) glDeleteBuffers(1, &indices_);
    }
}

void GlMeshBuffer::Bind() const
{
    glBindBuffer(GL_ARRAY_BUFFER, vertices_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, Offset(0));
    if (HasNormals()) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, Offset(normalsAt_));
    }
    if (HasUvs()) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, Offset(uvsAt_));
    }
    if (HasColors()) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, 0, Offset(colorsAt_));
    }
}

void GlMeshBuffer::Unbind()
{
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

} // namespace gfx::gl
