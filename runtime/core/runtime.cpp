#include "runtime/core/runtime.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "host/desktop.h"
#include "runtime/core/arrays.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_stack.h"

namespace rt {

Runtime::Runtime(ProgramOptions options, host::Desktop& desktop, std::string module_name, std::string base_name)
    : options_(std::move(options)),
      desktop_(desktop),
      module_name_(std::move(module_name)),
      base_name_(std::move(base_name)),
      frame_(std::make_unique<FrameRecords>(options_.pump_interval)),
      heap_(std::make_unique<StringHeap>()),
      stack_(std::make_unique<StringStack>()),
      arrays_(std::make_unique<ArrayRegistry>())
{
    heap_->follow_frame_number(frame_->state.frame);
}

Runtime::~Runtime()
{
    release_all();
}

void Runtime::no_current_runtime() noexcept
{
    std::fputs("runtime operation called while no runtime is running\n", stderr);
    std::abort();
}

void Runtime::add_closing_note(std::string_view line)
{
    std::string note(line);
    note += '\n';
    if (("\n" + closing_notes_).find("\n" + note) == std::string::npos)
        closing_notes_ += note;
}

void Runtime::release_all() noexcept
{
    for (auto it = install_order_.rbegin(); it != install_order_.rend(); ++it) {
        auto& ext = extensions_[*it];
        if (!ext)
            continue;
        ext->on_terminate();
        ext.reset();
    }
    install_order_.clear();
    extensions_.clear();
    stack_->release_all();
    heap_->release_all();
    arrays_->release_all();
}

std::size_t Runtime::next_slot() noexcept
{
    static std::atomic<std::size_t> slots{0};
    return slots.fetch_add(1, std::memory_order_relaxed);
}

void Runtime::set_extension(std::size_t slot, std::unique_ptr<RuntimeExtension> ext)
{
    if (slot >= extensions_.size())
        extensions_.resize(slot + 1);
    if (extensions_[slot]) {
        std::fputs("runtime extension installed twice\n", stderr);
        std::abort();
    }
    extensions_[slot] = std::move(ext);
    install_order_.push_back(slot);
}

void Runtime::missing_extension()
{
    std::fputs("runtime extension used before it was installed\n", stderr);
    std::abort();
}

RuntimeScope::RuntimeScope(Runtime& runtime) noexcept : runtime_(runtime)
{
    runtime_.previous_ = Runtime::current_.exchange(&runtime_, std::memory_order_acq_rel);
}

RuntimeScope::~RuntimeScope()
{
    Runtime::current_.store(runtime_.previous_, std::memory_order_release);
}

}  // namespace rt
