// Map data files: a layout saved as text (background, the object types in use, every placed
// object, the vehicles' home poses and the trains and models chosen), and the three commands of
// the file menu that use them: save, load and import.
//
// Files are written in code page 932 (as UTF-8 with a byte order mark only when a name has no
// code there), with CR LF line ends, and replace the old file only once they are complete.
// The reader takes CR LF or LF, code page 932 or UTF-8, the current format and the older one
// ("DATA", four trains). Everything read is checked before it is used: numbers that are not
// finite read as 0, keys out of range as none, and lines naming an unknown type or beyond the
// 2000 objects are left out with one warning, since the next save will not keep them. Objects of
// a type the object folder lacks are kept as placeholders (one warning names every such type)
// and saved back as they were read.
#pragma once

#include "layout/CLayout.h"
#include "layout/MapFileVehicles.h"
#include "layout/PickRay.h"
#include "platform/Result.h"
#include "platform/SafeFile.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class Device;
}

namespace layout {

// First line of every map file we write, and the one older files begin with.
inline constexpr std::string_view kMapFileHeader = "KORVELA Map Data";
inline constexpr std::string_view kOldMapFileHeader = "DATA";

// Section headers.
namespace mapsection {
inline constexpr std::string_view kBackground = ":Background";
inline constexpr std::string_view kObjectName = ":Object Name";
inline constexpr std::string_view kMapData = ":Map Data";
inline constexpr std::string_view kPositionData = ":Position Data 2";
inline constexpr std::string_view kOldPositionData = ":Position Data";
inline constexpr std::string_view kVehicleData = ":Vehicle Data 2";
inline constexpr std::string_view kOldVehicleData = ":Vehicle Data";
// Written last, and only when the layout's operation has something set.
inline constexpr std::string_view kOperationData = ":Operation Data";
} // namespace mapsection

// What the commands tell the user.
namespace mapmsg {
inline constexpr std::string_view kOpenFailed = "ファイルオープン失敗";
inline constexpr std::string_view kNotDataFile = "データファイルではありません";
inline constexpr std::string_view kSaved = "マップデータを保存しました。";
inline constexpr std::string_view kWriteFailed = "ファイルの書き込みに失敗しました。";
inline constexpr std::string_view kLinesLeftOut = "読み込めなかった行があります。";
inline constexpr std::string_view kSaveTitle = "マップデータの保存（フォルダの変更禁止）";
inline constexpr std::string_view kLoadTitle = "マップデータの読込み";
inline constexpr std::string_view kImportTitle = "マップデータのインポート";
} // namespace mapmsg

// "背景ファイル " + name + ".x がありません。"
std::string MissingBackgroundMessage(std::string_view name);
// name + "オブジェクトファイルがありません"
std::string MissingObjectMessage(std::string_view name);
// Every name a map lacks, in one message, and how many of its objects are kept as placeholders.
std::string MissingObjectsMessage(const std::vector<std::string>& names, int placeholders);

// The main window's title after a map was saved or loaded: the executable's base name, " - "
// and the map file's name without folder and extension; with placeholders, how many objects
// lack their type's files (" [ファイルのないオブジェクト 3 個]").
std::string MapWindowTitle(std::string_view executableName, std::string_view mapPath, int placeholders = 0);

// --- writing

// The file as the save writes it, in UTF-8 with CR LF line ends: the background, the names of
// the types in use (in catalogue order, numbered from 0 as file indices), one line per placed
// object, the home poses and the chosen vehicles. Reals have three decimals.
std::string MapFileText(const CLayout& layout, const MapVehicles& vehicles);

// The bytes of a map file: code page 932 when every character has a code there, otherwise
// UTF-8 with a byte order mark.
std::string EncodeMapFile(std::string_view text);

// Replaces a file with what produce writes (platform::ReplaceFile unless a test injects
// failures). The file counts as opened once produce runs.
using MapFileReplacer = std::function<platform::Status(
    const std::string& path, const std::function<bool(const platform::ChunkWriter&)>& produce)>;

// How a command ended. Done after a save or load: the caller sets the window title.
enum class MapOutcome { Cancelled, Failed, Done };

// What a command has to tell the user, in order; the caller shows each as a message box.
struct MapMessage {
    enum class Kind { Note, Warning, Error };
    Kind kind = Kind::Note;
    std::string text;
    friend bool operator==(const MapMessage&, const MapMessage&) = default;
};

struct MapResult {
    MapOutcome outcome = MapOutcome::Cancelled;
    std::vector<MapMessage> messages;
    bool Done() const { return outcome == MapOutcome::Done; }
};

// "マップデータの保存" once the file is chosen: writes the layout there and makes it the map
// file path. A file that cannot be created gives "ファイルオープン失敗", a failed write
// "ファイルの書き込みに失敗しました。"; either way the old file and the map path stay as they were. Only a complete
// file gives "マップデータを保存しました。" and leaves the layout unchanged since its save.
MapResult SaveMapFile(CLayout& layout, const std::string& path, const MapVehicles& vehicles,
                      const MapFileReplacer& replace = {});

// How many of the types the layout uses lack their files (name.ini or name.x) in folder, which
// a map saved there takes for its object folder: a map missing them cannot be loaded back.
int CountTypesMissingIn(const CLayout& layout, const std::string& folder);
// The question before such a save: "このフォルダには、このマップが使うオブジェクトがありません。…"
std::string MissingTypesQuestion(int missing);

// --- reading

// What a load needs besides the file: the device and options of the catalogue it reloads.
struct MapLoadContext {
    gfx::Device* device = nullptr;
    CatalogueOptions catalogue{};
};

// "マップデータの読込み" once the file is chosen: its path becomes the map file path and its
// folder the object folder. A file that cannot be read or is no map changes nothing: the open
// layout keeps its objects, its history and its map path. Reads the sections in
// any order: ":Object Name" reloads the catalogue (emptying the layout and its edit history),
// ":Map Data" replaces the placed objects, the position and vehicle sections go to vehicles,
// which finally applies the vehicle selections. Failed: the file could not be read or is no map
// file. Done: the layout is unchanged since its load.
MapResult LoadMapFile(CLayout& layout, const std::string& path, MapVehicles& vehicles,
                      const MapLoadContext& context);

// Why the load would refuse the file (it cannot be read or is no map file), or nothing.
std::optional<std::string> MapFileProblem(const std::string& path);

// A layout kept for recovery: the text of a map file, loaded as the load does, as if from
// mapPath (its folder becomes the object folder). Done leaves the layout changed: it has not
// been saved to mapPath; Failed leaves it as it was.
MapResult RestoreMapText(CLayout& layout, const std::string& mapPath, std::string_view text, MapVehicles& vehicles,
                         const MapLoadContext& context);

// "マップデータのインポート" once the file is chosen: adds the placed objects of another map,
// centred where the view centre's ray meets the ground (at their stored places when it does not
// meet it), selected, as one edit. Checks the whole file first: a file it cannot fully use
// changes nothing.
MapResult ImportMapFile(CLayout& layout, const std::string& path, const PickRay& viewCentreRay);

// The catalogue index for a name of a map file: the entry with exactly that name, else the
// first that differs only in letter case (files from Windows), else -1.
int FindMapTypeName(const CLayout& layout, std::string_view name);
int FindMapTypeName(const ObjectCatalogue& catalogue, std::string_view name);

} // namespace layout
