#pragma once
// Everything outside the system that is not an object of the host's object models reaches
// the add-in through this one interface: objects created by ProgID, message boxes, starting a
// process, loading a library or a picture. The host application is not among them: the
// add-in uses only the one the host hands it at its connection (engine::RunContext).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/dispatch.h"
#include "host/support_log.h"

#if defined(_WIN32) && !defined(_WIN64)
#define QUILLAMOR_STDCALL __stdcall
#else
#define QUILLAMOR_STDCALL
#endif

namespace host {

// Message-box styles and answers the system uses.
inline constexpr int32_t vbOKOnly = 0;
inline constexpr int32_t vbYesNoCancel = 3;
inline constexpr int32_t vbYesNo = 4;
inline constexpr int32_t vbQuestion = 32;
inline constexpr int32_t vbExclamation = 48;
inline constexpr int32_t vbInformation = 64;
inline constexpr int32_t vbOK = 1;
inline constexpr int32_t vbCancel = 2;
inline constexpr int32_t vbYes = 6;
inline constexpr int32_t vbNo = 7;

inline constexpr std::u16string_view product_name = u"Quillamor";

// A loaded library; entry points are found by name.
class Library {
public:
    virtual ~Library() = default;
    virtual void* entry(const char* name) = 0;  // nullptr when the library has no such export
};

class Environment {
public:
    virtual ~Environment() = default;

    // A new object by ProgID; raises a Failure when the class is not registered.
    virtual Object create_object(std::u16string_view progid) = 0;

    // A modal message box; returns the button pressed (vbOK, vbYes, vbNo).
    virtual int32_t message_box(std::u16string_view text, int32_t style, std::u16string_view title) = 0;
    // Starts a command line as a new process in a normal, focused window; does not wait.
    virtual void start_process(std::u16string_view command_line) = 0;
    // Opens a web address with the program the system opens such addresses with (the user's
    // browser); does not wait. Raises a Failure when nothing can open it.
    virtual void open_address(std::u16string_view address) = 0;

    // Leaves a picture on the clipboard as the face of the command-bar buttons, where the
    // host's PasteFace takes it: the picture as a device-independent bitmap and, under the two
    // formats PasteFace reads, its face and its mask (the pixels of mask_colour, an OLE
    // colour, transparent). The clipboard is not emptied first. Raises 481 (invalid picture)
    // for no picture, one that is not a bitmap, or one without a bitmap handle.
    virtual void copy_button_face(const Object& picture, uint32_t mask_colour) = 0;

    // Loads a picture file into an automation picture object (Handle, hPal, Type); raises a
    // Failure when the file is missing or is not a picture.
    virtual Object load_picture(std::u16string_view path);

    // The full name of the file `name` in the folder of the add-in's own module, when there is
    // such a file; nothing otherwise. The files the add-in ships beside itself (the button
    // picture, the help file) are looked for there first, whatever folder it was installed to.
    virtual std::optional<std::u16string> installed_file(std::u16string_view name);

    // The user's list separator: what the host puts, with a space, between the names of an
    // item's categories and of the Categories dialog's answer. Nothing when it cannot be read.
    virtual std::optional<std::u16string> list_separator();

    // The folder Windows is installed in, shared by every user (where its help viewer is), as
    // the system names it: no backslash at the end unless it is a drive's root. Raises a
    // Failure when the system cannot tell.
    virtual std::u16string windows_folder() = 0;

    // A resource of the add-in's own file (raw data, by name); raises a Failure when there is
    // none.
    virtual std::string module_resource(std::u16string_view name);

    // Loads a library by file name through the platform's ordinary search; nullptr when
    // the file cannot be loaded.
    virtual std::unique_ptr<Library> load_library(std::u16string_view file) = 0;
    // The add-in's own module handle, as the service library expects it.
    virtual void* module_handle() = 0;
    // The raw interface pointer of a host object, for handing to native code.
    virtual void* raw_interface(const Object& o) = 0;

    // Told of every failure that reached the top of a user action, before the user sees it.
    virtual void failure_reached_top(const Failure&) {}

    // The support log: told of every failure the add-in goes on past (Shown::no) or shows
    // the user (Shown::yes). Writing it never fails and never shows anything.
    virtual void log_failure(const Failure&, Shown) noexcept {}
    // The host's version, for the log's lines: told once the add-in has read it.
    virtual void set_host_version(std::u16string_view) {}
};

// A file the add-in ships: beside the add-in's module when it is there, else `fallback`, the
// fixed folder earlier setups always installed to.
std::u16string shipped_file(Environment& env, std::u16string_view name, std::u16string_view fallback);

// Shows a "Quillamor" message box.
int32_t MsgBox(Environment& env, std::u16string_view text, int32_t style = vbOKOnly);

// Tells the user of a failure that ended a user action: a "Quillamor" message box with its
// number and description, recorded in the support log as shown.
void ReportFailure(Environment& env, const Failure& failure);

}  // namespace host
