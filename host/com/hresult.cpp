#include "host/com/hresult.h"

#include <exception>
#include <new>
#include <string>

#include "host/com/bstr.h"
#include "host/com/com_ptr.h"
#include "host/com/unique_handle.h"
#include "host/text.h"

namespace host::com {

namespace {

struct KnownCode {
    HRESULT hr;
    int32_t number;
    const char16_t* description;
};

// The automation codes that late binding reports as run-time errors.
constexpr KnownCode known_codes[] = {
    {DISP_E_MEMBERNOTFOUND, errors::member_not_found, u"Object doesn't support this property or method"},
    {DISP_E_UNKNOWNNAME, errors::member_not_found, u"Object doesn't support this property or method"},
    {DISP_E_TYPEMISMATCH, errors::type_mismatch, u"Type mismatch"},
    {DISP_E_OVERFLOW, errors::overflow, u"Overflow"},
    {DISP_E_BADPARAMCOUNT, 450, u"Wrong number of arguments or invalid property assignment"},
    {DISP_E_PARAMNOTOPTIONAL, 449, u"Argument not optional"},
    {DISP_E_BADINDEX, 9, u"Subscript out of range"},
    {E_OUTOFMEMORY, 7, u"Out of memory"},
    {E_NOINTERFACE, 430, u"Class does not support Automation or does not support expected interface"},
};

constexpr HRESULT control_facility = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 0);

std::u16string system_message(HRESULT hr) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer),
                             0, nullptr);
    unique_any<HLOCAL, &LocalFree> owner(buffer);
    std::u16string text = n ? from_wide(buffer, n) : std::u16string();
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' '))
        text.pop_back();
    return text.empty() ? u"Automation error" : text;
}

}  // namespace

int32_t error_number(HRESULT hr) noexcept {
    auto code = static_cast<uint32_t>(hr);
    if ((code & 0xFFFF0000u) == static_cast<uint32_t>(control_facility)) return static_cast<int32_t>(code & 0xFFFF);
    for (const auto& k : known_codes)
        if (k.hr == hr) return k.number;
    return static_cast<int32_t>(hr);
}

HRESULT hresult_of(const Failure& failure) noexcept {
    int32_t n = failure.number();
    if (n < 0) return static_cast<HRESULT>(n);
    if (n > 0 && n <= 0xFFFF)
        return static_cast<HRESULT>(static_cast<uint32_t>(control_facility) | static_cast<uint32_t>(n));
    return E_FAIL;
}

Failure failure_from_hresult(HRESULT hr) {
    for (const auto& k : known_codes)
        if (k.hr == hr) return Failure(k.number, k.description);
    return Failure(error_number(hr), system_message(hr));
}

Failure failure_from_excepinfo(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    Bstr source = adopt_bstr(std::exchange(info.bstrSource, nullptr));
    Bstr description = adopt_bstr(std::exchange(info.bstrDescription, nullptr));
    Bstr help = adopt_bstr(std::exchange(info.bstrHelpFile, nullptr));
    int32_t number = info.scode ? error_number(info.scode) : info.wCode;
    std::u16string text = description.str();
    if (text.empty()) {
        text = info.scode ? failure_from_hresult(info.scode).description()
                          : u"Application-defined or object-defined error";
    }
    std::u16string from = source.str();
    return from.empty() ? Failure(number, std::move(text)) : Failure(number, std::move(text), std::move(from));
}

void raise_hresult(HRESULT hr) { throw failure_from_hresult(hr); }

HRESULT report_error(const Failure& failure, REFIID iid) noexcept {
    try {
        com_ptr<ICreateErrorInfo> create;
        if (SUCCEEDED(CreateErrorInfo(create.put()))) {
            create->SetGUID(iid);
            std::wstring source = to_wide(failure.source());
            std::wstring description = to_wide(failure.description());
            create->SetSource(source.data());
            create->SetDescription(description.data());
            if (auto info = create.try_query<IErrorInfo>()) SetErrorInfo(0, info.get());
        }
    } catch (...) {
        // The HRESULT still reaches the caller; only the description is lost.
    }
    return hresult_of(failure);
}

void fill_excepinfo(EXCEPINFO* info, const Failure& failure) noexcept {
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = hresult_of(failure);
    try {
        info->bstrSource = Bstr(failure.source()).detach();
        info->bstrDescription = Bstr(failure.description()).detach();
    } catch (...) {
    }
}

Failure current_failure() noexcept {
    try {
        throw;
    } catch (const Failure& f) {
        return f;
    } catch (const std::bad_alloc&) {
        return Failure(static_cast<int32_t>(E_OUTOFMEMORY), u"Out of memory");
    } catch (const std::exception& e) {
        return Failure(static_cast<int32_t>(E_FAIL), from_utf8(e.what()));
    } catch (...) {
        return Failure(static_cast<int32_t>(E_UNEXPECTED), u"Unexpected error");
    }
}

}  // namespace host::com
