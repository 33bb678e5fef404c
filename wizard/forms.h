#pragma once
// The five forms of the add-in, each a single process-wide instance.
#include <array>
#include <functional>

#include "wizard/form.h"

namespace wizard {

class WizardContext;  // wizard/wizard_context.h

// The two web addresses of the welcome page: the support form and the product's site.
inline constexpr std::u16string_view support_address = u"http://www.example.com/support/form.htm";
inline constexpr std::u16string_view site_address = u"http://www.example.com/quillamor/";

// A list run started by a page's Next. Empty: the engine's own run.
using Run = std::function<void(WizardContext&)>;

FormDesign design_frmStartUp();
FormDesign design_frmChoose();
FormDesign design_frmTitle();
FormDesign design_frmDone();
FormDesign design_frmPBar();

// A wizard page: a form whose handlers reach the wizard's context.
class Page : public Form {
public:
    Page(FormDesign design, ViewFactory& views, WizardContext& context)
        : Form(std::move(design), views), context_(context) {}

protected:
    // The Cancel action shared by the four pages.
    void cancel_wizard();
    // Starts the help viewer on a topic of the help file: `viewer` is the viewer's file name in
    // the Windows folder with what separates it from the file, `topic` what follows the file: "::/Topic.htm", the
    // topic named from the help file's root, the one form of address the viewer documents.
    void help(std::u16string_view viewer, std::u16string_view topic);
    // Opens the web address that a link label shows in a new browser window.
    void open_link(std::u16string_view label);
    // Runs a list (`run` when a test set it, else `engine_run`), with this page put away:
    // hidden, or `unloaded`. When the run stops part way, its progress window goes, the user
    // is told, and the page comes back (an unloaded one at the remembered spot) so that the
    // list can be tried again.
    void run_list(const Run& run, void (*engine_run)(WizardContext&), bool unloaded);

    WizardContext& context_;
};

// frmStartUp: the welcome page (welcome_page.cpp).
class FrmStartUp : public Page {
public:
    FrmStartUp(ViewFactory& v, WizardContext& c);

    void cmdStart_Click();   // Next: on to the work type page
    void cmdStop_Click();    // Cancel: closes the wizard
    void cmdHelp_Click();    // Help: the help file's topic of this page
    void lblAdres1_Click();  // the support form's link
    void lblAdres2_Click();  // the product site's link
};

// frmChoose: the work type page (work_type_page.cpp).
class FrmChoose : public Page {
public:
    FrmChoose(ViewFactory& v, WizardContext& c);

    void cmdOk_Click();        // Next: on to the name page, or straight into the quick run
    void cmdBack_Click();      // Back: to the welcome page
    void cmdCancel_Click();    // Cancel: closes the wizard
    void cmdHelp_Click();      // Help: the topic of the selected option
    void optDist_GotFocus();   // the custom list option: its description shown
    void optQuick_GotFocus();  // the quick list option: its description shown

    // Stands in for the quick run when set (tests watch the hand-over to the run with it).
    Run quick_run;
};

// frmTitle: the list name page (name_page.cpp).
class FrmTitle : public Page {
public:
    FrmTitle(ViewFactory& v, WizardContext& c);

    // The list name box, txtSubject.
    std::u16string subject() { return control(u"txtSubject").text; }
    void set_subject(std::u16string text) { set_text(u"txtSubject", std::move(text)); }

    void cmdOk_Click();        // Next: into the custom run
    void cmdBack_Click();      // Back: to the work type page, at this page's spot
    void cmdCancel_Click();    // Cancel: closes the wizard
    void cmdHelp_Click();      // Help: the help file's topic of this page
    void txtSubject_Change();  // the name box changed: Next only while it holds text

    // Stands in for the custom run when set (tests watch the hand-over to the run with it).
    Run custom_run;
};

// frmDone: the closing page (closing_page.cpp).
class FrmDone : public Page {
public:
    FrmDone(ViewFactory& v, WizardContext& c);

    void cmdOk_Click();      // Yes: back to the work type page for another list
    void cmdCancel_Click();  // No: closes the wizard
    void cmdHelp_Click();    // Help: the help file's topic of this page

protected:
    void Form_Load() override;  // opens at the remembered position, when there is one
};

// frmPBar: the progress window (progress_window.cpp). Max and Value are those of its bar,
// ProgressBar1.
class FrmPBar : public Form {
public:
    explicit FrmPBar(ViewFactory& v) : Form(design_frmPBar(), v) {}

    float Max() { return control(u"ProgressBar1").max; }
    void SetMax(float max) { set_max(u"ProgressBar1", max); }
    float Value() { return control(u"ProgressBar1").value; }
    void SetValue(float value) { set_value(u"ProgressBar1", value); }
};

struct Forms {
    Forms(ViewFactory& views, WizardContext& context)
        : frmStartUp(views, context), frmChoose(views, context), frmTitle(views, context),
          frmDone(views, context), frmPBar(views) {}

    FrmStartUp frmStartUp;
    FrmChoose frmChoose;
    FrmTitle frmTitle;
    FrmDone frmDone;
    FrmPBar frmPBar;

    // The five in the order above, for what visits each or looks one up by name.
    std::array<Form*, 5> all() { return {&frmStartUp, &frmChoose, &frmTitle, &frmDone, &frmPBar}; }
};

}  // namespace wizard
