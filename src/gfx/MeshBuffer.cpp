#include "gfx/MeshBuffer.h"

#include <algorithm>

namespace gfx {

std::optional<SortedTriangles> SortBySubset(const MeshData& data)
{
    const std::size_t vertices = data.positions.size();
    const std::size_t faces = data.indices.size() / 3;
    if (data.indices.size() % 3 != 0 || data.attributes.size() != faces) return std::nullopt;
    if ((!data.normals.empty() && data.normals.size() != vertices) ||
        (!data.uvs.empty() && data.uvs.size() != vertices) ||
        (!data.colors.empty() && data.colors.size() != vertices))
        return std::nullopt;
    for (std::uint32_t index : data.indices)
        if (index >= vertices) return std::nullopt;

    // Stable sort of face numbers by subset id keeps each subset's own triangle order.
    std::vector<std::uint32_t> order(faces);
    for (std::size_t f = 0; f < faces; ++f)
        order[f] = static_cast<std::uint32_t>(f);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return data.attributes[a] < data.attributes[b];
    });

    SortedTriangles out;
    out.indices.reserve(data.indices.size());
    for (std::uint32_t f : order) {
        const std::uint32_t subset = data.attributes[f];
        if (out.ranges.empty() || out.ranges.back().subset != subset)
            out.ranges.push_back({subset, out.indices.size(), 0});
        out.indices.insert(out.indices.end(), data.indices.begin() + 3 * f, data.indices.begin() + 3 * f + 3);
        out.ranges.back().count += 3;
    }
    return out;
}

MeshSignature SignatureOf(const MeshData& data)
{
    return {data.positions.data(), data.positions.size(), data.indices.size(),
            !data.normals.empty(), !data.uvs.empty(),     !data.colors.empty()};
}

SubsetRange MeshBuffer::Range(std::uint32_t subset) const
{
    auto it = std::lower_bound(ranges_.begin(), ranges_.end(), subset,
                               [](const SubsetRange& r, std::uint32_t s) { return r.subset < s; });
    if (it == ranges_.end() || it->subset != subset) return {subset, 0, 0};
    return *it;
}

} // namespace gfx
