#include "plan/PlanExport.h"

#include "layout/CLayout.h"
#include "layout/ObjectType.h"
#include "layout/PartsList.h"
#include "layout/TrackShapes.h"
#include "layout/TurnoutKeys.h"
#include "math/NumberText.h"
#include "platform/SafeFile.h"
#include "platform/Translation.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

namespace plan {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr double kMarginMm = 10.0;
constexpr double kHeaderMm = 12.0;
constexpr double kFooterMm = 14.0;
constexpr double kGridStep = 10.0;
constexpr char kFont[] = "IPAGothic";

struct Box {
    double minX = 0, minZ = 0, maxX = 0, maxZ = 0;
    double Width() const { return maxX - minX; }
    double Depth() const { return maxZ - minZ; }
};

// What one placed object puts on the plan, in world units (x right, z up the page).
struct PlanItem {
    bool track = false;
    std::vector<std::pair<double, double>> outline; // the mesh's plan bounds, turned
    struct Line {
        bool set = false; // the turnout's current route, or any route of plain track
        std::vector<std::pair<double, double>> points;
    };
    std::vector<Line> lines;
    int key = layout::kNoKey;
    double x = 0, z = 0;
    Box bounds; // of everything above
};

struct Scene {
    std::vector<PlanItem> items;
    Box extent;
    bool empty = true;
};

Scene CollectScene(const layout::CLayout& layout)
{
    Scene scene;
    const layout::TrackShapes shapes(layout);
    double minX = std::numeric_limits<double>::max(), minZ = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxZ = maxX;
    auto take = [&](double x, double z) {
        if (!std::isfinite(x) || !std::isfinite(z)) return;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minZ = std::min(minZ, z), maxZ = std::max(maxZ, z);
    };
    for (const layout::PlacedObject& object : layout.Placed().All()) {
        const layout::ObjectType* type = layout.Catalogue().FindType(object.type);
        if (!type) continue;
        PlanItem item;
        item.x = object.x, item.z = object.z;
        const model::MeshBox& b = type->bounds;
        if (b.maxX > b.minX || b.maxZ > b.minZ) {
            for (const auto& [lx, lz] : {std::pair{b.minX, b.minZ}, std::pair{b.maxX, b.minZ},
                                         std::pair{b.maxX, b.maxZ}, std::pair{b.minX, b.maxZ}}) {
                const math::Vec3 p = layout::TrackShapes::ToWorld(object, {lx, 0.0f, lz});
                item.outline.emplace_back(p.x, p.z);
                take(p.x, p.z);
            }
        }
        if (shapes.ShapeOf(object)) {
            item.track = true;
            for (const layout::GuideLine& line : shapes.WorldLines(object)) {
                PlanItem::Line out;
                out.set = !type->IsTurnout() || line.route == object.route;
                for (const math::Vec3& p : line.points) {
                    out.points.emplace_back(p.x, p.z);
                    take(p.x, p.z);
                }
                item.lines.push_back(std::move(out));
            }
            if (type->IsTurnout()) item.key = object.key;
        }
        take(object.x, object.z);
        item.bounds = {item.x, item.z, item.x, item.z};
        auto grow = [&](double x, double z) {
            item.bounds = {std::min(item.bounds.minX, x), std::min(item.bounds.minZ, z),
                           std::max(item.bounds.maxX, x), std::max(item.bounds.maxZ, z)};
        };
        for (const auto& [x, z] : item.outline)
            grow(x, z);
        for (const PlanItem::Line& line : item.lines)
            for (const auto& [x, z] : line.points)
                grow(x, z);
        scene.items.push_back(std::move(item));
    }
    scene.empty = scene.items.empty();
    if (scene.empty) {
        scene.extent = {-50, -50, 50, 50};
    } else {
        const double pad = std::max(2.0, 0.03 * std::max(maxX - minX, maxZ - minZ));
        scene.extent = {minX - pad, minZ - pad, maxX + pad, maxZ + pad};
    }
    return scene;
}

// Paper in points, portrait or landscape.
std::pair<double, double> PaperSize(const PlanOptions& options, const Box& extent)
{
    const bool landscape = options.orientation == Orientation::Auto ? extent.Width() >= extent.Depth()
                                                                     : options.orientation == Orientation::Landscape;
    const double shortMm = options.paper == Paper::A3 ? 297.0 : 210.0;
    const double longMm = options.paper == Paper::A3 ? 420.0 : 297.0;
    const double w = (landscape ? longMm : shortMm) * kPointsPerMm;
    const double h = (landscape ? shortMm : longMm) * kPointsPerMm;
    return {w, h};
}

enum class Align { Left, Centre, Right };

void Text(cairo_t* cr, double x, double y, const std::string& text, double size, Align align = Align::Left)
{
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    double left = x;
    if (align == Align::Centre) left -= extents.x_advance / 2;
    if (align == Align::Right) left -= extents.x_advance;
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, text.c_str());
}

std::string Coordinate(double value)
{
    return std::to_string(std::llround(value));
}

// Where the plan lies on a page: world (x, z) to page points, the drawn window of the plan.
struct View {
    double scale = 1;     // points per unit
    double originX = 0;   // page point of world x = left
    double originY = 0;   // page point of world z = top
    double left = 0, top = 0;
    double clipX = 0, clipY = 0, clipW = 0, clipH = 0; // page rectangle the plan is drawn in

    double X(double wx) const { return originX + (wx - left) * scale; }
    double Y(double wz) const { return originY + (top - wz) * scale; }
    // Whether anything of a world box can show in the drawn window (with room for labels).
    bool Shows(const Box& box) const
    {
        const double room = 8;
        return X(box.maxX) >= clipX - room && X(box.minX) <= clipX + clipW + room &&
               Y(box.minZ) >= clipY - room && Y(box.maxZ) <= clipY + clipH + room;
    }
};

// A grid step of 10 units or a multiple of it, at least minPoints apart on the page.
double StepFor(double scale, double minPoints)
{
    double step = kGridStep;
    for (int i = 0; step * scale < minPoints && i < 30; ++i)
        step *= (i % 3 == 1) ? 2.5 : 2.0; // 10, 20, 50, 100, 200, 500, ...
    return step;
}

void DrawGrid(cairo_t* cr, const View& view)
{
    const double worldLeft = view.left + (view.clipX - view.originX) / view.scale;
    const double worldRight = worldLeft + view.clipW / view.scale;
    const double worldTop = view.top - (view.clipY - view.originY) / view.scale;
    const double worldBottom = worldTop - view.clipH / view.scale;
    const double lineStep = StepFor(view.scale, 6.0);
    const double labelStep = StepFor(view.scale, 28.0);
    cairo_set_line_width(cr, 0.25);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (double x = std::ceil(worldLeft / lineStep) * lineStep; x <= worldRight; x += lineStep) {
        const bool axis = std::abs(x) < 1e-9;
        cairo_set_source_rgb(cr, axis ? 0.55 : 0.8, axis ? 0.55 : 0.8, axis ? 0.75 : 0.85);
        cairo_move_to(cr, view.X(x), view.clipY);
        cairo_line_to(cr, view.X(x), view.clipY + view.clipH);
        cairo_stroke(cr);
    }
    for (double z = std::ceil(worldBottom / lineStep) * lineStep; z <= worldTop; z += lineStep) {
        const bool axis = std::abs(z) < 1e-9;
        cairo_set_source_rgb(cr, axis ? 0.55 : 0.8, axis ? 0.55 : 0.8, axis ? 0.75 : 0.85);
        cairo_move_to(cr, view.clipX, view.Y(z));
        cairo_line_to(cr, view.clipX + view.clipW, view.Y(z));
        cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.45);
    for (double x = std::ceil(worldLeft / labelStep) * labelStep; x <= worldRight; x += labelStep)
        Text(cr, view.X(x) + 1.5, view.clipY + view.clipH - 2, Coordinate(x), 6);
    for (double z = std::ceil(worldBottom / labelStep) * labelStep; z <= worldTop; z += labelStep)
        Text(cr, view.clipX + 1.5, view.Y(z) - 1.5, Coordinate(z), 6);
}

void Path(cairo_t* cr, const View& view, const std::vector<std::pair<double, double>>& points, bool close)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double x = view.X(points[i].first), y = view.Y(points[i].second);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    if (close) cairo_close_path(cr);
}

void DrawItems(cairo_t* cr, const View& view, const Scene& scene, const PlanOptions& options)
{
    // Outlines first, scenery lightest, so that the centre lines lie on top.
    cairo_set_dash(cr, nullptr, 0, 0);
    for (const PlanItem& item : scene.items) {
        if (item.outline.empty() || (!item.track && !options.scenery) || !view.Shows(item.bounds)) continue;
        Path(cr, view, item.outline, true);
        if (item.track) {
            cairo_set_source_rgb(cr, 0.93, 0.93, 0.93);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
        } else {
            cairo_set_source_rgb(cr, 0.96, 0.94, 0.88);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.75, 0.7, 0.6);
        }
        cairo_set_line_width(cr, 0.3);
        cairo_stroke(cr);
    }
    const double width = std::clamp(view.scale * 0.15, 0.6, 2.0);
    const double dashes[] = {width * 3, width * 2};
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.1);
    for (const PlanItem& item : scene.items) {
        if (!view.Shows(item.bounds)) continue;
        for (const PlanItem::Line& line : item.lines) {
            if (line.points.size() < 2) continue;
            cairo_set_line_width(cr, line.set ? width : width * 0.7);
            cairo_set_dash(cr, line.set ? nullptr : dashes, line.set ? 0 : 2, 0);
            Path(cr, view, line.points, false);
            cairo_stroke(cr);
        }
    }
    cairo_set_dash(cr, nullptr, 0, 0);
    if (!options.turnoutKeys) return;
    for (const PlanItem& item : scene.items) {
        if (item.key == layout::kNoKey || !view.Shows(item.bounds)) continue;
        const double x = view.X(item.x), y = view.Y(item.z);
        cairo_new_path(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_arc(cr, x, y, 5, 0, 2 * M_PI);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.75, 0.1, 0.1);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        Text(cr, x, y + 2.6, layout::KeyLabel(options.keyLabelStyle, item.key), 7, Align::Centre);
    }
}

// A scale bar of a round length near 40 mm, at (x, y) the bar's lower left.
void DrawScaleBar(cairo_t* cr, double x, double y, double scale, int ratio)
{
    double length = 1;
    const double target = 40.0 * kPointsPerMm / scale;
    for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0})
        if (step <= target) length = step;
    const double barWidth = length * scale;
    cairo_set_line_width(cr, 0.5);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (int i = 0; i < 5; ++i) {
        cairo_rectangle(cr, x + barWidth * i / 5, y - 3, barWidth / 5, 3);
        cairo_set_source_rgb(cr, i % 2 ? 1.0 : 0.1, i % 2 ? 1.0 : 0.1, i % 2 ? 1.0 : 0.1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        cairo_stroke(cr);
    }
    Text(cr, x, y - 5, "0", 6, Align::Centre);
    Text(cr, x + barWidth, y - 5, Coordinate(length), 6, Align::Centre);
    std::string caption = Coordinate(length) + " " + platform::Tr("単位");
    if (ratio > 0) caption += "   " + platform::Tr("縮尺") + " 1:" + std::to_string(ratio);
    Text(cr, x + barWidth + 8, y, caption, 7);
}

void DrawHeader(cairo_t* cr, double pageW, const PlanOptions& options, const std::string& right)
{
    const double top = kMarginMm * kPointsPerMm;
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    Text(cr, top, top + 12, options.title.empty() ? platform::Tr("平面図") : options.title, 12);
    Text(cr, pageW - top, top + 12, options.date + (right.empty() ? "" : "   " + right), 8, Align::Right);
}

struct PageFrame {
    double x = 0, y = 0, w = 0, h = 0; // the plan area
};

PageFrame PlanArea(double pageW, double pageH)
{
    const double m = kMarginMm * kPointsPerMm;
    return {m, m + kHeaderMm * kPointsPerMm, pageW - 2 * m, pageH - 2 * m - (kHeaderMm + kFooterMm) * kPointsPerMm};
}

void DrawPlanPage(cairo_t* cr, const View& view, const Scene& scene, const PlanOptions& options)
{
    cairo_save(cr);
    cairo_rectangle(cr, view.clipX, view.clipY, view.clipW, view.clipH);
    cairo_clip(cr);
    if (options.grid) DrawGrid(cr, view);
    DrawItems(cr, view, scene, options);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_set_line_width(cr, 0.6);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_rectangle(cr, view.clipX, view.clipY, view.clipW, view.clipH);
    cairo_stroke(cr);
}

constexpr double kRowHeight = 14;
// The first row's baseline on a parts-list page.
constexpr double kFirstRowPt = (kMarginMm + kHeaderMm) * kPointsPerMm + 14 + kRowHeight + 2;

std::size_t RowsPerPartsPage(double pageH)
{
    const double room = pageH - kMarginMm * kPointsPerMm - 2 * kRowHeight - kFirstRowPt;
    return static_cast<std::size_t>(std::max(1.0, std::floor(room / kRowHeight) + 1));
}

// The parts list on as many pages as its rows need.
void DrawPartsPages(cairo_t* cr, double pageW, double pageH, const layout::PartsList& list,
                    const PlanOptions& options)
{
    const double m = kMarginMm * kPointsPerMm;
    const double rowHeight = kRowHeight;
    const std::size_t perPage = RowsPerPartsPage(pageH);
    const double columns[] = {m, pageW * 0.55, pageW * 0.66, pageW * 0.80};
    std::size_t next = 0;
    do {
        DrawHeader(cr, pageW, options, platform::Tr("部品表"));
        double y = m + kHeaderMm * kPointsPerMm + 14;
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        Text(cr, columns[0], y, platform::Tr("部品"), 9);
        Text(cr, columns[1] + 40, y, platform::Tr("数"), 9, Align::Right);
        Text(cr, columns[2] + 60, y, platform::Tr("線路長"), 9, Align::Right);
        Text(cr, columns[3], y, platform::Tr("他の進路"), 9);
        cairo_set_line_width(cr, 0.5);
        cairo_move_to(cr, m, y + 4);
        cairo_line_to(cr, pageW - m, y + 4);
        cairo_stroke(cr);
        y += rowHeight + 2;
        for (const std::size_t end = std::min(list.rows.size(), next + perPage); next < end; ++next, y += rowHeight) {
            const layout::PartsListRow& row = list.rows[next];
            Text(cr, columns[0], y, row.name, 9);
            Text(cr, columns[1] + 40, y, std::to_string(row.count), 9, Align::Right);
            Text(cr, columns[2] + 60, y, math::FormatFixed(row.length, 3), 9, Align::Right);
            std::string others;
            for (const double length : row.otherRoutes)
                others += (others.empty() ? "" : " / ") + math::FormatFixed(length, 3);
            Text(cr, columns[3], y, others, 9);
        }
        if (next == list.rows.size()) {
            cairo_move_to(cr, m, y - rowHeight + 4);
            cairo_line_to(cr, pageW - m, y - rowHeight + 4);
            cairo_stroke(cr);
            y += 2;
            Text(cr, columns[0], y, platform::Tr("合計") + " (" + platform::Tr("単位") + ")", 9);
            Text(cr, columns[1] + 40, y, std::to_string(list.totalCount), 9, Align::Right);
            Text(cr, columns[2] + 60, y, math::FormatFixed(list.totalLength, 3), 9, Align::Right);
            if (options.scale > 0)
                Text(cr, columns[3], y,
                     math::FormatFixed(list.totalLength * 1000.0 / options.scale, 1) + " mm (1:" +
                         std::to_string(options.scale) + ")",
                     9);
        }
        cairo_show_page(cr);
    } while (next < list.rows.size());
}

struct Tiling {
    View whole;     // the plan as one picture, origin at (0, 0)
    int columns = 1;
    int rows = 1;
    double stepX = 0, stepY = 0;
};

// A page of the tiled plan: the plan area shows the part of the whole picture at (c, r).
View TileView(const Tiling& tiling, const PageFrame& area, int column, int row)
{
    View view = tiling.whole;
    view.originX = area.x - column * tiling.stepX;
    view.originY = area.y - row * tiling.stepY;
    view.clipX = area.x, view.clipY = area.y, view.clipW = area.w, view.clipH = area.h;
    return view;
}

void DrawOverlapMarks(cairo_t* cr, const PageFrame& area, const Tiling& tiling, int column, int row)
{
    const double o = kPlanOverlapMm * kPointsPerMm;
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.8);
    cairo_set_line_width(cr, 0.5);
    const double dash[] = {3, 2};
    cairo_set_dash(cr, dash, 2, 0);
    // The overlap strips: the right and bottom strips are repeated on the next page's left and top.
    if (column + 1 < tiling.columns) {
        cairo_move_to(cr, area.x + area.w - o, area.y);
        cairo_line_to(cr, area.x + area.w - o, area.y + area.h);
    }
    if (column > 0) {
        cairo_move_to(cr, area.x + o, area.y);
        cairo_line_to(cr, area.x + o, area.y + area.h);
    }
    if (row + 1 < tiling.rows) {
        cairo_move_to(cr, area.x, area.y + area.h - o);
        cairo_line_to(cr, area.x + area.w, area.y + area.h - o);
    }
    if (row > 0) {
        cairo_move_to(cr, area.x, area.y + o);
        cairo_line_to(cr, area.x + area.w, area.y + o);
    }
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

// Row and column from 1, top left first: "3-5".
std::string TileName(int column, int row)
{
    return std::to_string(row + 1) + "-" + std::to_string(column + 1);
}

View FitView(const Box& extent, const PageFrame& area)
{
    View view;
    view.scale = std::min(area.w / std::max(extent.Width(), 1e-6), area.h / std::max(extent.Depth(), 1e-6));
    view.left = extent.minX, view.top = extent.maxZ;
    view.originX = area.x + (area.w - extent.Width() * view.scale) / 2;
    view.originY = area.y + (area.h - extent.Depth() * view.scale) / 2;
    view.clipX = area.x, view.clipY = area.y, view.clipW = area.w, view.clipH = area.h;
    return view;
}

void DrawPageMap(cairo_t* cr, double pageW, double pageH, const Scene& scene, const Tiling& tiling,
                 const PlanOptions& options, int pages)
{
    const PageFrame area = PlanArea(pageW, pageH);
    DrawHeader(cr, pageW, options, "1 / " + std::to_string(pages) + "  " + platform::Tr("ページ割り"));
    // The whole tiled picture, shrunk onto this page, with each page's window.
    const double wholeW = tiling.stepX * tiling.columns + kPlanOverlapMm * kPointsPerMm;
    const double wholeH = tiling.stepY * tiling.rows + kPlanOverlapMm * kPointsPerMm;
    const double shrink = std::min(area.w / wholeW, area.h / wholeH);
    View view = tiling.whole;
    view.scale *= shrink;
    view.originX = area.x, view.originY = area.y;
    view.clipX = area.x, view.clipY = area.y, view.clipW = wholeW * shrink, view.clipH = wholeH * shrink;
    DrawPlanPage(cr, view, scene, options);
    cairo_set_source_rgb(cr, 0.2, 0.4, 0.8);
    cairo_set_line_width(cr, 0.8);
    const double tileW = (tiling.stepX + kPlanOverlapMm * kPointsPerMm) * shrink;
    const double tileH = (tiling.stepY + kPlanOverlapMm * kPointsPerMm) * shrink;
    for (int r = 0; r < tiling.rows; ++r) {
        for (int c = 0; c < tiling.columns; ++c) {
            const double x = area.x + c * tiling.stepX * shrink, y = area.y + r * tiling.stepY * shrink;
            cairo_rectangle(cr, x, y, tileW, tileH);
            cairo_stroke(cr);
            // Small windows show only their page number.
            const std::string page = std::to_string(2 + r * tiling.columns + c);
            Text(cr, x + tileW / 2, y + tileH / 2, tileW < 60 ? page : TileName(c, r) + " (" + page + ")",
                 std::clamp(tileH / 5, 3.0, 14.0), Align::Centre);
        }
    }
    DrawScaleBar(cr, area.x, pageH - kMarginMm * kPointsPerMm - 2, view.scale, 0);
    cairo_show_page(cr);
}

bool EndsWith(std::string_view text, std::string_view tail)
{
    if (text.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
    return true;
}

struct StreamTarget {
    const platform::ChunkWriter* write = nullptr;
    bool failed = false;
};

cairo_status_t WriteChunk(void* closure, const unsigned char* data, unsigned int length)
{
    auto* target = static_cast<StreamTarget*>(closure);
    if (target->failed || !(*target->write)(std::string_view(reinterpret_cast<const char*>(data), length))) {
        target->failed = true;
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

platform::Result<int> ParsePlanScale(std::string_view text)
{
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ')
        digits.remove_suffix(1);
    if (digits.starts_with("1:") || digits.starts_with("1/")) digits.remove_prefix(2);
    const std::string shown(text);
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return platform::Fail("the scale \"" + shown + "\" is not a number (give N of 1:N, as 87)");
    const int value = std::stoi(std::string(digits));
    if (value < 1 || value > kMaxPlanScale)
        return platform::Fail("the scale 1:" + std::string(digits) + " is outside 1:1 to 1:" +
                              std::to_string(kMaxPlanScale));
    return value;
}

platform::Result<PlanExportResult> ExportPlan(const layout::CLayout& layout, const std::string& path,
                                              const PlanOptions& options)
{
    const bool pdf = EndsWith(path, ".pdf");
    if (!pdf && !EndsWith(path, ".svg")) return platform::Fail("the plan's file must end in .pdf or .svg: " + path);
    if (options.scale < 0 || options.scale > kMaxPlanScale)
        return platform::Fail("the scale 1:" + std::to_string(options.scale) + " is outside 1:1 to 1:" +
                              std::to_string(kMaxPlanScale));

    const Scene scene = CollectScene(layout);
    const layout::PartsList parts = layout::MakePartsList(layout);
    const auto paper = PaperSize(options, scene.extent);
    double pageW = paper.first;
    double pageH = paper.second;
    PageFrame area = PlanArea(pageW, pageH);

    PlanExportResult result;
    result.empty = scene.empty;
    Tiling tiling;
    View fitted = FitView(scene.extent, area);
    if (options.scale > 0) {
        View& whole = tiling.whole;
        whole.scale = 1000.0 / options.scale * kPointsPerMm;
        whole.left = scene.extent.minX, whole.top = scene.extent.maxZ;
        const double planW = scene.extent.Width() * whole.scale, planH = scene.extent.Depth() * whole.scale;
        const double overlap = kPlanOverlapMm * kPointsPerMm;
        if (!pdf) {
            // An SVG is one sheet: as large as the plan needs at this scale.
            pageW = std::max(pageW, planW + 2 * kMarginMm * kPointsPerMm);
            pageH = std::max(pageH, planH + 2 * kMarginMm * kPointsPerMm + (kHeaderMm + kFooterMm) * kPointsPerMm);
            area = PlanArea(pageW, pageH);
        } else {
            tiling.stepX = area.w - overlap, tiling.stepY = area.h - overlap;
            tiling.columns = planW <= area.w ? 1 : static_cast<int>(std::ceil((planW - overlap) / tiling.stepX));
            tiling.rows = planH <= area.h ? 1 : static_cast<int>(std::ceil((planH - overlap) / tiling.stepY));
        }
        // Centred when it fits on one sheet; from the top left corner when tiled.
        fitted = whole;
        fitted.clipX = area.x, fitted.clipY = area.y, fitted.clipW = area.w, fitted.clipH = area.h;
        fitted.originX = area.x + std::max(0.0, (area.w - planW) / 2);
        fitted.originY = area.y + std::max(0.0, (area.h - planH) / 2);
        if (tiling.columns * tiling.rows > 1) {
            whole.originX = 0, whole.originY = 0;
        }
    }
    result.tiles = tiling.columns * tiling.rows;
    constexpr int kMaxTiles = 20000;
    if (result.tiles > kMaxTiles)
        return platform::Fail("at 1:" + std::to_string(options.scale) + " the plan would take " +
                              std::to_string(result.tiles) + " pages; choose a smaller scale");
    const bool tiled = result.tiles > 1;
    const int planPages = tiled ? result.tiles + 1 : 1;
    const std::size_t perPartsPage = RowsPerPartsPage(pageH);
    const int partsPages =
        pdf ? std::max(1, static_cast<int>((parts.rows.size() + perPartsPage - 1) / perPartsPage)) : 0;
    result.pages = planPages + partsPages;

    std::string cairoError;
    const platform::Status written = platform::ReplaceFile(path, [&](const platform::ChunkWriter& write) {
        StreamTarget target{&write};
        cairo_surface_t* surface = pdf ? cairo_pdf_surface_create_for_stream(WriteChunk, &target, pageW, pageH)
                                       : cairo_svg_surface_create_for_stream(WriteChunk, &target, pageW, pageH);
        if (pdf) {
            cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE,
                                           (options.title.empty() ? platform::Tr("平面図") : options.title).c_str());
            cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "KORVELA");
        }
        cairo_t* cr = cairo_create(surface);
        const std::string scaleText =
            options.scale > 0 ? "1:" + std::to_string(options.scale) : platform::Tr("用紙に合わせる");
        if (!tiled) {
            DrawHeader(cr, pageW, options, scaleText);
            DrawPlanPage(cr, fitted, scene, options);
            DrawScaleBar(cr, area.x, pageH - kMarginMm * kPointsPerMm - 2, fitted.scale, options.scale);
            cairo_show_page(cr);
        } else {
            DrawPageMap(cr, pageW, pageH, scene, tiling, options, result.pages);
            for (int r = 0; r < tiling.rows; ++r) {
                for (int c = 0; c < tiling.columns; ++c) {
                    DrawHeader(cr, pageW, options,
                               scaleText + "   " + TileName(c, r) + "   " +
                                   std::to_string(2 + r * tiling.columns + c) + " / " + std::to_string(result.pages));
                    const View view = TileView(tiling, area, c, r);
                    DrawPlanPage(cr, view, scene, options);
                    DrawOverlapMarks(cr, area, tiling, c, r);
                    DrawScaleBar(cr, area.x, pageH - kMarginMm * kPointsPerMm - 2, view.scale, options.scale);
                    cairo_show_page(cr);
                }
            }
        }
        if (pdf) DrawPartsPages(cr, pageW, pageH, parts, options);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        const cairo_status_t status = cairo_surface_status(surface);
        cairo_surface_destroy(surface);
        if (status != CAIRO_STATUS_SUCCESS && !target.failed) cairoError = cairo_status_to_string(status);
        return status == CAIRO_STATUS_SUCCESS && !target.failed;
    });
    if (!written) {
        return platform::Fail(cairoError.empty() ? written.error() : path + ": " + cairoError);
    }
    return result;
}

} // namespace plan
