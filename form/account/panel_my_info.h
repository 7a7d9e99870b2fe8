// The driver's information menu (panel 11): five rows, "Новости" (the service's news page in the desktop's
// browser), "Моя информация" (the card, panel 13), "Рейтинг" (panel 14, with the total rating on its icon in a font
// small enough to fit it), "Смены" (the shift list, panel 15) and "Настройки таксометра", never enabled. Rows 1 to 3
// are enabled only when the driver was logged in at show; a disabled row carries the veil and takes no click. The rows
// and their enabled flags are built at show and emptied at hide; the panel reacts to no command. UI thread only.
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

#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class Image;

class panel_my_info : public list_panel {
public:
    static constexpr int id = panel_ids::my_info;
    static constexpr int row_total = 5;

    explicit panel_my_info(manager_2& form);
    ~panel_my_info() override;

    // The news page's address: the environment variable MORVIK_NEWS_URL when set, else the built-in one.
    static std::wstring news_address();

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_clickable(int row) const override;

    bool row_enabled(int row) const;

private:
    struct menu_row {
        Image* icon = nullptr;
        std::wstring caption;
        bool enabled = false;
    };

    // The row icons in row order (1032, 1031, 1034, 1037, 1038).
    std::array<std::shared_ptr<Image>, row_total> icons_;
    std::shared_ptr<Image> icon_overlay_; // 1035
    std::shared_ptr<Image> veil_;         // 1052
    std::vector<menu_row> rows_;
};

} // namespace zel::form
