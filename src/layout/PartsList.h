// The parts list: how many of each type the layout uses and how much track that is. One row per
// used type in catalogue order; a type's track length is the length of its route 0 line times
// its count, and a turnout's other routes are counted apart (they share the piece's ground).
// When objects are selected, each row also counts the selected ones alone.
#pragma once

#include <string>
#include <vector>

namespace layout {

class CLayout;
class TrackShapes;

struct PartsListRow {
    int type = 0;
    std::string name;
    int count = 0;
    double length = 0;              // route 0's line length × count
    std::vector<double> otherRoutes; // route 1, 2, ...: line length × count
    int selectedCount = 0;
    double selectedLength = 0;
    std::vector<double> selectedOtherRoutes;
};

struct PartsList {
    std::vector<PartsListRow> rows; // catalogue order, used types only
    int totalCount = 0;
    double totalLength = 0;
    bool hasSelection = false;
    int selectedCount = 0;
    double selectedLength = 0;
};

// The length of a type's route line (all its chains of that route), along the line; 0 for a
// type without track or without that route.
double RouteLength(const TrackShapes& shapes, int type, int route);

PartsList MakePartsList(const CLayout& layout, const TrackShapes& shapes);
PartsList MakePartsList(const CLayout& layout);

// The cells of the list's lines as the CSV and the clipboard text hold them: one line per row
// and the "合計" line last (no header). With a scale, the two model lengths in millimetres follow.
std::vector<std::vector<std::string>> PartsListCells(const PartsList& list, int scale = 0);

// UTF-8 CSV with a header line, one line per row and a last "合計" line; lengths in world units
// with three decimals, other routes' lengths joined by ';'. With a scale (1:scale, one unit a
// metre) the lengths in millimetres of the model follow.
std::string PartsListCsv(const PartsList& list, int scale = 0);
// The same columns separated by tabs, for the clipboard.
std::string PartsListTabText(const PartsList& list, int scale = 0);

} // namespace layout
