#include "ui/statusdialog.h"

#include "ui/lookup.h"

namespace velmora {

StatusDialog::StatusDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , label(lookup_widget<Gtk::Label>(xml, "status.label"))
    , progress(lookup_widget<Gtk::ProgressBar>(xml, "status.progress"))
{ }

void StatusDialog::begin(const Glib::ustring& title, Gtk::Window& parent)
{
    set_title(title);
    set_transient_for(parent);
    label->set_text("");
    progress->set_fraction(0.0);
    show();
}

bool StatusDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
