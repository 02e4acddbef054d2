// Mesh loading and ray queries on a large model: text .x parsing throughput, and rays per
// second with and without the bounding-volume hierarchy.
#include "model/MeshIntersect.h"
#include "model/XFile.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kGrid = 230; // 230 × 230 quads as 105,800 triangles

// A hilly ground as an exporter would write it: one vertex per line, triangles, normals.
const std::string& GroundText()
{
    static const std::string text = [] {
        std::string t = "xof 0303txt 0032\nMesh ground {\n";
        const int n = kGrid + 1;
        t.append(" ").append(std::to_string(n * n)).append(";\n");
        char line[96];
        for (int z = 0; z < n; ++z) {
            for (int x = 0; x < n; ++x) {
                const double y = std::sin(x * 0.11) * std::cos(z * 0.07) * 4.0;
                std::snprintf(line, sizeof line, " %.6f;%.6f;%.6f;%s\n", x * 0.5, y, z * 0.5,
                              (z == n - 1 && x == n - 1) ? ";" : ",");
                t += line;
            }
        }
        const int triangles = 2 * kGrid * kGrid;
        t.append(" ").append(std::to_string(triangles)).append(";\n");
        for (int z = 0; z < kGrid; ++z) {
            for (int x = 0; x < kGrid; ++x) {
                const int i = z * n + x;
                const bool last = z == kGrid - 1 && x == kGrid - 1;
                std::snprintf(line, sizeof line, " 3;%d,%d,%d;,\n 3;%d,%d,%d;%s\n", i, i + n, i + 1, i + 1,
                              i + n, i + n + 1, last ? ";" : ",");
                t += line;
            }
        }
        t += " MeshMaterialList { 1; 1; 0;; Material { 0.5;0.6;0.4;1.0;; 8.0; 0;0;0;; 0;0;0;; } }\n}\n";
        return t;
    }();
    return text;
}

const model::Mesh& Ground()
{
    static const model::Mesh mesh = model::ParseXFile(GroundText()).value().mesh;
    return mesh;
}

struct Ray {
    math::Vec3 pos, dir;
};

// Downward probes like the trains' and a share of slanted picking rays.
const std::vector<Ray>& Rays()
{
    static const std::vector<Ray> rays = [] {
        std::mt19937 random(1);
        std::uniform_real_distribution<float> across(0.0f, kGrid * 0.5f);
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        std::vector<Ray> r;
        for (int i = 0; i < 4096; ++i) {
            const math::Vec3 pos{across(random), 10.0f, across(random)};
            if (i % 4 == 3) {
                r.push_back({{pos.x, 30.0f, pos.z}, {unit(random), -0.5f, unit(random)}});
            } else {
                r.push_back({pos, {0, -1, 0}});
            }
        }
        return r;
    }();
    return rays;
}

void BM_ParseTextX(benchmark::State& state)
{
    const std::string& text = GroundText();
    for (auto _ : state) {
        auto loaded = model::ParseXFile(text);
        if (!loaded) state.SkipWithError(loaded.error().c_str());
        benchmark::DoNotOptimize(loaded);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["triangles"] = 2.0 * kGrid * kGrid;
    state.counters["triangles/s"] = benchmark::Counter(
        2.0 * kGrid * kGrid * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ParseTextX)->Unit(benchmark::kMillisecond);

void BM_BuildHierarchy(benchmark::State& state)
{
    const model::Mesh& mesh = Ground();
    for (auto _ : state) {
        mesh.bvh.reset();
        model::Intersect(mesh, {1, 10, 1}, {0, -1, 0});
    }
}
BENCHMARK(BM_BuildHierarchy)->Unit(benchmark::kMillisecond);

void BM_RaysWithHierarchy(benchmark::State& state)
{
    const model::Mesh& mesh = Ground();
    const std::vector<Ray>& rays = Rays();
    model::Intersect(mesh, rays[0].pos, rays[0].dir); // built once, outside the timing
    std::size_t i = 0, hits = 0;
    for (auto _ : state) {
        const Ray& ray = rays[i++ % rays.size()];
        hits += model::Intersect(mesh, ray.pos, ray.dir).hit;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RaysWithHierarchy);

void BM_RaysBruteForce(benchmark::State& state)
{
    const model::Mesh& mesh = Ground();
    const std::vector<Ray>& rays = Rays();
    std::size_t i = 0, hits = 0;
    for (auto _ : state) {
        const Ray& ray = rays[i++ % rays.size()];
        hits += model::IntersectBruteForce(mesh, ray.pos, ray.dir).hit;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RaysBruteForce)->Unit(benchmark::kMillisecond);

} // namespace
