#include "host/com/com_environment.h"

#include <windows.h>
#include <olectl.h>

#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_dispatch.h"
#include "host/com/hresult.h"
#include "host/com/unique_handle.h"
#include "host/win32_api.h"

namespace host::com {

namespace {

[[noreturn]] void cannot_create(HRESULT hr) {
    switch (hr) {
    case REGDB_E_CLASSNOTREG:
    case CO_E_CLASSSTRING:
    case CO_E_SERVER_EXEC_FAILURE:
    case CO_E_APPNOTFOUND:
    case REGDB_E_READREGDB:
        raise(429, u"ActiveX component can't create object");
    default:
        raise_hresult(hr);
    }
}

Object create(const CLSID& clsid) {
    com_ptr<IDispatch> d;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, d.put_void());
    if (FAILED(hr)) cannot_create(hr);
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

using unique_bitmap = unique_any<HBITMAP, &DeleteObject>;

// Wine's picture loader gives a GIF as a 32-bit bitmap whose every pixel has 0xFF in its
// fourth byte, and its colour-to-monochrome BitBlt compares whole 32-bit pixels, so no
// pixel would ever match the buttons' mask colour. A 32-bit bitmap is therefore copied into
// a DIB section of its own with that byte cleared; other pictures are passed on as loaded.
com_ptr<IPicture> without_fourth_byte(com_ptr<IPicture> picture) {
    SHORT type = 0;
    OLE_HANDLE handle = 0;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return picture;
    HBITMAP loaded = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP info{};
    if (!GetObjectW(loaded, sizeof info, &info) || info.bmBitsPixel != 32) return picture;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = info.bmHeight;  // bottom-up, as GetDIBits gives the rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<uint8_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight) * 4);
    {
        host::win32::ScreenDC screen;
        if (GetDIBits(screen.get(), loaded, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format,
                      DIB_RGB_COLORS) != info.bmHeight)
            return picture;
    }
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0;

    void* bits = nullptr;
    unique_bitmap copy(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) return picture;
    std::copy(pixels.begin(), pixels.end(), static_cast<uint8_t*>(bits));
    GdiFlush();

    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_BITMAP;
    desc.bmp.hbitmap = copy.get();
    com_ptr<IPicture> out;
    // The new picture owns the copy from here.
    check(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, out.put_void()));
    static_cast<void>(copy.release());
    return out;
}

}  // namespace

Object ComEnvironment::load_picture(std::u16string_view path) {
    std::wstring file = to_wide(path);
    com_ptr<IPicture> picture;
    if (FAILED(OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, picture.put_void())) || !picture) {
        if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
            raise(errors::file_not_found, u"File not found: " + std::u16string(path));
        raise(errors::invalid_picture, u"Invalid picture");
    }
    return wrap(without_fourth_byte(std::move(picture)).query<IDispatch>().get());
}

Object ComEnvironment::create_application() { return create(CLSID_OutlookApplication); }

Object ComEnvironment::create_object(std::u16string_view progid) {
    auto known = classes_.find(progid);
    if (known == classes_.end()) {
        Class c{};
        std::wstring name = to_wide(progid);
        HRESULT hr = CLSIDFromProgID(name.c_str(), &c.clsid);
        if (FAILED(hr)) cannot_create(hr);
        // A class served from another process is left to CoCreateInstance, so that its
        // server is not kept running for a factory held here.
        if (FAILED(CoGetClassObject(c.clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                    c.in_process.put_void())))
            c.in_process.reset();
        known = classes_.emplace(std::u16string(progid), std::move(c)).first;
    }
    if (!known->second.in_process) return create(known->second.clsid);
    com_ptr<IDispatch> d;
    HRESULT hr = known->second.in_process->CreateInstance(nullptr, IID_IDispatch, d.put_void());
    if (FAILED(hr)) cannot_create(hr);
    return wrap(d.get());
}

int32_t ComEnvironment::message_box(std::u16string_view text, int32_t style, std::u16string_view title) {
    std::wstring t = to_wide(text), c = to_wide(title);
    // No owner window: the box is modal for all of the thread's windows instead.
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

std::unique_ptr<Library> ComEnvironment::load_library(std::u16string_view file) {
    std::wstring name = to_wide(file);
    unique_hmodule module(LoadLibraryW(name.c_str()));
    if (!module) return nullptr;
    return std::make_unique<ComLibrary>(std::move(module));
}

void* ComEnvironment::module_handle() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&CLSID_OutlookApplication), &module);
    return module;
}

void* ComEnvironment::raw_interface(const Object& o) { return interface_of(o).get(); }

}  // namespace host::com
