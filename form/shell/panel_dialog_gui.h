// panel_dialog_gui: the message box (panel_ids::dialog). A framed box centred in the work area with an icon, a bold
// title, the wrapped text and "Ok" (a message, which sounds 3 at every show) or "Нет" and "Да" (a question).
// The answer goes to the request's callback, whose job it is to pop the box; an empty callback does nothing.
//
// The stack entry owns the request; the box only borrows it from show to hide, so a box covered by another
// panel is shown again, with the same request, when uncovered. Controls and pictures live from show to
// hide. UI thread only.
//
// Buttons: kind 0 -> "Ok" (answer 2); kind 1 -> "Нет" (0), "Да" (1). Enter and back pop the box without
// an answer.
#pragma once

#include <memory>

#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class image_control;
class text_label;
class frame_text_button;
class multiline_text;
class dialog_request;

class panel_dialog_gui : public panel_base {
public:
    explicit panel_dialog_gui(manager_2& form);
    ~panel_dialog_gui() override;

    static constexpr int id = panel_ids::dialog;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;

    void on_no();
    void on_yes();
    void on_ok();

    // Tests look at these while the box is shown.
    const dialog_request* request() const {
        return request_;
    }
    text_label* title() const {
        return title_;
    }
    frame_text_button* no_button() const {
        return no_;
    }
    frame_text_button* yes_button() const {
        return yes_;
    }
    frame_text_button* ok_button() const {
        return ok_;
    }
    multiline_text* body() const {
        return body_;
    }
    // Top, middle and bottom frame pieces; the icon shown.
    image_control* frame_piece(int index) const {
        return pieces_[index];
    }
    image_control* icon() const;

private:
    void answer(int value);
    void lay_out();

    manager_2& form_;
    const dialog_request* request_ = nullptr;
    // Skin 2019 (bottom), 2020 (middle), 2021 (top), 2022, 2023 (message), 2024 (question).
    std::shared_ptr<Image> images_[6];
    // The controls, owned by the panel base from show to the clear.
    text_label* title_ = nullptr;
    frame_text_button* no_ = nullptr;
    frame_text_button* yes_ = nullptr;
    frame_text_button* ok_ = nullptr;
    multiline_text* body_ = nullptr;
    // Image controls in image order: 2019, 2020, 2021, 2022, 2023, 2024.
    image_control* pieces_[6] = {};
};

} // namespace zel::form
