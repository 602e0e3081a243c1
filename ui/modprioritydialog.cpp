#include "ui/modprioritydialog.h"

#include <glibmm/convert.h>

#include "ui/lookup.h"

namespace velmora {

ModPriorityDialog::ModPriorityDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , label(lookup_widget<Gtk::Label>(xml, "mod_prio.label"))
    , button1(lookup_widget<Gtk::Button>(xml, "mod_prio.button1"))
    , button2(lookup_widget<Gtk::Button>(xml, "mod_prio.button2"))
    , details(lookup_widget<Gtk::Expander>(xml, "mod_prio.details"))
    , details_text(lookup_widget<Gtk::TextView>(xml, "mod_prio.details_text"))
    , remember(lookup_widget<Gtk::CheckButton>(xml, "mod_prio.remember"))
{
    // Field values and script lines line up in a fixed-width font.
    details_text->modify_font(Pango::FontDescription("monospace"));
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

void ModPriorityDialog::set_details(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        // Script lines are the game's bytes, often ISO-8859-1; the toolkit takes UTF-8 only.
        const bool utf8 = g_utf8_validate(line.data(), static_cast<gssize>(line.size()), nullptr);
        text += (text.empty() ? "" : "\n") + (utf8 ? line : Glib::convert(line, "UTF-8", "ISO-8859-1"));
    }
    details_text->get_buffer()->set_text(text);
    details->set_expanded(false);
    if (lines.empty())
        details->hide();
    else
        details->show();
    remember->set_active(false);
}

bool ModPriorityDialog::get_remember() const { return remember->get_active(); }

void ModPriorityDialog::button1_clicked() { response(1); }

void ModPriorityDialog::button2_clicked() { response(2); }

bool ModPriorityDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
