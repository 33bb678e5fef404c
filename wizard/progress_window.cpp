// frmPBar, the progress window that stands while a run fills a list. It has no handlers:
// the runs drive it through the wizard's run windows (wizard/run_windows.cpp).
#include "wizard/forms.h"

namespace wizard {

FormDesign design_frmPBar() {
    FormDesign d;
    d.name = u"frmPBar";
    d.caption = u"Creating in progress";
    d.client_width = 4020;
    d.client_height = 1065;
    d.centred = true;
    d.icon = u"progress.ico";

    Control text;
    text.name = u"Label1";
    text.kind = Kind::Label;
    text.text = u"Creating distribution list....";
    text.rect = {120, 240, 3735, 255};
    d.controls.push_back(text);

    Control bar;
    bar.name = u"ProgressBar1";
    bar.kind = Kind::ProgressBar;
    bar.rect = {120, 600, 3735, 255};
    bar.min = 0;
    bar.max = 100;
    bar.value = 0;
    d.controls.push_back(bar);
    return d;
}

}  // namespace wizard
