#pragma once
// The five forms of the add-in, each a single process-wide instance.
#include <functional>

#include "wizard/form.h"

namespace addin {
struct ProcessState;
}

namespace wizard {

// The two web addresses of the welcome page: the support form and the product's site.
inline constexpr std::u16string_view support_address = u"http://www.example.com/support/form.htm";
inline constexpr std::u16string_view site_address = u"http://www.example.com/quillamor/";

// A list run started by a page's Next. Empty: the engine's own run.
using Run = std::function<void(addin::ProcessState&)>;

FormDesign design_frmStartUp();
FormDesign design_frmChoose();
FormDesign design_frmTitle();
FormDesign design_frmDone();
FormDesign design_frmPBar();

// A wizard page: a form whose handlers reach the add-in's process-wide state.
class Page : public Form {
public:
    Page(FormDesign design, ViewFactory& views, addin::ProcessState& state)
        : Form(std::move(design), views), state_(state) {}

protected:
    // The Cancel action shared by the four pages.
    void cancel_wizard();
    // Starts the help viewer on a command line.
    void help(std::u16string_view command_line);
    // Opens the web address that a link label shows in a new browser window.
    void open_link(std::u16string_view label);

    addin::ProcessState& state_;
};

class FrmStartUp : public Page {
public:
    FrmStartUp(ViewFactory& v, addin::ProcessState& s) : Page(design_frmStartUp(), v, s) {}

    void cmdStart_Click();
    void cmdStop_Click();
    void cmdHelp_Click();
    void lblAdres1_Click();
    void lblAdres2_Click();

protected:
    void on_click(std::u16string_view control) override;
};

class FrmChoose : public Page {
public:
    FrmChoose(ViewFactory& v, addin::ProcessState& s) : Page(design_frmChoose(), v, s) {}

    void cmdOk_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void optDist_GotFocus();
    void optQuick_GotFocus();

    // Stands in for the quick run when set (tests watch the hand-over to the run with it).
    Run quick_run;

protected:
    void on_click(std::u16string_view control) override;
    void on_got_focus(std::u16string_view control) override;
};

class FrmTitle : public Page {
public:
    FrmTitle(ViewFactory& v, addin::ProcessState& s) : Page(design_frmTitle(), v, s) {}

    // The list name box.
    std::u16string subject() { return control(u"txtSubject").text; }
    void set_subject(std::u16string text) { set_text(u"txtSubject", std::move(text)); }

    void cmdOk_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void txtSubject_Change();

    // Stands in for the custom run when set (tests watch the hand-over to the run with it).
    Run custom_run;

protected:
    void on_click(std::u16string_view control) override;
    void on_change(std::u16string_view control) override;
};

class FrmDone : public Page {
public:
    FrmDone(ViewFactory& v, addin::ProcessState& s) : Page(design_frmDone(), v, s) {}

    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

protected:
    void Form_Load() override;
    void on_click(std::u16string_view control) override;
};

class FrmPBar : public Form {
public:
    explicit FrmPBar(ViewFactory& v) : Form(design_frmPBar(), v) {}

    float Max() { return control(u"ProgressBar1").max; }
    void SetMax(float max) { set_max(u"ProgressBar1", max); }
    float Value() { return control(u"ProgressBar1").value; }
    void SetValue(float value) { set_value(u"ProgressBar1", value); }
};

struct Forms {
    Forms(ViewFactory& views, addin::ProcessState& state)
        : frmStartUp(views, state), frmChoose(views, state), frmTitle(views, state),
          frmDone(views, state), frmPBar(views) {}

    FrmStartUp frmStartUp;
    FrmChoose frmChoose;
    FrmTitle frmTitle;
    FrmDone frmDone;
    FrmPBar frmPBar;
};

}  // namespace wizard
