// radio_group: keeps at most one of its member radio buttons checked. Members join in order and are not
// owned; the group lives as long as its panel's controls. UI thread only.
#pragma once

#include <vector>

namespace zel::form {

class radio_button;

class radio_group {
public:
    virtual ~radio_group() = default;
    // A member became checked: every other checked member is unchecked.
    virtual void select(radio_button* button);
    virtual void add(radio_button* button);

    const std::vector<radio_button*>& members() const {
        return members_;
    }

private:
    std::vector<radio_button*> members_;
};

} // namespace zel::form
