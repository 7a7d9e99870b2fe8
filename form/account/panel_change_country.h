// The country screen (panel 29): the seven countries whose telephone numbers may register this device, each row
// its flag and name. A row's tap opens the registration telephone screen (panel 18) with the row's index, which
// picks the dialling prefix there. The start screen opens it when the registration SMS could not be sent.
//
// The rows (the indexes 0 to 6) are fixed at construction; the flags, the arrows and their pictures and the list
// control live from show to hide. The same screen serves both screen shapes. UI thread only.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "form/shell/list_panel.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;

class panel_change_country : public list_panel {
public:
    static constexpr int id = panel_ids::change_country;
    static constexpr int country_count = 7;

    explicit panel_change_country(manager_2& form);
    ~panel_change_country() override;

    // The country's name and the skin id of its flag; an unknown index has an empty name and no flag (0).
    static std::wstring country_name(int index);
    static int flag_image_id(int index);

    int panel_id() const override {
        return id;
    }
    void show(const panel_param* param) override;
    void hide() override;

    // The rows.
    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;
    void row_clicked(int row) override;
    int row_selected(int) const override {
        return 0;
    }

private:
    std::array<std::shared_ptr<Image>, country_count> flags_;
    std::vector<int> rows_;
};

} // namespace zel::form
