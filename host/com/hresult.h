#pragma once
// HRESULTs and Failures. Inside the system a failed COM call is a host::Failure; at the COM
// edge a Failure becomes an HRESULT again, with error info for the caller.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

#include "host/failure.h"

namespace host::com {

// Error numbers of automation: the run-time error numbers that come back from the host in
// the control facility (0x800Axxxx) are numbers like 438, anything else stays an HRESULT.
int32_t error_number(HRESULT hr) noexcept;
// The HRESULT that carries a Failure's number back out.
HRESULT hresult_of(const Failure& failure) noexcept;

// The Failure of a failed call; the well-known automation codes get the numbers and
// descriptions the user knows from late binding.
Failure failure_from_hresult(HRESULT hr);
// The Failure an object reported through EXCEPINFO (which this releases).
Failure failure_from_excepinfo(EXCEPINFO& info);

[[noreturn]] void raise_hresult(HRESULT hr);
inline HRESULT check(HRESULT hr) {
    if (FAILED(hr)) raise_hresult(hr);
    return hr;
}

// Leaves error info for the caller of a COM method (`iid` is the interface it was called
// on) and gives the HRESULT to return.
HRESULT report_error(const Failure& failure, REFIID iid) noexcept;
// Fills an EXCEPINFO for an IDispatch::Invoke that ends in DISP_E_EXCEPTION.
void fill_excepinfo(EXCEPINFO* info, const Failure& failure) noexcept;

// The exception being handled, as a Failure: a Failure itself, or one made of any other
// exception (out of memory, a standard exception, anything else). Call only in a handler.
Failure current_failure() noexcept;

}  // namespace host::com
