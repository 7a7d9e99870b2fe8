// panel_menu_list: the menu list of the driver status and exit screens, a list screen of large rows, each an
// icon in its frame and a caption; a row that the screen disables is shaded and does not react. The screen sets
// its rows at show and runs its rows rule on show and after every command; set_row changes a row's caption and
// enabled flag, and the rows are marked for repaint together. UI thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "form/shell/list_panel.h"

namespace zel::form {

class panel_menu_list : public list_panel {
public:
    struct menu_row {
        std::shared_ptr<Image> icon;
        std::wstring caption;
        bool enabled = true;
    };

    ~panel_menu_list() override;

    int row_count() const override {
        return static_cast<int>(rows_.size());
    }
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    // Only an enabled row clicks.
    int row_clickable(int row) const override;

    // Tests look at the rows while the screen is shown.
    const std::vector<menu_row>& rows() const {
        return rows_;
    }

protected:
    explicit panel_menu_list(manager_2& form);

    // Loads the icons, the icon frame and the shade, makes the list and its arrows with these rows (captions, all
    // enabled), each row's flag cleared; the list starts at its first row.
    void show_menu(const std::vector<std::pair<int, std::wstring>>& rows);
    void hide_menu();
    void set_row(int row, const std::wstring& caption, bool enabled);
    // Marks every row for repaint and asks for the list's repaint.
    void repaint_rows();

private:
    std::vector<menu_row> rows_;
    std::shared_ptr<Image> icon_frame_;
    std::shared_ptr<Image> shade_;
};

} // namespace zel::form
