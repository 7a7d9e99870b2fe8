#include "tests/form/account/parking_scene.h"

#include "form/controls/list_view.h"

namespace zel::form::test {

const char* const parking_areas =
    R"({"ref-area":{"id":15,"n":"Север","t":2,"cid":[]}}{"ref-area":{"id":12,"n":"Центр","t":2,"cid":[13,14,99]}})"
    R"({"ref-area":{"id":13,"n":"Вокзал","t":1}}{"ref-area":{"id":14,"n":"Рынок","t":1}})"
    R"({"ref-area":{"id":16,"n":"Аэропорт","t":4}}{"nda":{"id":12,"c":5}})"
    R"({"adc":{"id":13,"c":0,"q":3}}{"adc":{"id":14,"c":4,"q":2}})";
const char* const one_free_car =
    R"({"cars":{"freecars":[{"id":1,"color":"белый","regnum":"ав123с[777]","name":"Лада Гранта"}]}})";
const char* const two_free_cars =
    R"({"cars":{"freecars":[{"id":1,"color":"белый","regnum":"ав123с[777]","name":"Лада Гранта"},)"
    R"({"id":2,"color":"чёрный","regnum":"а123вс[77]","name":"Киа Рио"}]}})";
const char* const current_order = R"({"order":{"s-id":"O-1","l-type":4,"s":8,"af":{"t":"Ленина 1"}}})";

void parking_scene::open_world(const parking_world& world, const std::string& script,
                               std::map<std::string, std::string> values) {
    screen_options options;
    options.dispatch_script = "tests/form/fixtures/" + script;
    options.values = std::move(values);
    options.values["SESSION"] = world.session;
    options.values["RECORDS"] = std::string(parking_areas) + world.cars + world.order + world.extra;
    open(options);
    log_in();
}

void parking_scene::open_screen(int id, std::shared_ptr<const panel_param> param) {
    manager->push_panel(id, std::move(param));
    ASSERT_TRUE(pump_until([&] { return current_panel_id() == id; })) << dispatch_server->transcript();
}

list_panel* parking_scene::shown_list() const {
    auto* shown = dynamic_cast<list_panel*>(manager->current_panel());
    EXPECT_TRUE(shown && shown->list()) << "panel " << current_panel_id() << " is no list screen";
    return shown && shown->list() ? shown : nullptr;
}

std::vector<drawn_text> parking_scene::row_drawn(int row) {
    std::vector<drawn_text> found;
    const list_panel* shown = shown_list();
    if (!shown) {
        return found;
    }
    const rect list = shown->list()->get_rect();
    const int height = shown->row_size(row).height;
    const int top = list.y + row * height;
    for (const drawn_text& t : screen_texts()) {
        const int middle = t.r.y + t.r.h / 2;
        if (t.r.x >= list.x && t.r.x < list.x + list.w && middle >= top && middle < top + height) {
            found.push_back(t);
        }
    }
    return found;
}

std::vector<std::vector<std::wstring>> parking_scene::row_texts() {
    std::vector<std::vector<std::wstring>> rows;
    const list_panel* shown = shown_list();
    if (!shown) {
        return rows;
    }
    for (int row = 0; row < shown->row_count(); ++row) {
        std::vector<std::wstring> texts;
        for (const drawn_text& t : row_drawn(row)) {
            texts.push_back(t.text);
        }
        rows.push_back(texts);
    }
    return rows;
}

void parking_scene::tap_row(int row) {
    const list_panel* shown = shown_list();
    if (!shown) {
        return;
    }
    const rect list = shown->list()->get_rect();
    const int height = shown->row_size(row).height;
    tap(list.x + list.w / 2, list.y + row * height + height / 2);
}

void parking_scene::fence() {
    ctl().set_option_1022(true);
    ASSERT_TRUE(pump_until([&] { return !received_containing(R"({"set-option":)").empty(); }))
        << dispatch_server->transcript();
}

} // namespace zel::form::test
