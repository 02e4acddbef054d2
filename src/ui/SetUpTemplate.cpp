#include "ui/SetUpTemplate.h"

namespace ui {

namespace {

using K = ControlKind;

ControlTemplate Group(std::string caption, std::string frame = {})
{
    return {.kind = K::GroupBox, .caption = std::move(caption), .frame = std::move(frame)};
}

ControlTemplate Slider(int id, std::string caption, int rangeMin, int rangeMax, int position, int labelId,
                       std::string frame)
{
    return {.id = id,
            .kind = K::Slider,
            .caption = std::move(caption),
            .frame = std::move(frame),
            .rangeMin = rangeMin,
            .rangeMax = rangeMax,
            .position = position,
            .labelId = labelId};
}

ControlTemplate Radio(int id, std::string caption, std::string frame, std::string set, int check)
{
    return {.id = id,
            .kind = K::Radio,
            .caption = std::move(caption),
            .frame = std::move(frame),
            .radioGroup = std::move(set),
            .check = check};
}

// The label beside a slider; its text is written from the slider's position.
ControlTemplate SliderLabel(int id, std::string frame)
{
    return {.id = id, .kind = K::Label, .frame = std::move(frame)};
}

} // namespace

std::vector<std::string> PositionItems()
{
    return {"原点",     "電車－１", "電車－２",     "電車－３", "電車－４", "電車－５",
            "電車－６", "飛行機",   "ヘリコプター", "車",       "カメラ",   "選択ｵﾌﾞｼﾞｪｸﾄ"};
}

std::vector<std::string> ViewPointItems()
{
    auto items = PositionItems();
    for (const char* more : {"フリー", "前方", "後方", "運転席"})
        items.emplace_back(more);
    return items;
}

std::vector<std::string> DriveTypeItems()
{
    // Each name lists a keyboard column's keys from the upper to the lower row; the reversed
    // types swap accelerating and decelerating.
    const std::vector<std::string> columns = {"QAZ", "WSX", "EDC", "RFV", "TGB",
                                              "YHN", "UJM", "IK,", "OL.", "P;/"};
    auto items = columns;
    for (const auto& column : columns)
        items.push_back("逆 " + column);
    return items;
}

std::vector<std::string> SpriteStyleItems()
{
    return {"Alphabet", "ひらがな", "カタカナ"};
}

DialogTemplate SetUpTemplate(const std::vector<std::string>& driveTypes)
{
    using namespace setup;
    DialogTemplate dialog{.resourceId = kDialogId, .title = "設定", .controls = {}};
    auto& c = dialog.controls;

    c.push_back(Group("Shade Mode"));
    c.push_back(Radio(kShadeGouraud, "GOURAUD", "Shade Mode", "shade", 1));
    c.push_back(Radio(kShadeFlat, "FLAT", "Shade Mode", "shade", 0));
    c.push_back(Group("Fill Mode"));
    c.push_back(Radio(kFillSolid, "SOLID", "Fill Mode", "fill", 1));
    c.push_back(Radio(kFillWireframe, "WIREFRAME", "Fill Mode", "fill", 0));
    c.push_back(Group("Cull Mode"));
    c.push_back(Radio(kCullNone, "NONE", "Cull Mode", "cull", 0));
    c.push_back(Radio(kCullCcw, "CCW", "Cull Mode", "cull", 1));
    c.push_back(Radio(kCullCw, "CW", "Cull Mode", "cull", 0));

    const std::string display = "表示関連";
    c.push_back(Group(display));
    c.push_back({.id = kTrack, .kind = K::ThreeStateCheckBox, .caption = "軌道(F8)", .frame = display});
    c.push_back({.id = kText, .kind = K::CheckBox, .caption = "文字", .frame = display, .check = 1});
    c.push_back(
        {.id = kSprites, .kind = K::CheckBox, .caption = "スプライト(F9)", .frame = display, .check = 1});
    // No style is selected here: the settings file chooses one.
    c.push_back({.id = kSpriteStyle, .kind = K::ComboBox, .frame = display, .items = SpriteStyleItems()});
    c.push_back(Slider(kLight, "光量", 0, 100, 100, kLightLabel, display));
    c.push_back(SliderLabel(kLightLabel, display));
    c.push_back(Slider(kObjectAlpha, "ｵﾌﾞｼﾞｪｸﾄ", 0, 100, 100, kObjectAlphaLabel, display));
    c.push_back(SliderLabel(kObjectAlphaLabel, display));
    c.push_back(Slider(kBackgroundAlpha, "背景", 0, 100, 100, kBackgroundAlphaLabel, display));
    c.push_back(SliderLabel(kBackgroundAlphaLabel, display));

    const std::string debug = "デバッグ用";
    c.push_back(Group(debug));
    c.push_back({.id = kLines, .kind = K::CheckBox, .caption = "ライン", .frame = debug});
    c.push_back({.id = kSync, .kind = K::CheckBox, .caption = "同期", .frame = debug});
    c.push_back({.id = kRealTime, .kind = K::CheckBox, .caption = "実時間で走行", .frame = debug, .check = 1});
    c.push_back({.id = kNoDeceleration, .kind = K::CheckBox, .caption = "減速しない", .frame = debug});
    c.push_back({.id = kCantDetection,
                 .kind = K::CheckBox,
                 .caption = "カント検出",
                 .frame = debug,
                 .enabled = false});
    c.push_back({.id = kTurnAboutCarOrigin,
                 .kind = K::CheckBox,
                 .caption = "車の原点で回転",
                 .frame = debug,
                 .check = 1});
    c.push_back(
        {.id = kStripVertexColours, .kind = K::CheckBox, .caption = "頂点カラーの削除", .frame = debug});

    // The three drive radios are the titles of their own group boxes; they exclude each
    // other although they are far apart in tab order.
    const std::string plane = "飛行機(F7)";
    const std::string helicopter = "ヘリコプター(F7)";
    const std::string car = "車";
    c.push_back({.id = kDriveCamera, .kind = K::Radio, .caption = "カメラ(F7)", .radioGroup = "drive"});
    c.push_back({.id = kDrivePlane, .kind = K::Radio, .caption = plane, .radioGroup = "drive"});
    c.push_back({.id = kPlaneModel, .kind = K::ComboBox, .frame = plane});
    c.push_back({.id = kPlaneHome, .kind = K::Button, .caption = "原点登録", .frame = plane});
    c.push_back({.id = kDriveHelicopter, .kind = K::Radio, .caption = helicopter, .radioGroup = "drive"});
    c.push_back({.id = kHelicopterModel, .kind = K::ComboBox, .frame = helicopter});
    c.push_back({.id = kHelicopterHome, .kind = K::Button, .caption = "原点登録", .frame = helicopter});
    c.push_back(Group(car));
    c.push_back({.id = kCarModel, .kind = K::ComboBox, .frame = car});
    c.push_back({.id = kCarHome, .kind = K::Button, .caption = "原点登録", .frame = car});

    const char* const trainGroups[6] = {"電車１", "電車２", "電車３", "電車４", "電車５", "電車６"};
    for (int slot = 0; slot < 6; ++slot) {
        const std::string frame = trainGroups[slot];
        c.push_back(Group(frame));
        c.push_back({.id = kTrainModel[slot], .kind = K::ComboBox, .frame = frame});
        c.push_back({.id = kDriveType[slot],
                     .kind = K::ComboBox,
                     .frame = frame,
                     .items = driveTypes,
                     .selection = slot < static_cast<int>(driveTypes.size()) ? slot : -1});
        c.push_back({.id = kTrainHome[slot], .kind = K::Button, .caption = "原点登録", .frame = frame});
    }

    const std::string camera = "カメラ設定";
    c.push_back(Group(camera));
    c.push_back(Group("位置(F5)", camera));
    c.push_back({.id = kPositionList, .kind = K::ListBox, .frame = "位置(F5)", .items = PositionItems()});
    c.push_back(Group("視点(F6)", camera));
    c.push_back({.id = kViewPointList, .kind = K::ListBox, .frame = "視点(F6)", .items = ViewPointItems()});
    c.push_back(Slider(kDistance, "距離", 1, 500, 50, kDistanceLabel, camera));
    c.push_back(SliderLabel(kDistanceLabel, camera));
    c.push_back(Slider(kFieldOfView, "画角", 1, 179, 25, kFieldOfViewLabel, camera));
    c.push_back(SliderLabel(kFieldOfViewLabel, camera));
    c.push_back(Slider(kCulling, "ｶﾘﾝｸﾞ", 100, 10000, 5000, kCullingLabel, camera));
    c.push_back(SliderLabel(kCullingLabel, camera));
    // The projection choice lives on in these two radios although the dialog never shows them.
    c.push_back({.id = kPerspective,
                 .kind = K::Radio,
                 .caption = "遠近法",
                 .frame = camera,
                 .radioGroup = "projection",
                 .shown = false,
                 .check = 1});
    c.push_back({.id = kOrthographic,
                 .kind = K::Radio,
                 .caption = "正射影",
                 .frame = camera,
                 .radioGroup = "projection",
                 .shown = false});
    c.push_back(
        {.id = kUnusedHome, .kind = K::Button, .caption = "原点登録", .frame = camera, .shown = false});

    // Left over in the template, never shown and without effect.
    c.push_back({.id = 1001, .kind = K::EditBox, .shown = false});
    c.push_back({.id = 1030, .kind = K::UpDown, .shown = false});
    c.push_back({.id = 1006, .kind = K::EditBox, .shown = false});
    c.push_back({.id = 1036, .kind = K::UpDown, .shown = false});
    c.push_back({.id = 1008, .kind = K::EditBox, .shown = false});
    c.push_back({.id = 1037, .kind = K::UpDown, .shown = false});
    c.push_back({.id = 1034, .kind = K::CheckBox, .caption = "オブジェクト", .shown = false});
    c.push_back({.id = 1074, .kind = K::Label, .caption = "車両", .shown = false});
    c.push_back({.id = 1075, .kind = K::Label, .caption = "車両", .shown = false});
    return dialog;
}

} // namespace ui
