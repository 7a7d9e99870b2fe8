// tariff_widget: the tariff description of the ride screen and of the take order screen — four fare lines
// ("МИНИМАЛКА", "КИЛОМЕТР", "МИНУТА", "МИНУТА ОЖИДАНИЯ") and, on a widget of the purchase kind, the order
// purchase line ("ПОКУПКА ЗАКАЗА") once both its figures are above 0.001. It owns its six line pictures
// (resized to its width at creation) and eight figures, 0 until set. It usually lives in a scroll view: the
// rectangle it reports (get_rect, extent) keeps the x, y and width it was given and is as high as the lines
// shown, so the view scrolls the whole description into sight; the height given at creation is not used.
// Showing and enabling store the flag only, as an image control's do. Takes no pen. UI thread only.
#pragma once

#include <memory>
#include <string>

#include "form/controls/control.h"

namespace zel::form {

class Image;

class tariff_widget : public control {
public:
    // The kind flag: a purchase widget may show the purchase line, a plain one never does.
    static constexpr int kind_plain = 0;
    static constexpr int kind_purchase = 1;

    tariff_widget(manager_2* form, const rect& r, int kind);
    ~tariff_widget() override;

    void paint(Graphics& g, const rect& update, int dx, int dy) override;
    void set_visible(bool visible) override {
        visible_ = visible;
    }
    void set_enabled(bool enabled) override {
        enabled_ = enabled;
    }

    // Each stores its figure and repaints when it changed.
    void set_base_price(float value);
    void set_included_km(float value);
    void set_included_minutes(float value);
    void set_price_per_km(float value);
    void set_price_per_minute(float value);
    void set_price_per_waiting_minute(float value);
    void set_purchase_percent(float value);
    void set_purchase_minimum(float value);

    // The rectangle as given, as high as the bottom of the last line shown.
    rect extent() const;
    bool shows_purchase_line() const;
    // The rectangle of fare line k (1 to 4) and of the purchase line, in the widget's frame.
    rect fare_line_rect(int k) const;
    rect purchase_line_rect() const;

    // A figure as written: one decimal when it has hundredths ("2.5"), else the whole number ("20").
    static std::wstring round_value(float value);

private:
    void set_figure(float& figure, float value);
    // A fare line: title, subtitle, and the value in roubles at the right.
    void rub_text(Graphics& g, const rect& r, const std::wstring& title, const std::wstring& subtitle,
                  const std::wstring& value);
    // The purchase line: its minimum in the subtitle, the percentage at the right.
    void tariff_line(Graphics& g, const rect& r);

    int kind_;
    int gap_;
    std::shared_ptr<Image> purchase_middle_;
    std::shared_ptr<Image> purchase_left_;
    std::shared_ptr<Image> purchase_right_;
    std::shared_ptr<Image> fare_middle_;
    std::shared_ptr<Image> fare_left_;
    std::shared_ptr<Image> fare_right_;

    float base_price_ = 0;
    float included_km_ = 0;
    float included_minutes_ = 0;
    float price_per_km_ = 0;
    float price_per_minute_ = 0;
    float price_per_waiting_minute_ = 0;
    float purchase_percent_ = 0;
    float purchase_minimum_ = 0;
};

} // namespace zel::form
