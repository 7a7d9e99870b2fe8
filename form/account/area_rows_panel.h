// area_rows_panel: what the area list and the parking list share. Its rows are areas ("ref-area" records,
// taken by the derived screen at show), each drawn in a frame with the area's icon and name in its upper band
// and its figures over the band picture in its lower band; the derived screen chooses the two pictures and
// draws the figures. A chosen row is sent as "set-parking" with the GUI locked: the "set-parking" result
// unlocks, and on success goes back to the first panel. The figures ("nda", "adc") repaint the list without
// the rows being read again. UI thread only.
//
//   state    event                          -> state    effect
//   shown    send_parking(id)               -> waiting  GUI locked, "set-parking" sent
//   waiting  "set-parking" result, ok       -> shown    unlock, back to the first panel
//   waiting  "set-parking" result, not ok   -> shown    unlock
//   any      "nda" or "adc" (no result)     -> same     the list repaints
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "api/command/received/ref_area.h"
#include "form/shell/list_panel.h"

namespace zel::form {

class font_holder;

class area_rows_panel : public list_panel {
public:
    ~area_rows_panel() override;

    void on_command(const zel_api::update_mask& mask) override;
    void hide() override;

    int row_count() const override;
    void draw_row(Graphics& g, const rect& r, int value, int row, int pressed_row, int clickable) override;

protected:
    // The pictures of a row: the icon of its upper band and the picture of its lower band.
    area_rows_panel(manager_2& form, int icon_id, int band_id);

    // Takes the row pictures, builds the list and its arrows, keeps the rows and sets a flag for each.
    void show_rows(std::vector<std::shared_ptr<const zel_api::command::ref_area>> rows);
    // The row's area; null for an index outside the rows.
    const zel_api::command::ref_area* area_at(int row) const;
    // Locks the GUI and asks the server to stand the driver in the area.
    void send_parking(int64_t area_id);

    // The figures of the area in the lower band (top and height of the band, the row's left edge); the font
    // is the row's.
    virtual void draw_figures(Graphics& g, const font_holder& font, const zel_api::command::ref_area& area, int x,
                              int top, int band) = 0;

    // The lower band's picture (its width places the figures).
    const Image* band_image() const {
        return band_.get();
    }

private:
    int icon_id_;
    int band_id_;
    std::shared_ptr<Image> icon_;
    std::shared_ptr<Image> band_;
    std::vector<std::shared_ptr<const zel_api::command::ref_area>> rows_;
};

} // namespace zel::form
