// The driver's card (panel 13): the driver's name and call sign beside the photo frame (a name too long for it
// is cut to the lines that fit), the car's name and colour with its plate, the account at the chosen dispatch
// service and the balance (held at eight digits). It reads the session records and the chosen server once, at
// show, and keeps the texts until hide; a later "session-param" shows at the next show. No buttons, no commands. UI
// thread only.
//
//   state    event -> state    effect
//   hidden   show  -> shown    texts read, thirteen controls added
//   shown    hide  -> hidden   pictures and texts released (the manager's clear destroys the controls)
#pragma once

#include <memory>
#include <string>

#include "form/shell/panel_base.h"
#include "form/shell/panel_ids.h"

namespace zel::form {

class manager_2;
class Image;
class plate_box;

class panel_balance : public panel_base {
public:
    static constexpr int id = panel_ids::balance;

    explicit panel_balance(manager_2& form);
    ~panel_balance() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void show(const panel_param* param) override;
    void hide() override;

    // The texts as the last show read them (tests).
    const std::wstring& balance_text() const {
        return balance_;
    }
    const std::wstring& account_caption() const {
        return account_caption_;
    }
    plate_box* plate() const {
        return plate_;
    }

private:
    void clear_texts();
    void read_texts();
    void build();

    manager_2& form_;
    std::shared_ptr<Image> photo_frame_; // 2005
    std::shared_ptr<Image> car_pic_;     // 2004
    std::shared_ptr<Image> plate_size_;  // 2006
    std::shared_ptr<Image> balance_pic_; // 2009

    // The plate, for the tests; the panel base owns it and the other controls from show to the clear.
    plate_box* plate_ = nullptr;

    std::wstring driver_name_;
    std::wstring service_name_;
    std::wstring balance_;
    std::wstring callsign_;
    std::wstring car_description_;
    std::wstring plate_text_;
    std::wstring account_;
    std::wstring account_caption_;
};

} // namespace zel::form
