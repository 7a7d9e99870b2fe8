// Every screen's id, once: the panel table, each panel's panel_id() and every push, replace and raise name
// their screen through these. Negative ids are the screens that sit beside the stack (the message box, the
// lock); 1 is the status strip.
#pragma once

namespace zel::form::panel_ids {

inline constexpr int dialog = -2;
inline constexpr int lock = -1;
inline constexpr int logo = 0;
inline constexpr int status = 1;
inline constexpr int main_menu = 2;
inline constexpr int start = 5;
inline constexpr int orders_list = 6;
inline constexpr int login = 7;
inline constexpr int driver_status = 8;
inline constexpr int area_list = 9;
inline constexpr int park_list = 10;
inline constexpr int my_info = 11;
inline constexpr int take_order = 12;
inline constexpr int balance = 13;
inline constexpr int my_rating = 14;
inline constexpr int shift_list = 15;
inline constexpr int take_shift = 16;
inline constexpr int exit = 17;
inline constexpr int reg_telephone = 18;
inline constexpr int reg_pincode = 19;
inline constexpr int set_car = 20;
inline constexpr int on_the_way = 21;
inline constexpr int arrived = 22;
inline constexpr int ride = 24;
inline constexpr int bill = 25;
inline constexpr int set_signcall = 27;
inline constexpr int close_params = 28;
inline constexpr int change_country = 29;
inline constexpr int order_offer = 30;
inline constexpr int offer_timeout = 31;
inline constexpr int offer_closed = 32;
inline constexpr int offer_final_rejection = 33;
inline constexpr int offer_rejection = 34;

} // namespace zel::form::panel_ids
