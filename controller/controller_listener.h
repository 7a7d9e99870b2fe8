// What the controller needs of the panel manager: a way to hand it an update mask. post_command is called on
// the controller's worker threads (and the GPS thread's requests); it queues the mask for the UI thread and
// returns at once. It is called with no lock of the store held; a request thread holds the request lock.
#pragma once

#include "api/update_mask.h"

namespace zel::controller_ {

class controller_listener {
public:
    virtual ~controller_listener() = default;
    virtual void post_command(const zel_api::update_mask& mask) = 0;
};

} // namespace zel::controller_
