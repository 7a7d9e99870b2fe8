// The bill (panel 25): the finished ride's sheet (pick-up and last destination, distance, trip time, taximeter
// sum, downtime, total) read from the bill record that the ride panel stored, the edit button that opens the
// close-order parameters (28) when the tariff mode lets the driver correct figures, and "Завершить заказ",
// which sends "close-order" (the long form when the order has its own tariff "dct"). While the bill is shown
// the ride's taximeter is paused. When the taximeter measures the bill's order, the ride's upload records are
// taken from it just before "close-order" leaves; a successful close writes them as the ride's ".tax_data" and
// ".order_track" files into the "order_close_inf" folder before the panel moves on, a refused one drops them.
//
// States:
//   shown --finish, total below the minimum--> message "Минимальная сумма ..." --Ok--> shown
//   shown --finish, "cts" above 0--> question "Клиент воспользовался скидкой ..." --answer--> locked, sent
//   shown --finish otherwise--> locked, "close-order" sent
//   locked --"cmd-result" ok--> files written, after-close navigation, unlocked
//   locked --"cmd-result" refused--> unlocked, shown, nothing written
//   shown --"odel", no current order--> the area list 9, the parking list 10 or the first panel
// UI thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "api/command/received/order.h"
#include "api/update_mask.h"
#include "form/geometry.h"
#include "form/panel_base.h"
#include "gps/taximeter/trip_export.h"

namespace zel_api::command {
class close_order;
}

namespace zel::form {

class Image;
class frame_image_button;
class line_control;
class manager_2;
class segmented_button;

class panel_work_bill : public panel_base {
public:
    static constexpr int id = 25;

    explicit panel_work_bill(manager_2& form);
    ~panel_work_bill() override;

    int panel_id() const override {
        return id;
    }
    void paint_background(Graphics& g, const rect& update) override;
    void on_command(const zel_api::update_mask& mask) override;
    void show(const panel_param* param) override;
    void hide() override;

    void go_back();
    void on_edit_params();
    void on_finish();
    void on_discount_answer(int answer);
    void after_close_order();

    segmented_button* edit_button() const {
        return edit_.get();
    }
    // The stem of the ride's data files: the order id with every character outside [A-Za-z0-9_-] made "_",
    // "_", and the time in seconds since 1970.
    static std::string trip_file_stem(const std::wstring& order_id, int64_t seconds);

protected:
    // The part of the work rectangle that holds the sheet, and the buttons' column (the sheet's own when
    // portrait).
    virtual rect sheet_area() const;
    virtual void place_buttons(int bw, int bh);
    virtual void paint_columns(Graphics& g, const rect& update);

    manager_2& form_;
    std::unique_ptr<frame_image_button> back_;
    std::unique_ptr<frame_image_button> finish_;
    std::shared_ptr<Image> back_image_;   // 1048
    std::shared_ptr<Image> finish_image_; // 1055

private:
    using picture = std::shared_ptr<Image>;

    void close(bool long_form);
    std::unique_ptr<zel_api::command::close_order> build_close_order_params() const;
    void take_trip();
    void release();
    void draw_value(Graphics& g, const rect& row, const std::wstring& value, const std::wstring& unit) const;
    void draw_total(Graphics& g, const rect& r, float value) const;

    picture sheet_[7]; // 2174 to 2180
    std::unique_ptr<segmented_button> edit_;
    std::shared_ptr<const zel_api::command::order> order_;
    rect pickup_r_, destination_r_, distance_r_, trip_r_, meter_r_, downtime_r_, total_label_r_, total_r_;
    std::wstring pickup_;
    std::wstring destination_;
    int total_ = 0;
    float meter_sum_ = 0;
    int distance_ = 0;
    int trip_seconds_ = 0;
    int downtime_seconds_ = 0;
    int discount_answer_ = 0;
    bool paused_ = false;
    // The ride's records taken when "close-order" left, written when it succeeds.
    std::optional<gps::trip_export> trip_;
};

} // namespace zel::form
