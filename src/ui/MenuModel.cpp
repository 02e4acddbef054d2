#include "ui/MenuModel.h"

#include "ui/CommandIds.h"

namespace ui {

namespace {

const std::string kEmpty;

} // namespace

MenuTemplate MainMenuTemplate()
{
    using namespace cmd;
    MenuTemplate menu;
    menu.push_back({"ファイル(&F)",
                    {{kLoadMap, "マップデータの読込み", "Ctrl+O"}}});
    // The recent maps have their texts once there are any.
    for (int item = 0; item < kRecentCount; ++item)
        menu.back().items.push_back({kRecentFirst + item, "", "", "最近使ったファイル"});
    menu.back().items.insert(menu.back().items.end(),
                    {{kSaveOver, "上書き保存", "Ctrl+S"},
                     {kSaveMap, "名前を付けて保存", "Ctrl+Shift+S"},
                     {kImportMap, "マップデータのインポート", ""},
                     {kExportPlan, "平面図の書き出し", ""},
                     {kSavePackage, "パッケージの保存", ""},
                     {kOpenPackage, "パッケージを開く", ""},
                     {kObjectFolder, "オブジェクトデータの読込み", ""},
                     {kBackground, "背景データの読込み", ""},
                     {kTrainFolder, "電車データの読込み", ""},
                     {kPlaneFolder, "飛行機データの読込み", ""},
                     {kHelicopterFolder, "ヘリコプターデータの読込み", ""},
                     {kCarFolder, "車データの読込み", ""},
                     {kQuit, "終了", "Ctrl+Q"}});
    menu.push_back({"編集(&E)",
                    {{kUndo, "元に戻す", "Ctrl+Z"},
                     {kRedo, "やり直し", "Ctrl+Y"},
                     {kLayoutCheck, "レイアウトの点検", "Ctrl+L"},
                     {kAttach, "つなぐ", "Insert"},
                     {kPartsList, "部品表", ""}}});
    menu.push_back({"ウィンドウ(&W)",
                    {{kShowSettings, "設定", "F3"},
                     {kShowObjects, "オブジェクト", "F4"},
                     {kWholeLayout, "全体を表示", "Ctrl+Home"},
                     {kOperation, "運転管理", ""}}});

    // Each key item names one key of a Japanese keyboard with its two kana; key k is item k + 1.
    const char* const keys[kTurnoutKeyCount] = {
        "キー「1」「ぬ」「ヌ」", "キー「2」「ふ」「フ」", "キー「3」「あ」「ア」", "キー「4」「う」「ウ」",
        "キー「5」「え」「エ」", "キー「6」「お」「オ」", "キー「7」「や」「ヤ」", "キー「8」「ゆ」「ユ」",
        "キー「9」「よ」「ヨ」", "キー「0」「わ」「ワ」", "キー「-」「ほ」「ホ」", "キー「^」「へ」「ヘ」"};
    MenuPopupTemplate turnouts{"ポイント切り替え(&P)", {{kKeyNone, "なし", ""}}};
    for (int key = 0; key < kTurnoutKeyCount; ++key)
        turnouts.items.push_back({kKeyFirst + key, keys[key], ""});
    menu.push_back(std::move(turnouts));

    menu.push_back({"ヘルプ(&H)",
                    {{kHelp, "使い方", "F1"},
                     {kMessages, "メッセージ", "F2"},
                     {kAbout, "バージョン情報", ""},
                     {kUpdateCheck, "最新版のチェック", ""}}});
    return menu;
}

MenuModel::MenuModel(MenuTemplate menu)
{
    for (auto& popup : menu) {
        Popup built{std::move(popup.title), {}};
        for (auto& item : popup.items)
            built.items.push_back({std::move(item), {}, true});
        menu_.push_back(std::move(built));
    }
}

const std::string& MenuModel::PopupTitle(int popup) const
{
    return (popup >= 0 && popup < PopupCount()) ? menu_[popup].title : kEmpty;
}

int MenuModel::ItemCount(int popup) const
{
    return (popup >= 0 && popup < PopupCount()) ? static_cast<int>(menu_[popup].items.size()) : 0;
}

int MenuModel::ItemId(int popup, int position) const
{
    if (position < 0 || position >= ItemCount(popup)) return -1;
    return menu_[popup].items[position].base.id;
}

std::vector<int> MenuModel::Ids() const
{
    std::vector<int> ids;
    for (const auto& popup : menu_) {
        for (const auto& item : popup.items)
            ids.push_back(item.base.id);
    }
    return ids;
}

const MenuModel::Item* MenuModel::Find(int id) const
{
    for (const auto& popup : menu_) {
        for (const auto& item : popup.items) {
            if (item.base.id == id) return &item;
        }
    }
    return nullptr;
}

MenuModel::Item* MenuModel::Find(int id)
{
    return const_cast<Item*>(static_cast<const MenuModel*>(this)->Find(id));
}

void MenuModel::Notify(int id) const
{
    if (observer_) observer_(id);
}

std::string MenuModel::Text(int id) const
{
    const auto* item = Find(id);
    if (!item) return {};
    std::string text = item->base.text + item->suffix;
    if (!item->base.keyLabel.empty()) text += "\t" + item->base.keyLabel;
    return text;
}

const std::string& MenuModel::BaseText(int id) const
{
    const auto* item = Find(id);
    return item ? item->base.text : kEmpty;
}

const std::string& MenuModel::Suffix(int id) const
{
    const auto* item = Find(id);
    return item ? item->suffix : kEmpty;
}

const std::string& MenuModel::KeyLabel(int id) const
{
    const auto* item = Find(id);
    return item ? item->base.keyLabel : kEmpty;
}

const std::string& MenuModel::Submenu(int id) const
{
    const auto* item = Find(id);
    return item ? item->base.submenu : kEmpty;
}

void MenuModel::SetSuffix(int id, std::string suffix)
{
    auto* item = Find(id);
    if (!item || item->suffix == suffix) return;
    item->suffix = std::move(suffix);
    Notify(id);
}

bool MenuModel::IsEnabled(int id) const
{
    const auto* item = Find(id);
    return item && item->enabled;
}

void MenuModel::SetEnabled(int id, bool enabled)
{
    auto* item = Find(id);
    if (!item || item->enabled == enabled) return;
    item->enabled = enabled;
    Notify(id);
}

void MenuModel::SetPopupEnabled(int popup, bool enabled)
{
    for (int position = 0; position < ItemCount(popup); ++position)
        SetEnabled(ItemId(popup, position), enabled);
}

} // namespace ui
