// The driver's information menu (panel 11): five rows, "Новости" (the service's news page in the desktop's
// browser), "Моя информация" (the card, panel 13), "Рейтинг" (panel 14, with the total rating on its icon),
// "Смены" (the shift list, panel 15) and "Настройки таксометра", never enabled. Rows 1 to 3 are enabled only
// when the driver was logged in at show; a disabled row carries the veil and takes no click. The rows and their
// enabled flags are built at show and emptied at hide; the panel reacts to no command. UI thread only.
//
//   state    event            -> state    effect
//   hidden   show             -> shown    pictures loaded, list and arrows made, five rows built
//   shown    tap on row 0     -> shown    the news page opened (xdg-open ADDRESS, not waited for)
//   shown    tap on row 1..3  -> shown    panel 13, 14 or 15 pushed (when the row is enabled)
//   shown    hide             -> hidden   controls, pictures and rows released
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "form/list_panel_base.h"
#include "form/panel_base.h"

namespace zel::form {

class manager_2;
class Image;
class image_button;
class list_view;

class panel_my_info : public panel_base, public list_panel_base {
public:
    static constexpr int id = 11;
    static constexpr int row_total = 5;

    explicit panel_my_info(manager_2& form);
    ~panel_my_info() override;

    // The news page's address: the environment variable MORVIK_NEWS_URL when set, else the built-in one.
    static std::wstring news_address();

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;
    void on_key_up_arrow() override;
    void on_key_down_arrow() override;

    int row_count() const override;
    size row_size(int row) const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_clickable(int row) const override;
    int row_selected(int row) const override;

    // Tests look at these while the screen is shown.
    list_view* list() const {
        return list_.get();
    }
    bool row_enabled(int row) const;

private:
    struct menu_row {
        Image* icon = nullptr;
        std::wstring caption;
        bool enabled = false;
    };

    manager_2& form_;
    // Up arrow normal and pressed (1046, 1047), down arrow normal and pressed (1044, 1045).
    std::array<std::shared_ptr<Image>, 4> arrows_;
    // The row icons in row order (1032, 1031, 1034, 1037, 1038).
    std::array<std::shared_ptr<Image>, row_total> icons_;
    std::shared_ptr<Image> icon_overlay_; // 1035
    std::shared_ptr<Image> veil_;         // 1052
    std::unique_ptr<list_view> list_;
    std::vector<menu_row> rows_;
    std::unique_ptr<image_button> up_;
    std::unique_ptr<image_button> down_;
    std::vector<bool> row_flags_;
};

} // namespace zel::form
