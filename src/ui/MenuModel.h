// The main window's menu bar as data: pop-ups with their items (command id, text, enabled).
// An item's text is kept in three parts, so that a changing tail (the usage count of a
// turnout key) is replaced rather than cut off the displayed text.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct MenuItemTemplate {
    int id = 0;
    std::string text{};     // with its mnemonic, if any ("&")
    std::string keyLabel{}; // key name shown right-aligned ("F3"); a label only, never an accelerator
    // Items that name the same sub-menu are shown in it, where the first of them stands; an
    // item of a sub-menu with no text is left out of it.
    std::string submenu{};
};

struct MenuPopupTemplate {
    std::string title{};
    std::vector<MenuItemTemplate> items{};
};

using MenuTemplate = std::vector<MenuPopupTemplate>;

// The main window's four pop-ups.
MenuTemplate MainMenuTemplate();

class MenuModel {
  public:
    // Called with the id of each item whose text or enabling changed.
    using Observer = std::function<void(int id)>;

    explicit MenuModel(MenuTemplate menu);

    int PopupCount() const { return static_cast<int>(menu_.size()); }
    const std::string& PopupTitle(int popup) const;
    int ItemCount(int popup) const;
    // Command id of the item at position in popup, or -1.
    int ItemId(int popup, int position) const;
    bool Has(int id) const { return Find(id) != nullptr; }
    // All command ids, pop-up by pop-up.
    std::vector<int> Ids() const;

    // The text as shown: base text and suffix, then a tab and the key label when it has one.
    std::string Text(int id) const;
    const std::string& BaseText(int id) const;
    const std::string& Suffix(int id) const;
    const std::string& KeyLabel(int id) const;
    const std::string& Submenu(int id) const;
    void SetSuffix(int id, std::string suffix);

    bool IsEnabled(int id) const;
    void SetEnabled(int id, bool enabled);
    void SetPopupEnabled(int popup, bool enabled);

    void SetObserver(Observer observer) { observer_ = std::move(observer); }

  private:
    struct Item {
        MenuItemTemplate base;
        std::string suffix;
        bool enabled = true;
    };
    struct Popup {
        std::string title;
        std::vector<Item> items;
    };

    const Item* Find(int id) const;
    Item* Find(int id);
    void Notify(int id) const;

    std::vector<Popup> menu_;
    Observer observer_;
};

} // namespace ui
