#include "runtime/core/subroutine_call.h"

#include <utility>

#include "runtime/core/error.h"

namespace rt::detail {

namespace {

namespace site {
inline constexpr std::uint16_t kGosubFull = 0xD101;
inline constexpr std::uint16_t kReturnWithoutGosub = 0xD201;
inline constexpr std::uint16_t kEventGosubFull = 0xD301;
}  // namespace site

// Ends a running subroutine however it is left: pops its entry and, for an
// event subroutine, releases the event so that it can run again. (A transfer
// out of a subroutine, such as a resume to a label outside it, would
// otherwise leave the entry behind and the event held for good.)
class SubroutineEntry {
public:
    SubroutineEntry(FrameRecords& f, std::int16_t event) noexcept : f_(f), event_(event) {}
    ~SubroutineEntry()
    {
        f_.gosub.pop();
        if (event_ != GosubStack::kPlainGosub) {
            f_.events.release(event_);
            --f_.handler_depth;
            f_.skip_once = false;
        }
    }
    SubroutineEntry(const SubroutineEntry&) = delete;
    SubroutineEntry& operator=(const SubroutineEntry&) = delete;

private:
    FrameRecords& f_;
    std::int16_t event_;
};

// Event subroutines belong to the main program: inside a procedure its
// frame state (trap included) is switched in for the call and back after it.
class MainProgramContext {
public:
    explicit MainProgramContext(FrameRecords& f) noexcept : f_(f), switched_(f.state.frame != 0 && !f.callers.empty())
    {
        if (switched_)
            std::swap(f_.state, f_.callers.front());
    }
    ~MainProgramContext()
    {
        if (switched_)
            std::swap(f_.state, f_.callers.front());
    }
    MainProgramContext(const MainProgramContext&) = delete;
    MainProgramContext& operator=(const MainProgramContext&) = delete;

private:
    FrameRecords& f_;
    bool switched_;
};

}  // namespace

void run_subroutine(FrameRecords& f, std::int16_t event, const std::function<void()>& target)
{
    if (!f.gosub.push({event, f.state.frame}))
        RAISE_ERROR(err::kGosubTooDeep, event == GosubStack::kPlainGosub ? site::kGosubFull : site::kEventGosubFull);
    const std::uint16_t line = f.line;
    {
        SubroutineEntry entry(f, event);
        try {
            if (target)
                target();
        } catch (const ReturnSignal&) {
        }
    }
    f.line = line;
}

void run_event_subroutine(FrameRecords& f, int event)
{
    if (f.gosub.depth() == GosubStack::kCapacity) {
        // The occurrence is consumed, but the event is not left held for good.
        f.events.release(event);
        RAISE_ERROR(err::kGosubTooDeep, site::kEventGosubFull);
    }
    MainProgramContext main_program(f);
    ++f.handler_depth;
    f.skip_once = true;
    run_subroutine(f, static_cast<std::int16_t>(event), f.events.handler(event));
}

void return_from_subroutine(FrameRecords& f)
{
    const GosubStack::Entry* top = f.gosub.top();
    if (!top || top->frame != f.state.frame)
        RAISE_ERROR(err::kReturnWithoutGosub, site::kReturnWithoutGosub);
    throw ReturnSignal{};
}

}  // namespace rt::detail
