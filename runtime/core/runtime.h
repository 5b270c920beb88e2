// The runtime's own records for one running program, and the way the other
// runtime subsystems (files, console, serial, drawing) attach theirs.
//
// Exactly one Runtime is current on the program thread; operations named after
// statements (STMT, OPEN, PRINT_STR, ...) work on Runtime::current().
// Tests create a Runtime of their own with RuntimeScope.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/message.h"
#include "runtime/core/program_options.h"

namespace host {
class Desktop;
}

namespace rt {

class FrameRecords;
class PrintChannel;
class ConsoleReportTarget;
class StringHeap;
class StringStack;
class ArrayRegistry;

// State that a subsystem outside the core keeps for the running program
// (device table, console window, serial channels). Released at termination in
// the reverse order of installation.
class RuntimeExtension {
public:
    virtual ~RuntimeExtension() = default;
    // Called during termination, before the string heap is freed; must not throw.
    virtual void on_terminate() noexcept {}
};

class Runtime {
public:
    Runtime(ProgramOptions options, host::Desktop& desktop, std::string module_name, std::string base_name);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The runtime of the program thread; aborts when none is current. Called
    // on the program thread only, which made the runtime current itself, so
    // the load orders nothing and the compiler may keep other values in
    // registers across it. Other threads use current_or_null().
    static Runtime& current() noexcept
    {
        Runtime* runtime = current_.load(std::memory_order_relaxed);
        if (!runtime) [[unlikely]]
            no_current_runtime();
        return *runtime;
    }
    static Runtime* current_or_null() noexcept { return current_.load(std::memory_order_acquire); }

    const ProgramOptions& options() const noexcept { return options_; }
    host::Desktop& desktop() noexcept { return desktop_; }
    const std::string& module_name() const noexcept { return module_name_; }  // "Qk14", "QkP877W"
    const std::string& base_name() const noexcept { return base_name_; }      // executable name without extension

    FrameRecords& frame() noexcept { return *frame_; }
    StringHeap& heap() noexcept { return *heap_; }
    StringStack& string_stack() noexcept { return *stack_; }
    ArrayRegistry& arrays() noexcept { return *arrays_; }

    // The main console window (0 until the console creates it, and after it is
    // destroyed). Termination closes the other windows first, then this one.
    host::WindowId main_window() const noexcept { return main_window_; }
    void set_main_window(host::WindowId window) noexcept { main_window_ = window; }

    // Installed by the console; null until then.
    PrintChannel* print_channel() noexcept { return print_channel_; }
    void set_print_channel(PrintChannel* channel) noexcept { print_channel_ = channel; }
    ConsoleReportTarget* report_target() noexcept { return report_target_; }
    void set_report_target(ConsoleReportTarget* target) noexcept { report_target_ = target; }

    // Typed access to a subsystem's record; install() once, then extension<T>().
    template <class T>
    T& install(std::unique_ptr<T> ext)
    {
        T& ref = *ext;
        set_extension(slot_of<T>(), std::move(ext));
        return ref;
    }
    template <class T>
    T* find_extension() noexcept
    {
        auto i = slot_of<T>();
        return i < extensions_.size() ? static_cast<T*>(extensions_[i].get()) : nullptr;
    }
    template <class T>
    T& extension();  // aborts with a message when not installed

    // The fatal report as plain text (UTF-8, "\n" line ends) for standard
    // error: the start routine writes it once the front end has closed, so
    // the shell shows why the program ended. Empty when nothing was reported.
    const std::string& closing_report() const noexcept { return closing_report_; }
    void set_closing_report(std::string text) { closing_report_ = std::move(text); }
    // Notes for standard error about problems the program went on with (a
    // settings value it could not use): UTF-8 lines, written before the
    // closing report. A note already kept is not kept again.
    const std::string& closing_notes() const noexcept { return closing_notes_; }
    void add_closing_note(std::string_view line);

    // Termination clean-up: extensions in reverse order of installation, then
    // the string heap, stack and arrays. Idempotent; never throws.
    void release_all() noexcept;

private:
    static std::size_t next_slot() noexcept;
    template <class T>
    static std::size_t slot_of() noexcept
    {
        static const std::size_t kSlot = next_slot();
        return kSlot;
    }
    void set_extension(std::size_t slot, std::unique_ptr<RuntimeExtension> ext);
    [[noreturn]] static void missing_extension();
    [[noreturn]] static void no_current_runtime() noexcept;

    // The current runtime. Atomic because serial reader threads reach the
    // event table through it while the program thread runs.
    static inline std::atomic<Runtime*> current_{nullptr};

    ProgramOptions options_;
    host::Desktop& desktop_;
    std::string module_name_;
    std::string base_name_;
    std::unique_ptr<FrameRecords> frame_;
    std::unique_ptr<StringHeap> heap_;
    std::unique_ptr<StringStack> stack_;
    std::unique_ptr<ArrayRegistry> arrays_;
    std::vector<std::unique_ptr<RuntimeExtension>> extensions_;  // indexed by slot
    std::vector<std::size_t> install_order_;
    host::WindowId main_window_ = 0;
    PrintChannel* print_channel_ = nullptr;
    ConsoleReportTarget* report_target_ = nullptr;
    Runtime* previous_ = nullptr;
    std::string closing_report_;
    std::string closing_notes_;
    friend class RuntimeScope;
};

template <class T>
T& Runtime::extension()
{
    if (T* p = find_extension<T>())
        return *p;
    missing_extension();
}

// Makes a runtime current for its lifetime (the start routine, and tests).
class RuntimeScope {
public:
    explicit RuntimeScope(Runtime& runtime) noexcept;
    ~RuntimeScope();
    RuntimeScope(const RuntimeScope&) = delete;
    RuntimeScope& operator=(const RuntimeScope&) = delete;

private:
    Runtime& runtime_;
};

}  // namespace rt
