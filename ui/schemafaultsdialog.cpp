#include "ui/schemafaultsdialog.h"

#include <glibmm/convert.h>

#include "base/format.h"
#include "ui/lookup.h"

namespace velmora {

SchemaFaultsDialog::SchemaFaultsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , heading(lookup_widget<Gtk::Label>(xml, "schema_faults.heading"))
    , list(lookup_widget<Gtk::TextView>(xml, "schema_faults.list"))
{ }

void SchemaFaultsDialog::set_faults(unsigned files, const std::vector<std::string>& faults)
{
    heading->set_text(format("%u %s may not load in the game: %s the order or the content that the "
                             "game's schemas require.",
        files, files == 1 ? "file" : "files", files == 1 ? "it breaks" : "they break"));
    std::string text;
    for (const std::string& line : faults)
        text += line + "\n";
    // Record keys come from the parser in UTF-8; a file name from another
    // system may not be, and a text buffer takes UTF-8 only.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        text = Glib::convert(text, "UTF-8", "ISO-8859-1");
    list->get_buffer()->set_text(text);
}

} // namespace velmora
