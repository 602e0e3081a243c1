#include "ui/modprioritydialog.h"

#include "ui/lookup.h"

namespace velmora {

ModPriorityDialog::ModPriorityDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , label(lookup_widget<Gtk::Label>(xml, "mod_prio.label"))
    , button1(lookup_widget<Gtk::Button>(xml, "mod_prio.button1"))
    , button2(lookup_widget<Gtk::Button>(xml, "mod_prio.button2"))
{
    button1->signal_clicked().connect(sigc::mem_fun(*this, &ModPriorityDialog::button1_clicked));
    button2->signal_clicked().connect(sigc::mem_fun(*this, &ModPriorityDialog::button2_clicked));
}

void ModPriorityDialog::set_mod_names(const std::string& first, const std::string& second)
{
    // Mod names are shown as they are: an underscore is not a mnemonic here.
    button1->set_use_underline(false);
    button2->set_use_underline(false);
    button1->set_label(first);
    button2->set_label(second);
}

void ModPriorityDialog::set_prompt(const std::string& prompt) { label->set_text(prompt); }

void ModPriorityDialog::button1_clicked() { response(1); }

void ModPriorityDialog::button2_clicked() { response(2); }

bool ModPriorityDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
