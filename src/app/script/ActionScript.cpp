#include "app/script/ActionScript.h"

#include "app/script/HeadlessOptions.h"
#include "plan/PlanExport.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace app {

namespace {

using Kind = Action::Kind;

// Beyond these a typing error is likelier than a wish.
constexpr int kMaxCoordinate = 16384;
constexpr int kMaxNotches = 1000;

struct Line {
    std::string_view rest; // the line after its first word, comment and blanks cut off
    std::vector<std::string_view> words;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view WithoutComment(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '#' && (i == 0 || IsBlank(text[i - 1]))) return text.substr(0, i);
    }
    return text;
}

Line Split(std::string_view text)
{
    Line line;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        if (pos >= text.size()) break;
        std::size_t end = pos;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        if (line.words.empty()) line.rest = Trim(text.substr(end));
        line.words.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return line;
}

struct KindName {
    std::string_view name;
    Kind kind;
};

constexpr std::array<KindName, 38> kKinds = {{
    {"frames", Kind::Frames},
    {"key", Kind::Key},
    {"hold", Kind::Hold},
    {"click", Kind::Click},
    {"drag", Kind::Drag},
    {"rdrag", Kind::RightDrag},
    {"mdrag", Kind::MiddleDrag},
    {"wheel", Kind::Wheel},
    {"menu", Kind::Menu},
    {"undo", Kind::Undo},
    {"redo", Kind::Redo},
    {"set", Kind::Set},
    {"button", Kind::Button},
    {"type", Kind::Type},
    {"row", Kind::Row},
    {"select", Kind::Select},
    {"load-map", Kind::LoadMap},
    {"save-map", Kind::SaveMap},
    {"import-map", Kind::ImportMap},
    {"object-folder", Kind::ObjectFolder},
    {"report", Kind::Report},
    {"screenshot", Kind::Screenshot},
    {"check-layout", Kind::CheckLayout},
    {"mend-joints", Kind::MendJoints},
    {"parts-list", Kind::PartsList},
    {"export-plan", Kind::ExportPlan},
    {"measure", Kind::Measure},
    {"pause", Kind::Pause},
    {"speed", Kind::Speed},
    {"attach", Kind::Attach},
    {"end", Kind::End},
    {"protect", Kind::Protect},
    {"auto", Kind::Auto},
    {"cruise", Kind::Cruise},
    {"shuttle", Kind::Shuttle},
    {"stop-mark", Kind::StopMark},
    {"stop-terminus", Kind::StopTerminus},
    {"itinerary", Kind::Itinerary},
}};

// Reads the words of one line into action; the reason when they do not fit its kind.
class LineReader {
  public:
    LineReader(const Line& line, Action& action) : line_(line), action_(action) {}

    platform::Status Read()
    {
        const std::string_view name = line_.words[0];
        switch (action_.kind) {
        case Kind::Frames:
            return Counted(1, 1) && Number(1, 0, kMaxFrames, "frame count") ? Done() : Fail();
        case Kind::Key:
            if (Args() < 1) return Reason("key needs at least one key name");
            for (std::size_t i = 1; i < line_.words.size(); ++i) {
                if (!KeyName(i)) return Fail();
            }
            return Done();
        case Kind::Hold: {
            if (!Counted(2, 2) || !KeyName(1)) return Fail();
            const auto range = ParseFrameRange(line_.words[2]);
            if (!range)
                return Reason("bad frames \"" + std::string(line_.words[2]) + "\" (FROM-TO or FRAME)");
            action_.numbers.push_back(range->first);
            action_.numbers.push_back(range->second);
            return Done();
        }
        case Kind::Click:
            return Points(2) ? Done() : Fail();
        case Kind::Drag:
        case Kind::Measure:
        case Kind::RightDrag:
        case Kind::MiddleDrag:
            return Points(4) ? Done() : Fail();
        case Kind::Wheel:
            if (!Counted(1, 1) || !Number(1, -kMaxNotches, kMaxNotches, "notch count")) return Fail();
            if (action_.numbers[0] == 0) return Reason("wheel needs a non-zero notch count");
            return Done();
        case Kind::Menu:
            return Counted(1, 1) && Number(1, 1, 65535, "command id") ? Done() : Fail();
        case Kind::Undo:
        case Kind::Redo:
        case Kind::MendJoints:
            return Counted(0, 0) ? Done() : Fail();
        case Kind::Attach:
            if (!Counted(0, 1)) return Fail();
            if (Args() == 1 && line_.words[1] != "flip")
                return Reason("attach takes only flip, not \"" + std::string(line_.words[1]) + "\"");
            action_.numbers.push_back(Args() == 1 ? 1 : 0);
            return Done();
        case Kind::End:
            return Counted(1, 1) && Number(1, 0, 1000, "end") ? Done() : Fail();
        case Kind::Set:
            return Counted(2, 2) && Control(1) && Number(2, -1000000, 1000000, "value") ? Done() : Fail();
        case Kind::Button:
            return Counted(1, 1) && Control(1) ? Done() : Fail();
        case Kind::Type: {
            if (Args() < 1 || !Control(1)) return Args() < 1 ? Reason("type needs a control") : Fail();
            // The text is the rest of the line after the control, blanks inside kept.
            const std::string_view afterControl = line_.rest.substr(line_.words[1].size());
            action_.text = std::string(Trim(afterControl));
            return Done();
        }
        case Kind::Row: {
            if (Args() < 1 || Args() > 2) return Reason("row takes a row number and an optional ctrl");
            if (!Number(1, 0, 1000000, "row")) return Fail();
            if (Args() == 2) {
                if (line_.words[2] != "ctrl")
                    return Reason("row takes only ctrl, not \"" + std::string(line_.words[2]) + "\"");
                action_.modifiers.ctrl = true;
            }
            return Done();
        }
        case Kind::Select:
            if (Args() < 1) return Reason("select needs at least one record index");
            for (std::size_t i = 1; i < line_.words.size(); ++i) {
                if (!Number(i, 0, 1000000, "record index")) return Fail();
            }
            return Done();
        case Kind::Pause:
            if (Args() != 1 || (line_.words[1] != "on" && line_.words[1] != "off"))
                return Reason("pause takes on or off");
            action_.numbers.push_back(line_.words[1] == "on" ? 1 : 0);
            return Done();
        case Kind::Protect:
            return Counted(1, 1) && Switch(1) ? Done() : Fail();
        case Kind::Auto:
        case Kind::Shuttle:
            return Counted(2, 2) && Number(1, 1, 6, "slot") && Switch(2) ? Done() : Fail();
        case Kind::Cruise:
            return Counted(2, 2) && Number(1, 1, 6, "slot") && Number(2, 0, 1000, "km/h") ? Done() : Fail();
        case Kind::StopMark:
            return Counted(2, 2) && Number(1, 0, 1000000, "record index") &&
                           Number(2, 0, 24 * 3600, "seconds")
                       ? Done()
                       : Fail();
        case Kind::StopTerminus:
            return Counted(2, 2) && Number(1, 0, 1000000, "record index") && Switch(2) ? Done() : Fail();
        case Kind::Itinerary:
            if (Args() < 1) return Reason("itinerary needs a slot");
            for (std::size_t i = 1; i < line_.words.size(); ++i) {
                if (!Number(i, i == 1 ? 1 : 0, i == 1 ? 6 : 1000000, i == 1 ? "slot" : "record index")) return Fail();
            }
            return Done();
        case Kind::Speed:
            if (!Counted(1, 1) || !Number(1, 1, 8, "speed")) return Fail();
            // A power of two: 1, 2, 4 or 8.
            if ((action_.numbers[0] & (action_.numbers[0] - 1)) != 0) return Reason("speed takes 1, 2, 4 or 8");
            return Done();
        case Kind::LoadMap:
        case Kind::SaveMap:
        case Kind::ImportMap:
        case Kind::ObjectFolder:
        case Kind::Report:
        case Kind::Screenshot:
        case Kind::CheckLayout:
        case Kind::PartsList:
            if (line_.rest.empty()) return Reason(std::string(name) + " needs a file name");
            action_.text = std::string(line_.rest);
            return Done();
        case Kind::ExportPlan:
            return PlanFile() ? Done() : Fail();
        }
        return Reason("unknown action");
    }

  private:
    std::size_t Args() const { return line_.words.size() - 1; }

    platform::Status Done() { return platform::Ok{}; }
    platform::Status Fail() { return platform::Fail(reason_); }
    platform::Status Reason(std::string reason) { return platform::Fail(std::move(reason)); }

    bool Set(std::string reason)
    {
        reason_ = std::move(reason);
        return false;
    }

    bool Counted(std::size_t least, std::size_t most)
    {
        if (Args() >= least && Args() <= most) return true;
        const std::string name(line_.words[0]);
        if (least == most)
            return Set(name + " takes " + std::to_string(least) + (least == 1 ? " value" : " values"));
        return Set(name + " takes " + std::to_string(least) + " to " + std::to_string(most) + " values");
    }

    bool Number(std::size_t word, int least, int most, std::string_view what)
    {
        const auto value = ParseWholeNumber(line_.words[word]);
        if (!value) return Set("bad " + std::string(what) + " \"" + std::string(line_.words[word]) + "\"");
        if (*value < least || *value > most) {
            return Set(std::string(what) + " " + std::to_string(*value) + " outside " +
                       std::to_string(least) + " to " + std::to_string(most));
        }
        action_.numbers.push_back(*value);
        return true;
    }

    // "on" or "off" as 1 or 0.
    bool Switch(std::size_t word)
    {
        if (line_.words[word] != "on" && line_.words[word] != "off")
            return Set(std::string(line_.words[0]) + " takes on or off, not \"" + std::string(line_.words[word]) + "\"");
        action_.numbers.push_back(line_.words[word] == "on" ? 1 : 0);
        return true;
    }

    // "FILE [SCALE]": a last word that is no .pdf or .svg file name is the scale.
    bool PlanFile()
    {
        if (line_.rest.empty()) return Set("export-plan needs a file name");
        action_.text = std::string(line_.rest);
        if (Args() < 2) return true;
        const std::string_view last = line_.words.back();
        if (IsPlanFileName(last)) return true;
        const auto scale = plan::ParsePlanScale(last);
        if (!scale) return Set(scale.error());
        action_.numbers.push_back(*scale);
        action_.text = std::string(Trim(line_.rest.substr(0, line_.rest.size() - last.size())));
        return true;
    }

    static bool IsPlanFileName(std::string_view word)
    {
        if (word.size() < 4) return false;
        std::string tail(word.substr(word.size() - 4));
        for (char& c : tail)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return tail == ".pdf" || tail == ".svg";
    }

    bool KeyName(std::size_t word)
    {
        const int code = KeyCodeFromName(line_.words[word]);
        if (code == 0) return Set("unknown key \"" + std::string(line_.words[word]) + "\"");
        action_.numbers.push_back(code);
        return true;
    }

    // "settings:ID" or "objects:ID".
    bool Control(std::size_t word)
    {
        const std::string_view text = line_.words[word];
        const std::size_t colon = text.find(':');
        const std::string_view dialog = text.substr(0, colon);
        if (colon == std::string_view::npos || (dialog != "settings" && dialog != "objects"))
            return Set("expected settings:ID or objects:ID, got \"" + std::string(text) + "\"");
        action_.dialog = dialog == "settings" ? ScriptDialog::Settings : ScriptDialog::Objects;
        const std::string_view number = text.substr(colon + 1);
        const auto id = ParseWholeNumber(number);
        if (!id || *id < 0) return Set("bad control id \"" + std::string(number) + "\"");
        action_.numbers.push_back(*id);
        return true;
    }

    // count coordinates, then any of shift, ctrl and alt.
    bool Points(std::size_t count)
    {
        if (Args() < count)
            return Set(std::string(line_.words[0]) + " needs " + std::to_string(count) + " coordinates");
        for (std::size_t i = 1; i <= count; ++i) {
            if (!Number(i, 0, kMaxCoordinate, "coordinate")) return false;
        }
        for (std::size_t i = count + 1; i < line_.words.size(); ++i) {
            const std::string_view word = line_.words[i];
            if (word == "shift")
                action_.modifiers.shift = true;
            else if (word == "ctrl")
                action_.modifiers.ctrl = true;
            else if (word == "alt")
                action_.modifiers.alt = true;
            else
                return Set("unknown modifier \"" + std::string(word) + "\" (shift, ctrl or alt)");
        }
        return true;
    }

    const Line& line_;
    Action& action_;
    std::string reason_;
};

} // namespace

bool Action::RunsPasses() const
{
    switch (kind) {
    case Kind::Frames:
    case Kind::Key:
    case Kind::Drag:
    case Kind::RightDrag:
    case Kind::MiddleDrag:
        return true;
    default:
        return false;
    }
}

platform::Result<std::vector<Action>> ParseActions(std::string_view text)
{
    std::vector<Action> actions;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

        const Line line = Split(WithoutComment(raw));
        if (line.words.empty()) continue;
        const auto found = std::find_if(kKinds.begin(), kKinds.end(),
                                        [&](const KindName& kind) { return kind.name == line.words[0]; });
        const auto bad = [number](const std::string& reason) {
            return platform::Fail("line " + std::to_string(number) + ": " + reason);
        };
        if (found == kKinds.end()) return bad("unknown action \"" + std::string(line.words[0]) + "\"");

        Action action;
        action.kind = found->kind;
        action.line = number;
        if (const platform::Status read = LineReader(line, action).Read(); !read) return bad(read.error());
        actions.push_back(std::move(action));
    }
    return actions;
}

std::string ActionsUsage()
{
    return "Action script (--actions FILE): one action a line; '#' starts a comment.\n"
           "  frames N                 run N passes of the main loop (Start is pressed first)\n"
           "  key NAME...              keys down for one pass, then up (names as --keys)\n"
           "  hold NAME FROM-TO        a key held on those passes, counted from 0 as --keys\n"
           "  click X Y [shift] [ctrl] [alt]\n"
           "                           the left button at X Y of the render view (pixels of --size)\n"
           "  drag X1 Y1 X2 Y2 [shift] [ctrl] [alt]\n"
           "                           left button down at X1 Y1, moved to X2 Y2 one pass per\n"
           "                           10 pixels, held there one more pass, released; rdrag and\n"
           "                           mdrag likewise with the right and middle buttons\n"
           "  wheel N                  N notches of the mouse wheel over the view (up positive)\n"
           "  menu ID                  a menu or tool-bar command by its id (32780 map creation,\n"
           "                           32816 turnout key 1, ...)\n"
           "  undo, redo               the edit menu's undo and redo (menu 32840, 32841)\n"
           "  set settings:ID VALUE    a settings control as a user sets it (as --set);\n"
           "  set objects:ID VALUE     an object dialog control (1056 catalogue entry, 1033 check)\n"
           "  button objects:ID        press a button (1002 place, 1015 copy, 1003 delete, 1070 move,\n"
           "                           1071 turn, 1007 clear); button settings:ID likewise\n"
           "  type objects:ID TEXT     type TEXT into an edit box (1001 X, 1004 Y, 1005 Z, 1006 angle)\n"
           "  row N [ctrl]             click row N of the placed-object list\n"
           "  select INDEX...          select placed objects by record index, as clicking their rows\n"
           "  load-map FILE, save-map FILE, import-map FILE\n"
           "                           the map commands, their file chooser answered with FILE\n"
           "  object-folder DIR        the object data command, its folder chooser answered with DIR\n"
           "                           (the same folder again loads the types that have appeared there)\n"
           "  report FILE              write the run report at this point\n"
           "  screenshot FILE          write the last frame as PNG at this point\n"
           "  check-layout FILE        check the layout and write the findings to FILE as JSON\n"
           "  mend-joints              close the near-miss joints as one undoable edit (the check\n"
           "                           window's button)\n"
           "  pause on|off             pause the simulation (tool-bar button 32846): passes then\n"
           "                           move nothing\n"
           "  speed 1|2|4|8            the pass rate of fast-forward (button 32847); a headless\n"
           "                           run counts passes, so only the report's clock shows it\n"
           "  attach [flip]            lay the object dialog's type against the selected piece's\n"
           "                           current open end (Insert; flip: Shift+Insert, the other way)\n"
           "  end N                    make the selected piece's open end N (from 0) current\n"
           "  protect on|off           protection of every train against running into others and\n"
           "                           off the end of the track\n"
           "  auto SLOT on|off         the slot's autopilot; cruise SLOT KMH its cruising speed\n"
           "  shuttle SLOT on|off      the slot's train reverses at the ends of the line\n"
           "  stop-mark INDEX SECONDS  mark a placed piece as part of a stop with its dwell (0 removes)\n"
           "  stop-terminus INDEX on|off  make the marked piece's stop a terminus, where a shuttle\n"
           "                           turns back even though the track goes on\n"
           "  itinerary SLOT INDEX...  the stops the slot's train visits in turn (none clears)\n"
           "A bad line stops the run with its line number and exit status 2.\n";
}

platform::Result<std::vector<Action>> ReadActionScript(const std::string& path)
{
    // Far more than any session needs; a larger file is no script.
    constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;
    const platform::Result<std::string> text = platform::ReadFileBytes(path, kMaxScriptBytes);
    if (!text) return platform::Fail("cannot read the action script: " + text.error());
    return ParseActions(*text);
}

} // namespace app
