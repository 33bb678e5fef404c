#pragma once
// ComEnvironment: the outside world of the add-in on Windows. The objects made by ProgID come
// through COM, the rest through the plain Windows calls.
#include <map>
#include <windows.h>

#include "host/com/com_ptr.h"
#include "host/environment.h"

namespace host::com {

class ComEnvironment : public Environment {
public:
    Object create_object(std::u16string_view progid) override;
    int32_t message_box(std::u16string_view text, int32_t style, std::u16string_view title) override;
    void start_process(std::u16string_view command_line) override;
    void open_address(std::u16string_view address) override;
    // The picture on the system's clipboard, with its face and mask (host/com/button_faces.h).
    void copy_button_face(const Object& picture, uint32_t mask_colour) override;
    // The system picture loader's picture object. A 32-bit bitmap comes back with its fourth
    // byte cleared (see load_picture in the source).
    Object load_picture(std::u16string_view path) override;
    std::unique_ptr<Library> load_library(std::u16string_view file) override;
    // The module this code is linked into: the add-in DLL (or a test program).
    void* module_handle() override;
    // The file beside the module this code is linked into (the add-in DLL), by the module's
    // own path: the folder it was installed to, whatever that is.
    std::optional<std::u16string> installed_file(std::u16string_view name) override;
    // The user's locale's list separator (the Region settings' "List separator").
    std::optional<std::u16string> list_separator() override;
    std::u16string windows_folder() override;
    // An RCDATA resource of the add-in's DLL.
    std::string module_resource(std::u16string_view name) override;
    // The object's IDispatch, without a reference of its own.
    void* raw_interface(const Object& o) override;
    // A line in the user's support log file (host/com/log_file.h).
    void log_failure(const Failure& failure, Shown shown) noexcept override;
    void set_host_version(std::u16string_view version) override { host_version_ = version; }

private:
    // The class of each ProgID once found, and the class factory of an in-process class: a
    // run creates a contact wrapper for every contact, and every look-up of a ProgID or a
    // class reads the registry anew. The factories go with the environment, which goes with
    // the add-in's last object.
    struct Class {
        CLSID clsid;
        com_ptr<IClassFactory> in_process;  // none: created through CoCreateInstance each time
    };
    std::map<std::u16string, Class, std::less<>> classes_;
    std::u16string host_version_ = u"?";
    std::optional<bool> detailed_;  // read at the first line, once for the add-in's life
};

}  // namespace host::com
