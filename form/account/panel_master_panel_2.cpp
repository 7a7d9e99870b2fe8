// Sections: the button table | construction, show and hide | refresh rule | parking rule | navigator.
#include "form/account/panel_master_panel_2.h"

#include <filesystem>

#include "api/command/received/ref_area.h"
#include "api/command/received/session_param.h"
#include "controller/controller.h"
#include "form/account/menu_button.h"
#include "form/account/menu_button_ex.h"
#include "form/account/menu_button_note.h"
#include "form/drawing/image.h"
#include "form/drawing/skin_images.h"
#include "form/shell/manager_2.h"
#include "form/shell/panel_ids.h"
#include "foundation/app_paths.h"
#include "foundation/logger.h"
#include "foundation/text_utils.h"
#include "platform/process_control.h"

namespace zel::form {

using controller_::controller;
namespace area_type = zel_api::command::area_type;
namespace driver_status = zel_api::command::driver_status;

namespace {

// --- the button table

constexpr int image_ids[panel_master_panel_2::image_count] = {5001, 5002, 5003, 5005, 5006, 5007, 5008, 5009,
                                                              5010, 5011, 5012, 5013, 5014, 5015, 5016, 5017,
                                                              5018, 5019, 5021, 5022, 5023, 5024, 5025, 5026};

enum class kind { plain, note, ex };

// What a click does: push the panel (with the orders list's mode when mode is not 0), or one of the rules.
enum class action { none, push, parking, navigator };

struct menu_cell_row {
    int column;
    int row;
    kind type;
    const wchar_t* caption;
    int enabled_image;
    int disabled_image;
    action click;
    int panel;
    int mode;
};

// The panel of the rows that push nothing.
constexpr int no_panel = 0;
constexpr int parking_badge_image = 5026;
constexpr const wchar_t* parking_caption = L"Назв. парковки";

// Buttons 1-19 in creation order.
constexpr menu_cell_row buttons_table[panel_master_panel_2::button_count] = {
    {0, 0, kind::note, L"Текущие заказы", 5007, 5006, action::push, panel_ids::orders_list, 1},
    {0, 0, kind::plain, L"Таксометр", 5008, 5008, action::push, panel_ids::ride, 0},
    {0, 0, kind::plain, L"По адресу", 5005, 5005, action::push, panel_ids::arrived, 0},
    {0, 0, kind::plain, L"В пути", 5009, 5009, action::push, panel_ids::on_the_way, 0},
    {0, 0, kind::plain, L"Работаю", 5010, 5010, action::push, panel_ids::ride, 0},
    {1, 0, kind::note, L"Предв. заказы", 5012, 5011, action::push, panel_ids::orders_list, 2},
    {2, 0, kind::note, L"Мои заказы", 5014, 5013, action::push, panel_ids::orders_list, 3},
    {0, 1, kind::ex, parking_caption, 5016, 5017, action::parking, no_panel, 0},
    {0, 1, kind::plain, L"Выбор района", 5018, 5017, action::push, panel_ids::area_list, 0},
    {0, 1, kind::plain, L"Не на смене", 5021, 5021, action::push, panel_ids::driver_status, 0},
    {0, 1, kind::plain, L"Таксометр", 5023, 5023, action::none, no_panel, 0},
    {0, 1, kind::plain, L"Таксометр", 5022, 5022, action::none, no_panel, 0},
    {0, 1, kind::plain, L"На обеде", 5025, 5025, action::push, panel_ids::driver_status, 0},
    {0, 1, kind::plain, L"На ремонте", 5019, 5019, action::push, panel_ids::driver_status, 0},
    {1, 1, kind::plain, L"Навигатор", 5003, 5003, action::navigator, no_panel, 0},
    {2, 1, kind::plain, L"Такси", 5001, 5001, action::none, no_panel, 0},
    {0, 2, kind::plain, L"Организация", 5002, 5002, action::push, panel_ids::start, 0},
    {1, 2, kind::plain, L"Моя информация", 5024, 5024, action::push, panel_ids::my_info, 0},
    {2, 2, kind::plain, L"Выход", 5015, 5015, action::push, panel_ids::exit, 0},
};

int image_index(int id) {
    for (int i = 0; i < panel_master_panel_2::image_count; ++i) {
        if (image_ids[i] == id) {
            return i;
        }
    }
    return -1;
}

} // namespace

// --- construction, show and hide

panel_master_panel_2::panel_master_panel_2(manager_2& form) : form_(form) {
    log(logger::info, L"panel_master_panel_2::panel_master_panel_2");
}

panel_master_panel_2::~panel_master_panel_2() {
    log(logger::info, L"panel_master_panel_2::~panel_master_panel_2");
}

rect panel_master_panel_2::cell_of(int number) const {
    const menu_cell_row& entry = buttons_table[number - 1];
    const int cw = own_.w / 3;
    const int ch = own_.h / 3;
    return {own_.x + entry.column * cw, own_.y + entry.row * ch, cw, ch};
}

menu_button* panel_master_panel_2::button(int number) const {
    if (number < 1 || number > button_count) {
        return nullptr;
    }
    return buttons_[number - 1];
}

void panel_master_panel_2::show(const panel_param*) {
    const skin_images* skin = form_.get_skin_images();
    for (int i = 0; i < image_count; ++i) {
        images_[i] = skin_images::image_of(skin, image_ids[i]);
    }
    build_buttons();
    refresh();
}

void panel_master_panel_2::build_buttons() {
    for (int number = 1; number <= button_count; ++number) {
        const menu_cell_row& entry = buttons_table[number - 1];
        const rect cell = cell_of(number);
        std::shared_ptr<Image> enabled = images_[image_index(entry.enabled_image)];
        std::shared_ptr<Image> disabled = images_[image_index(entry.disabled_image)];
        std::function<void()> click;
        switch (entry.click) {
        case action::none:
            click = [] {};
            break;
        case action::push:
            if (entry.mode != 0) {
                click = [this, mode = entry.mode] {
                    form_.push_panel(panel_ids::orders_list, make_number_param(mode));
                };
            } else {
                click = [this, id = entry.panel] { form_.push_panel(id); };
            }
            break;
        case action::parking:
            click = [this] { on_parking(); };
            break;
        case action::navigator:
            click = [this] { start_navigator(); };
            break;
        }
        menu_button* made = nullptr;
        switch (entry.type) {
        case kind::note: {
            auto& note = add<menu_button_note>(1, &form_, cell, std::move(click), enabled, disabled, entry.caption,
                                               number == 1 ? L"0/0" : L"0");
            (number == 1 ? current_orders_ : number == 6 ? preliminary_orders_ : my_orders_) = &note;
            made = &note;
            break;
        }
        case kind::ex: {
            auto& ex = add<menu_button_ex>(1, &form_, cell, std::move(click), enabled, disabled, entry.caption,
                                           images_[image_index(parking_badge_image)]);
            parking_ = &ex;
            made = &ex;
            break;
        }
        case kind::plain:
            made = &add<menu_button>(1, &form_, cell, std::move(click), enabled, disabled, entry.caption);
            break;
        }
        buttons_[number - 1] = made;
    }
}

void panel_master_panel_2::hide() {
    current_orders_ = preliminary_orders_ = my_orders_ = nullptr;
    parking_ = nullptr;
    buttons_.fill(nullptr);
    for (auto& image : images_) {
        image.reset();
    }
}

void panel_master_panel_2::on_command(const zel_api::update_mask&) {
    refresh();
}

// --- refresh rule

void panel_master_panel_2::refresh() {
    if (!buttons_[0]) {
        return; // not shown
    }
    auto shown = [this](int number, bool enabled = true) {
        buttons_[number - 1]->set_visible(true);
        buttons_[number - 1]->set_enabled(enabled);
    };
    auto visible = [this](int number) { return buttons_[number - 1]->is_visible(); };

    for (int number = 1; number <= 14; ++number) {
        buttons_[number - 1]->set_visible(false);
        buttons_[number - 1]->set_enabled(false);
    }
    for (int number : {15, 17, 18, 19}) {
        shown(number);
    }
    shown(16, false);
    // The parking cell starts from its own caption and no badge, so an area left or a queue emptied since the
    // last refresh does not stay on it.
    parking_->set_caption(parking_caption);
    parking_->set_subcaption(L"");

    controller* c = controller::instance();
    if (!c || !c->is_logged_in()) {
        shown(1, false);
        shown(6, false);
        shown(7, false);
        shown(12);
    } else {
        const auto session = c->get_session_param();
        const auto order = c->get_current_order();
        const int32_t oac = session && session->oac ? *session->oac : 0;
        current_orders_->set_note(int_to_wstring(static_cast<int32_t>(c->get_orders_1().size())) + L"/" +
                                  int_to_wstring(oac));
        preliminary_orders_->set_note(int_to_wstring(static_cast<int32_t>(c->get_orders_2().size())));
        my_orders_->set_note(int_to_wstring(static_cast<int32_t>(c->get_orders_3().size())));
        shown(6);
        shown(7);
        if (!order) {
            shown(1);
        }
        if (session && session->driver_status) {
            const bool no_area = !session->area_id || *session->area_id == 0;
            switch (*session->driver_status) {
            case driver_status::off_shift:
                shown(10);
                break;
            case driver_status::no_status_button:
                break;
            case driver_status::at_lunch:
                shown(13);
                break;
            case driver_status::under_repair:
                shown(14);
                break;
            case driver_status::working:
                shown(no_area ? 9 : 8);
                shown(2);
                break;
            default:
                if (!order) {
                    shown(8);
                } else if (order->s) {
                    const int32_t s = *order->s;
                    if (s == 2 || s == 4) {
                        shown(9, false);
                        shown(4);
                    } else if (s == 3 || s == 7) {
                        shown(9, false);
                        shown(3);
                    } else if (s == 8) {
                        shown(5);
                        shown(no_area ? 9 : 8);
                    }
                }
                break;
            }
        }
        // "Таксометр" drawn over "Текущие заказы" would leave the tap to the hidden one: keep only the one drawn.
        if (visible(2)) {
            buttons_[0]->set_visible(false);
            buttons_[0]->set_enabled(false);
        }
        if (visible(8) && parking_->is_enabled() && session && session->area_id) {
            if (const auto area = c->find_area(*session->area_id)) {
                parking_->set_caption(area->n);
            }
            if (session->area_queue && *session->area_queue > 0) {
                parking_->set_subcaption(int_to_wstring(*session->area_queue));
            }
        }
    }
    bool any = false;
    for (int number = 8; number <= 14; ++number) {
        any = any || visible(number);
    }
    if (!any) {
        shown(9, false);
    }
    // Notes and the badge text are stored without a repaint of their own.
    for (int number : {1, 6, 7, 8}) {
        form_.invalidate_rect(buttons_[number - 1]->get_rect());
    }
}

// --- parking rule

void panel_master_panel_2::on_parking() {
    controller* c = controller::instance();
    const auto session = c ? c->get_session_param() : nullptr;
    if (!session) {
        return;
    }
    if (!session->area_id || !session->driver_status) {
        // Without "driver-status" the area list is the safe way on.
        form_.push_panel(panel_ids::area_list);
        return;
    }
    const int32_t status = *session->driver_status;
    if (status == driver_status::ordinary_area_list || status == driver_status::working) {
        form_.push_panel(panel_ids::area_list);
    } else if (status == driver_status::ordinary) {
        form_.push_panel(panel_ids::driver_status);
    } else if (c->get_area_type(*session->area_id) == area_type::district) {
        form_.push_panel(panel_ids::park_list, make_number_param(*session->area_id));
    } else {
        form_.push_panel(panel_ids::area_list);
    }
}

// --- navigator

void panel_master_panel_2::start_navigator() {
    const std::wstring path = read_navigation_path();
    if (path.empty()) {
        std::error_code error;
        const bool present = std::filesystem::exists(app_file(L"\\navigation.txt"), error);
        log(logger::warning, present ? L"panel_master_panel_2::start_navigator: navigation.txt names no program"
                                     : L"panel_master_panel_2::start_navigator: no navigation.txt");
        return;
    }
    if (!process_control::current().start_program(path, {})) {
        log(logger::warning, L"panel_master_panel_2::start_navigator: cannot start " + path);
    }
}

} // namespace zel::form
