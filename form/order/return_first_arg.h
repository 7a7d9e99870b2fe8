// return_first_arg: the callback of a control that has no action (a tab or a button that does nothing yet). It
// takes any arguments, does nothing and gives back the first one, so it fits a click callback
// (std::function<void()>) as well as a key or answer callback (std::function<void(int)>). Stateless.
#pragma once

namespace zel::form {

struct return_first_arg_t {
    void operator()() const {}
    template <class First, class... Rest> First operator()(First first, Rest&&...) const {
        return first;
    }
};

inline constexpr return_first_arg_t return_first_arg{};

} // namespace zel::form
