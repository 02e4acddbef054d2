#include "gfx/MeshBuffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

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

namespace {

// A vertex's streams as raw bits; absent streams are zero.
using VertexKey = std::array<std::uint32_t, 9>;

struct VertexKeyHash {
    std::size_t operator()(const VertexKey& key) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint32_t word : key)
            h = (h ^ word) * 1099511628211ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

template <class T> void CopyBits(std::uint32_t* to, const T& value)
{
    static_assert(sizeof(T) % sizeof(std::uint32_t) == 0);
    std::memcpy(to, &value, sizeof(T));
}

} // namespace

WeldedVertices WeldVertices(const MeshData& data, std::vector<std::uint32_t>& indices)
{
    WeldedVertices out;
    const std::size_t n = data.positions.size();
    std::vector<std::uint32_t> renumbered(n);
    std::unordered_map<VertexKey, std::uint32_t, VertexKeyHash> seen;
    seen.reserve(n);
    for (std::size_t v = 0; v < n; ++v) {
        VertexKey key{};
        CopyBits(&key[0], data.positions[v]);
        if (!data.normals.empty()) CopyBits(&key[3], data.normals[v]);
        if (!data.uvs.empty()) CopyBits(&key[6], data.uvs[v]);
        if (!data.colors.empty()) key[8] = data.colors[v];
        const auto [it, added] = seen.try_emplace(key, static_cast<std::uint32_t>(out.positions.size()));
        renumbered[v] = it->second;
        if (!added) continue;
        out.positions.push_back(data.positions[v]);
        if (!data.normals.empty()) out.normals.push_back(data.normals[v]);
        if (!data.uvs.empty()) out.uvs.push_back(data.uvs[v]);
        if (!data.colors.empty()) out.colors.push_back(data.colors[v]);
    }
    for (std::uint32_t& index : indices)
        index = renumbered[index];
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
