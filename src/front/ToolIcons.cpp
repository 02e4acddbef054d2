#include "front/ToolIcons.h"

#include "ui/CommandIds.h"

#include <algorithm>
#include <array>
#include <string>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

namespace front {

namespace {

namespace cmd = ui::cmd;

// Drawn on this colour, which then becomes transparent.
const wxColour kKey(255, 0, 255);
const wxColour kOutline(40, 40, 40);
const wxColour kRail(90, 90, 90);
const wxColour kSleeper(150, 100, 60);
const wxColour kGround(120, 80, 50);

// Digits three pixels wide and five high, one row per entry, bit 2 the leftmost pixel.
constexpr std::array<std::array<int, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7}, // 0
    {2, 6, 2, 2, 7}, // 1
    {7, 1, 7, 4, 7}, // 2
    {7, 1, 7, 1, 7}, // 3
    {5, 5, 7, 1, 1}, // 4
    {7, 4, 7, 1, 7}, // 5
    {7, 4, 7, 5, 7}, // 6
    {7, 1, 1, 1, 1}, // 7
    {7, 5, 7, 5, 7}, // 8
    {7, 5, 7, 1, 7}, // 9
}};

void Box(wxDC& dc, int x, int y, int w, int h, const wxColour& fill, const wxColour& line = kOutline)
{
    dc.SetPen(wxPen(line));
    dc.SetBrush(wxBrush(fill));
    dc.DrawRectangle(x, y, w, h);
}

void Line(wxDC& dc, int x1, int y1, int x2, int y2, const wxColour& colour, int width = 1)
{
    dc.SetPen(wxPen(colour, width));
    dc.DrawLine(x1, y1, x2, y2);
}

void DrawNumber(wxDC& dc, int number, int y, const wxColour& colour)
{
    const std::string digits = std::to_string(number);
    constexpr int scale = 2;
    const int width = static_cast<int>(digits.size()) * 3 * scale + (static_cast<int>(digits.size()) - 1);
    int x = (kToolIconSize - width) / 2;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    for (const char digit : digits) {
        const auto& rows = kDigits[static_cast<std::size_t>(digit - '0')];
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (rows[static_cast<std::size_t>(row)] & (4 >> column))
                    dc.DrawRectangle(x + column * scale, y + row * scale, scale, scale);
            }
        }
        x += 3 * scale + 1;
    }
}

void DrawCar(wxDC& dc, int x, int width, const wxColour& body)
{
    Box(dc, x, 5, width, 6, body);
    for (int window = x + 2; window + 2 < x + width; window += 3)
        Box(dc, window, 6, 2, 2, wxColour(220, 240, 255), wxColour(220, 240, 255));
    Box(dc, x + 1, 11, 2, 2, kOutline);
    Box(dc, x + width - 3, 11, 2, 2, kOutline);
}

void DrawLoad(wxDC& dc)
{
    const wxColour folder(240, 200, 60);
    Box(dc, 1, 3, 6, 3, folder);
    Box(dc, 1, 5, 12, 9, folder);
    // The open flap in front.
    const wxPoint flap[] = {{3, 8}, {15, 8}, {13, 13}, {1, 13}};
    dc.SetPen(wxPen(kOutline));
    dc.SetBrush(wxBrush(wxColour(255, 225, 110)));
    dc.DrawPolygon(4, flap);
}

void DrawSave(wxDC& dc)
{
    Box(dc, 1, 1, 14, 14, wxColour(50, 80, 160));
    Box(dc, 4, 1, 8, 5, wxColour(210, 210, 210));
    Box(dc, 9, 2, 2, 3, wxColour(50, 80, 160), wxColour(50, 80, 160));
    Box(dc, 3, 9, 10, 6, *wxWHITE);
}

void DrawCreateMap(wxDC& dc)
{
    for (int at = 2; at <= 14; at += 4) {
        Line(dc, at, 1, at, 15, wxColour(170, 190, 220));
        Line(dc, 1, at, 15, at, wxColour(170, 190, 220));
    }
    // A pencil across the grid, point down to the left.
    Line(dc, 4, 12, 13, 3, kOutline, 4);
    Line(dc, 4, 12, 13, 3, wxColour(250, 200, 40), 2);
    Line(dc, 12, 4, 13, 3, wxColour(230, 120, 140), 2);
    Line(dc, 2, 14, 4, 12, kOutline, 2);
}

void DrawRail(wxDC& dc)
{
    Line(dc, 0, 14, 15, 14, kRail);
}

void DrawGrid(wxDC& dc)
{
    for (int at = 1; at <= 15; at += 7) {
        Line(dc, at, 1, at, 15, wxColour(40, 90, 170));
        Line(dc, 1, at, 15, at, wxColour(40, 90, 170));
    }
    for (int at = 4; at <= 12; at += 7) {
        Line(dc, at, 1, at, 15, wxColour(150, 180, 220));
        Line(dc, 1, at, 15, at, wxColour(150, 180, 220));
    }
}

void DrawMagnet(wxDC& dc)
{
    const wxColour red(210, 40, 40);
    dc.SetPen(wxPen(red, 4));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawEllipticArc(3, 4, 10, 10, 180, 360);
    Box(dc, 2, 2, 4, 7, red, red);
    Box(dc, 10, 2, 4, 7, red, red);
    Box(dc, 2, 1, 4, 3, wxColour(200, 200, 200));
    Box(dc, 10, 1, 4, 3, wxColour(200, 200, 200));
}

void DrawCurve(wxDC& dc)
{
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    for (int sleeper = 0; sleeper < 4; ++sleeper) {
        const int x = 3 + sleeper * 3;
        const int y = 14 - sleeper * sleeper;
        Line(dc, x - 1, y - 2, x + 1, y + 2, kSleeper, 2);
    }
    dc.SetPen(wxPen(kRail, 2));
    dc.DrawEllipticArc(-12, 3, 26, 26, 0, 90);
    dc.DrawEllipticArc(-7, 8, 18, 18, 0, 90);
}

void DrawHeight(wxDC& dc)
{
    Line(dc, 1, 14, 10, 7, kRail, 2);
    Line(dc, 1, 15, 15, 15, kGround);
    const wxColour arrow(30, 140, 60);
    Line(dc, 13, 13, 13, 2, arrow, 2);
    const wxPoint head[] = {{13, 0}, {16, 5}, {10, 5}};
    dc.SetPen(wxPen(arrow));
    dc.SetBrush(wxBrush(arrow));
    dc.DrawPolygon(3, head);
}

void DrawPoint(wxDC& dc, int number)
{
    DrawNumber(dc, number, 1, wxColour(20, 100, 40));
    // A turnout under the number: the straight road and the branch leaving it.
    Line(dc, 0, 14, 15, 14, kRail);
    Line(dc, 5, 14, 14, 12, kRail);
}

// A hooked arrow: a half turn over the top, its head at the bottom on the left (undo) or
// on the right (redo).
void DrawTurnBack(wxDC& dc, bool forward)
{
    const wxColour colour(60, 80, 120);
    const auto x = [forward](int at) { return forward ? kToolIconSize - 1 - at : at; };
    dc.SetPen(wxPen(colour, 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawEllipticArc(3, 3, 10, 9, forward ? 90 : -90, forward ? 270 : 90);
    Line(dc, x(3), 11, x(8), 11, colour, 2);
    const wxPoint head[] = {{x(1), 11}, {x(6), 7}, {x(6), 15}};
    dc.SetPen(wxPen(colour));
    dc.SetBrush(wxBrush(colour));
    dc.DrawPolygon(3, head);
}

void DrawPause(wxDC& dc)
{
    const wxColour colour(60, 80, 120);
    Box(dc, 4, 3, 3, 10, colour, colour);
    Box(dc, 9, 3, 3, 10, colour, colour);
}

void DrawFastForward(wxDC& dc)
{
    const wxColour colour(60, 80, 120);
    dc.SetPen(wxPen(colour));
    dc.SetBrush(wxBrush(colour));
    const wxPoint first[] = {{2, 3}, {8, 8}, {2, 13}};
    const wxPoint second[] = {{8, 3}, {14, 8}, {8, 13}};
    dc.DrawPolygon(3, first);
    dc.DrawPolygon(3, second);
}

// "全体を表示": the layout seen from above, a loop of track on the ground.
void DrawWholeLayout(wxDC& dc)
{
    Box(dc, 1, 2, 14, 12, wxColour(110, 170, 90));
    dc.SetPen(wxPen(wxColour(70, 60, 50), 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(4, 5, 8, 6, 2);
}

// "計測": a ruler lying across the icon, its marks along the lower edge.
void DrawRuler(wxDC& dc)
{
    const wxColour edge(120, 90, 30);
    Box(dc, 0, 5, 16, 7, wxColour(235, 205, 120), edge);
    for (int x = 2; x < 15; x += 3) Line(dc, x, 11, x, x % 6 == 2 ? 7 : 9, edge);
}

// "運転管理": a signal, its red and green lamps.
void DrawSignal(wxDC& dc)
{
    Line(dc, 8, 10, 8, 15, kRail, 2);
    Box(dc, 4, 0, 8, 11, wxColour(50, 50, 50));
    Box(dc, 6, 1, 4, 4, wxColour(220, 40, 40), wxColour(220, 40, 40));
    Box(dc, 6, 6, 4, 4, wxColour(40, 200, 80), wxColour(40, 200, 80));
}

void DrawFallback(wxDC& dc)
{
    Box(dc, 3, 3, 10, 10, wxColour(200, 200, 200));
}

} // namespace

wxBitmap ToolIcon(int commandId)
{
    wxBitmap bitmap(kToolIconSize, kToolIconSize, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(kKey));
        dc.Clear();
        // Hard edges: the key colour must not bleed into the glyphs.
        if (wxGraphicsContext* context = dc.GetGraphicsContext()) context->SetAntialiasMode(wxANTIALIAS_NONE);

        const auto point = std::find(cmd::kToolPoints.begin(), cmd::kToolPoints.end(), commandId);
        if (point != cmd::kToolPoints.end()) {
            DrawPoint(dc, static_cast<int>(point - cmd::kToolPoints.begin()) + 1);
        } else {
            switch (commandId) {
            case cmd::kToolLoadMap:
                DrawLoad(dc);
                break;
            case cmd::kToolSaveMap:
                DrawSave(dc);
                break;
            case cmd::kToolUndo:
            case cmd::kToolRedo:
                DrawTurnBack(dc, commandId == cmd::kToolRedo);
                break;
            case cmd::kToolCreateMap:
                DrawCreateMap(dc);
                break;
            case cmd::kToolMoveCar:
                DrawCar(dc, 3, 10, wxColour(200, 50, 50));
                DrawRail(dc);
                break;
            case cmd::kToolMoveTrain:
                DrawCar(dc, 0, 7, wxColour(40, 120, 200));
                DrawCar(dc, 8, 7, wxColour(40, 120, 200));
                DrawRail(dc);
                break;
            case cmd::kToolGrid:
                DrawGrid(dc);
                break;
            case cmd::kToolMagnet:
                DrawMagnet(dc);
                break;
            case cmd::kToolCurveDetection:
                DrawCurve(dc);
                break;
            case cmd::kToolHeightDetection:
                DrawHeight(dc);
                break;
            case cmd::kToolPause:
                DrawPause(dc);
                break;
            case cmd::kToolFastForward:
                DrawFastForward(dc);
                break;
            case cmd::kToolWholeLayout:
                DrawWholeLayout(dc);
                break;
            case cmd::kToolMeasure:
                DrawRuler(dc);
                break;
            case cmd::kToolOperation:
                DrawSignal(dc);
                break;
            default:
                DrawFallback(dc);
                break;
            }
        }
    }

    wxImage image = bitmap.ConvertToImage();
    image.InitAlpha();
    for (int y = 0; y < kToolIconSize; ++y) {
        for (int x = 0; x < kToolIconSize; ++x) {
            const bool key = image.GetRed(x, y) == kKey.Red() && image.GetGreen(x, y) == kKey.Green() &&
                             image.GetBlue(x, y) == kKey.Blue();
            image.SetAlpha(x, y, key ? wxIMAGE_ALPHA_TRANSPARENT : wxIMAGE_ALPHA_OPAQUE);
        }
    }
    return wxBitmap(image);
}

} // namespace front
