// A scripted session of a headless run: one user action a line, read by a parser that knows
// nothing of the program, so that a bad script is refused before anything runs.
//
//   frames N                          N passes of the main loop (Start is pressed first)
//   key NAME...                       keys down for one pass, then up
//   hold NAME FROM-TO | hold NAME F   a key held on those passes (counted from 0, as --keys)
//   click X Y [shift] [ctrl] [alt]    the left button in the render view, pixels of --size
//   drag X1 Y1 X2 Y2 [mods]           left button down, moved, released; rdrag and mdrag with
//   rdrag ... / mdrag ...             the right and middle buttons (camera navigation)
//   wheel N                           N notches of the wheel over the view (up positive)
//   menu ID                           a menu or tool-bar command by its id
//   undo, redo                        the edit menu's "元に戻す" and "やり直し"
//   set settings:ID VALUE             a control set as a user would; objects:ID likewise
//   button objects:ID                 a dialog button pressed (settings:ID too)
//   type objects:ID TEXT              text typed into an edit box (the rest of the line)
//   row N [ctrl]                      a click on row N of the placed-object list
//   select INDEX...                   placed objects selected by record index
//   load-map FILE, save-map FILE, import-map FILE, report FILE, screenshot FILE
//   check-layout FILE                 the layout check's findings written as JSON
//   mend-joints                       the check window's "継ぎ目を合わせる"
//   parts-list FILE                   the parts list written as CSV
//   export-plan FILE [SCALE]          the plan written as PDF or SVG, at 1:SCALE or fitted
//   measure X1 Y1 X2 Y2               the ruler's two clicks, pixels of --size as click
//   pause on|off                      "一時停止": paused passes simulate nothing
//   speed 1|2|4|8                     the pass rate of "早送り" (the report says it)
//   attach [flip]                     "つなぐ" (Insert; flip: Shift+Insert)
//   end N                             the selected piece's N-th open end made current
//   protect on|off, auto SLOT on|off, cruise SLOT KMH, shuttle SLOT on|off
//                                     the operation of the layout and of a train slot
//   stop-mark INDEX SECONDS           a placed piece marked as part of a stop (0 removes)
//   stop-terminus INDEX on|off        the marked piece's stop a terminus: shuttles turn back there
//   itinerary SLOT INDEX...           the stops a slot's train visits in turn
//
// '#' at the start of a line or after a blank starts a comment; blank lines are skipped.
#pragma once

#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace app {

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool operator==(const Modifiers&) const = default;
};

enum class ScriptDialog { Settings, Objects };

struct Action {
    enum class Kind {
        Frames,
        Key,
        Hold,
        Click,
        Drag,
        RightDrag,
        MiddleDrag,
        Wheel,
        Menu,
        Undo,
        Redo,
        Set,
        Button,
        Type,
        Row,
        Select,
        LoadMap,
        SaveMap,
        ImportMap,
        ObjectFolder,
        Report,
        Screenshot,
        CheckLayout,
        MendJoints,
        PartsList,
        ExportPlan,
        Measure,
        Pause,
        Speed,
        Attach,
        End,
        Protect,
        Auto,
        Cruise,
        Shuttle,
        StopMark,
        StopTerminus,
        Itinerary,
    };

    Kind kind = Kind::Frames;
    int line = 0; // 1-based line of the script
    // Frames: count; Key: key codes; Hold: key, from, to; Click: x, y; drags: x1, y1, x2, y2;
    // Wheel: notches; Menu: id; Set: id, value; Button, Type: id; Row: row; Select: indices;
    // ExportPlan: the scale (none when fitted); Pause: 1 on, 0 off; Speed: the rate; Attach: 1 for
    // flip, else 0; End: the open end; Protect: 1 on; Auto, Shuttle: slot, 1 on; Cruise: slot,
    // km/h; StopMark: index, seconds; StopTerminus: index, 1 on; Itinerary: slot, then the stops' indices.
    std::vector<int> numbers;
    Modifiers modifiers{};
    ScriptDialog dialog = ScriptDialog::Settings;
    std::string text{}; // Type: the text; the file actions: the path
    bool operator==(const Action&) const = default;

    // Whether the action runs passes of the main loop (Start must have been pressed).
    bool RunsPasses() const;
};

// The whole script, or the first bad line as "line N: reason".
platform::Result<std::vector<Action>> ParseActions(std::string_view text);
// The script file read and parsed; a file too large to be a script is refused unread.
platform::Result<std::vector<Action>> ReadActionScript(const std::string& path);

// The script format, for --help.
std::string ActionsUsage();

} // namespace app
