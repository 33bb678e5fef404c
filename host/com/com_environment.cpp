#include "host/com/com_environment.h"

#include <windows.h>
#include <olectl.h>
#include <shellapi.h>

#include <cwchar>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/hresult.h"
#include "host/com/library_search.h"
#include "host/com/button_faces.h"
#include "host/com/log_file.h"
#include "host/com/picture_copy.h"
#include "host/com/unique_handle.h"

namespace host::com {

namespace {

// progid is empty when the class was named by its class id.
[[noreturn]] void cannot_create(HRESULT hr, std::u16string_view progid) {
    switch (hr) {
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
    case CO_E_SERVER_EXEC_FAILURE:
    case CO_E_APPNOTFOUND:
    case REGDB_E_READREGDB:
        throw cannot_create_object(progid);
    default:
        raise_hresult(hr);
    }
}

Object create(const CLSID& clsid, std::u16string_view progid = {}) {
    com_ptr<IDispatch> d;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, d.put_void());
    if (FAILED(hr)) cannot_create(hr, progid);
    return wrap(d.get());
}

class ComLibrary final : public Library {
public:
    explicit ComLibrary(unique_hmodule module) : module_(std::move(module)) {}
    void* entry(const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(module_.get(), name));
    }

private:
    unique_hmodule module_;
};

// The automation picture, bound as a compiled caller binds StdPicture: by the member ids
// that stdole publishes. Asking the picture instead makes Wine load and register stdole's
// type library at every question, a few milliseconds of the add-in's start-up each.
const KnownInterface picture_interface{u"Picture",
                                       IID_IPictureDisp,
                                       {{u"Handle", DISPID_PICT_HANDLE},
                                        {u"hPal", DISPID_PICT_HPAL},
                                        {u"Type", DISPID_PICT_TYPE},
                                        {u"Width", DISPID_PICT_WIDTH},
                                        {u"Height", DISPID_PICT_HEIGHT}}};

}  // namespace

void ComEnvironment::copy_button_face(const Object& picture, uint32_t mask_colour) {
    mTrIcons::CopyFaceToClipboard(picture, mask_colour);
}

Object ComEnvironment::load_picture(std::u16string_view path) {
    std::wstring file = to_wide(path);
    com_ptr<IPicture> picture;
    if (FAILED(OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, picture.put_void())) || !picture) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            raise(errors::file_not_found, u"File not found: " + std::u16string(path));
        raise(errors::invalid_picture, u"Invalid picture");
    }
    return wrap(without_fourth_byte(std::move(picture)).query<IDispatch>().get(), picture_interface);
}

Object ComEnvironment::create_object(std::u16string_view progid) {
    auto known = classes_.find(progid);
    if (known == classes_.end()) {
        Class c{};
        std::wstring name = to_wide(progid);
        HRESULT hr = CLSIDFromProgID(name.c_str(), &c.clsid);
        if (FAILED(hr)) cannot_create(hr, progid);
        // A class served from another process is left to CoCreateInstance, so that its
        // server is not kept running for a factory held here.
        if (FAILED(CoGetClassObject(c.clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                    c.in_process.put_void())))
            c.in_process.reset();
        known = classes_.emplace(std::u16string(progid), std::move(c)).first;
    }
    if (!known->second.in_process) return create(known->second.clsid, progid);
    com_ptr<IDispatch> d;
    HRESULT hr = known->second.in_process->CreateInstance(nullptr, IID_IDispatch, d.put_void());
    if (FAILED(hr)) cannot_create(hr, progid);
    return wrap(d.get());
}

int32_t ComEnvironment::message_box(std::u16string_view text, int32_t style, std::u16string_view title) {
    std::wstring t = to_wide(text), c = to_wide(title);
    // The add-in has no window of the host's to own its boxes, and a box without an owner is
    // modal to nothing: the user could go on clicking the pages or the host's buttons and
    // start a second run inside the first one's question. Task-modal, the box disables every
    // window of the thread (the host's and the pages) until it is answered.
    int answer = MessageBoxW(nullptr, t.c_str(), c.c_str(), static_cast<UINT>(style) | MB_TASKMODAL);
    if (answer == 0) raise_hresult(HRESULT_FROM_WIN32(GetLastError()));
    return answer;
}

void ComEnvironment::start_process(std::u16string_view command_line) {
    std::wstring line = to_wide(command_line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        raise(errors::file_not_found);
    unique_handle p(process.hProcess), t(process.hThread);
}

void ComEnvironment::open_address(std::u16string_view address) {
    std::wstring file = to_wide(address);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The shell's own error box would come on top of the one the caller shows.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) raise_hresult(HRESULT_FROM_WIN32(GetLastError()));
}

std::unique_ptr<Library> ComEnvironment::load_library(std::u16string_view file) {
    unique_hmodule module = load_trusted_library(static_cast<HMODULE>(module_handle()), to_wide(file));
    if (!module) return nullptr;
    return std::make_unique<ComLibrary>(std::move(module));
}

void* ComEnvironment::module_handle() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&picture_interface), &module);
    return module;
}

std::optional<std::u16string> ComEnvironment::installed_file(std::u16string_view name) {
    const std::wstring folder = folder_of(static_cast<HMODULE>(module_handle()));
    if (folder.empty()) return std::nullopt;
    const std::wstring file = folder + L"\\" + to_wide(name);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return from_wide(file.c_str());
}

std::optional<std::u16string> ComEnvironment::list_separator() {
    // At most four characters with the terminating null, as Windows documents LOCALE_SLIST.
    wchar_t text[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, text, 8);
    if (length <= 1) return std::nullopt;
    return from_wide(text);
}

std::u16string ComEnvironment::windows_folder() {
    // The shared folder, not the one a terminal server may give each user: the viewer is
    // installed once, with Windows. Windows is never installed deeper than a path's length.
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0) raise_hresult(HRESULT_FROM_WIN32(GetLastError()));
    if (length > MAX_PATH) raise_hresult(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    return from_wide(folder);
}

void* ComEnvironment::raw_interface(const Object& o) { return interface_of(o).get(); }

void ComEnvironment::log_failure(const Failure& failure, Shown shown) noexcept {
    try {
        auto folder = log_folder();
        if (!folder) return;
        if (!detailed_) detailed_ = detailed_logging();
        SYSTEMTIME t{};
        GetSystemTime(&t);
        wchar_t time[32];
        swprintf(time, 32, L"%04u-%02u-%02u %02u:%02u:%02uZ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
        const LogContext context{.time = from_wide(time),
                                 .host_version = host_version_,
                                 .addin_version = u"" QUILLAMOR_VERSION_TEXT,
                                 .detailed = *detailed_};
        append_log_line(*folder, log_line(context, failure, shown));
    } catch (...) {
        // The log never disturbs what it records.
    }
}

}  // namespace host::com
