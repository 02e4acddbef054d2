// A mesh's vertex and index buffers in the device's context: positions, then the optional
// normals, texture coordinates and colours, and the indices regrouped by subset.
#pragma once

#include "gfx/MeshBuffer.h"
#include "gfx/gl/GlContext.h"

#include <cstddef>
#include <memory>

namespace gfx::gl {

class GlMeshBuffer final : public MeshBuffer {
  public:
    // Uploads into the current context; nothing when the data is inconsistent or the upload fails.
    static std::shared_ptr<GlMeshBuffer> Create(std::shared_ptr<GlContext> context, std::uint64_t deviceId,
                                                const MeshData& data);
    ~GlMeshBuffer() override;

    // Binds the buffers and points the fixed-function arrays at them; Unbind undoes it (for
    // whichever buffer is bound).
    void Bind() const;
    static void Unbind();
    // Distinguishes every buffer made in the process, even one made where a freed one lay.
    std::uint64_t Serial() const { return serial_; }

  private:
    GlMeshBuffer(std::shared_ptr<GlContext> context, std::uint64_t deviceId, const MeshData& data,
                 std::vector<SubsetRange> ranges);

    std::shared_ptr<GlContext> context_;
    std::uint64_t serial_;
    unsigned vertices_ = 0;
    unsigned indices_ = 0;
    std::size_t normalsAt_ = 0;
    std::size_t uvsAt_ = 0;
    std::size_t colorsAt_ = 0;
};

} // namespace gfx::gl
