#include "runtime/core/trap_window.h"

namespace rt {

TrapWindow::TrapWindow(host::Desktop& desktop, std::function<void()> on_tick) : desktop_(desktop)
{
    id_ = desktop_.create_hidden_window([on_tick = std::move(on_tick)](const host::Message& m) -> std::int64_t {
        if (m.kind == host::MessageKind::Timer && m.timer_id == kTimerId)
            on_tick();
        return 0;
    });
}

TrapWindow::~TrapWindow()
{
    desktop_.kill_timer(id_, kTimerId);
    desktop_.destroy_window(id_);
}

void TrapWindow::start_timer()
{
    desktop_.set_timer(id_, kTimerId, kTick);
}

void TrapWindow::stop_timer()
{
    desktop_.kill_timer(id_, kTimerId);
}

}  // namespace rt
