#include "gfx/DeviceState.h"

namespace gfx {

namespace {

math::Matrix IdentityMatrix()
{
    math::Matrix m;
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

} // namespace

// The defaults of the fixed-function device the program was written for: lighting on, depth
// test and writes on, no blending, counter-clockwise faces culled, no point scaling.
DeviceState::DeviceState()
{
    Set(RenderState::Lighting, true);
    Set(RenderState::ZEnable, true);
    Set(RenderState::ZWriteEnable, true);
    Set(RenderState::ColorVertex, true);
    Set(PointParameter::Size, 1.0f);
    Set(PointParameter::SizeMin, 1.0f);
    Set(PointParameter::SizeMax, 64.0f);
    Set(PointParameter::ScaleA, 1.0f);
    transforms.fill(IdentityMatrix());
}

void DeviceState::Set(Sampler s, Filter f)
{
    switch (s) {
    case Sampler::Min:
        minFilter = f;
        break;
    case Sampler::Mag:
        magFilter = f;
        break;
    case Sampler::Mip:
        mipFilter = f;
        break;
    }
}

} // namespace gfx
