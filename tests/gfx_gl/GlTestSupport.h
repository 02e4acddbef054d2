// Shared pieces of the off-screen OpenGL tests: a device per test (skipped, saying why, where no
// context can be made), a camera at the origin looking along +z, and simple meshes and pictures.
#pragma once

#include "gfx/gl/GlDevice.h"
#include "model/Mesh.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace gltest {

class GlDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override;
    // Clears to black and sets an identity view with a 90° perspective (near 1, far 100).
    void BeginFrame(gfx::Color clear = {0, 0, 0, 1});
    gfx::Image Read();

    int width_ = 64;
    int height_ = 64;
    gfx::DeviceOptions options_;
    std::unique_ptr<gfx::gl::GlDevice> device_;
};

// A square facing the camera (normal −z) at depth z from −half to +half in x and y, clockwise on
// screen, one subset; texture coordinates (0,0) at its top-left corner.
model::Mesh Square(float z, float half, bool withNormals = true);
// The same square wound the other way round.
model::Mesh ReversedSquare(float z, float half);

// A directional light shining along +z (onto the squares' fronts) with the given diffuse level.
void LightFromCamera(gfx::Device& d, float level);

struct Rgb {
    std::uint8_t r, g, b;
};
// 24-bit uncompressed BMP, rows given top first.
void WriteBmp(const std::string& path, int width, int height, const std::vector<Rgb>& topDown);

::testing::AssertionResult Near(gfx::Pixel p, int r, int g, int b, int tolerance = 2);
// Number of pixels that are not black.
int Lit(const gfx::Image& image);

} // namespace gltest
