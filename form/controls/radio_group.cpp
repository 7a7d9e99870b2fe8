#include "form/controls/radio_group.h"

#include "form/controls/radio_button.h"

namespace zel::form {

void radio_group::select(radio_button* button) {
    for (radio_button* member : members_) {
        if (member != button && member->is_checked()) {
            member->set_checked(false);
        }
    }
}

void radio_group::add(radio_button* button) {
    members_.push_back(button);
}

} // namespace zel::form
