#pragma once
// The COM edge: every method that COM calls into the system runs its body through
// com_edge, so that no C++ exception crosses into the caller.
#include <type_traits>

#include "host/com/hresult.h"

namespace host::com {

// Runs `body` and turns whatever it throws into an HRESULT with error info for `iid`.
// `body` returns nothing (success is S_OK) or an HRESULT of its own.
template <class F>
HRESULT com_edge(REFIID iid, F&& body) noexcept {
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (...) {
        return report_error(current_failure(), iid);
    }
}

// The same for IDispatch::Invoke of an object of the system: the failure goes back in
// EXCEPINFO with DISP_E_EXCEPTION, as automation callers expect.
template <class F>
HRESULT invoke_edge(EXCEPINFO* info, F&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (...) {
        fill_excepinfo(info, current_failure());
        return DISP_E_EXCEPTION;
    }
}

}  // namespace host::com
