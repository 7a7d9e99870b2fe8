// offer_take_button and its two kin: the order offer's framed buttons. Each shows its title below the
// middle, a badge picture with a short text (the rating) in its top-right corner while active, and above
// the title the countdown ("Взять заказ": large; "Назад": on its plate) or the reject icon ("Отказаться").
// The panel changes the texts from its countdown timer. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/frame_button.h"

namespace zel::form {

class offer_take_button : public frame_button {
public:
    offer_take_button(manager_2* form, const rect& r, std::function<void()> on_click);

    void paint(Graphics& g, const rect& update, int dx, int dy) override;

    // Each stores and repaints.
    void set_badge_text(const std::wstring& text);
    void set_time_text(const std::wstring& text);
    void set_active(bool active);

    const std::wstring& badge_text() const {
        return badge_text_;
    }
    const std::wstring& time_text() const {
        return time_text_;
    }
    bool active() const {
        return active_;
    }
    // The badge picture's and its text's rectangles (whether shown or not).
    rect badge_rect() const;
    rect badge_text_rect() const;
    // "Взять заказ": the rectangle the countdown is drawn in, as wide as its text: centred on the button, or
    // moved left just enough to keep clear of the badge while the badge shows.
    rect countdown_rect() const;

protected:
    // The kinds differ in title, badge picture and what goes above the title.
    enum class kind { take, back, reject };
    offer_take_button(manager_2* form, const rect& r, std::function<void()> on_click, kind k);

    // Top of the title line and its height.
    int title_top() const;
    int title_height() const;

    kind kind_;
    std::wstring badge_text_ = L"-1";
    std::wstring time_text_ = L"00:00";
    std::shared_ptr<Image> badge_;
    std::shared_ptr<Image> icon_;
    bool active_ = true;
};

class offer_back_button : public offer_take_button {
public:
    offer_back_button(manager_2* form, const rect& r, std::function<void()> on_click)
        : offer_take_button(form, r, std::move(on_click), kind::back) {}
};

class offer_reject_button : public offer_take_button {
public:
    offer_reject_button(manager_2* form, const rect& r, std::function<void()> on_click)
        : offer_take_button(form, r, std::move(on_click), kind::reject) {}
};

} // namespace zel::form
