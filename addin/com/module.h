#pragma once
// The add-in DLL as a whole: its module handle and file, its type library, and the
// process-wide state that every Connect object shares.
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>

#include "addin/process_state.h"
#include "host/com/com_environment.h"
#include "host/com/com_ptr.h"
#include "wizard/win32/win32_views.h"

namespace addin::com {

void set_module(HMODULE module) noexcept;
HMODULE module() noexcept;
// The full path of the DLL file.
std::wstring module_path();

// The add-in's process-wide state: created with the first Connect object and dropped with
// the last, so that no reference on the host outlives the add-in objects.
struct Shared {
    Shared() : state(environment, views) {}
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    host::com::ComEnvironment environment;
    wizard::win32::Win32Views views;  // the pages as real windows; their pictures in the DLL
    ProcessState state;
    host::com::com_ptr<ITypeLib> type_library;
};

// The shared state; made when no Connect object holds it.
std::shared_ptr<Shared> acquire_shared();

// The description of one interface of the add-in's type library (embedded in the DLL).
host::com::com_ptr<ITypeInfo> type_info(REFIID iid);

}  // namespace addin::com
