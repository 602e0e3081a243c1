#include "ui/schemafaultsdialog.h"

#include <glibmm/convert.h>

#include "base/format.h"
#include "ui/lookup.h"

namespace velmora {

SchemaFaultsDialog::SchemaFaultsDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , heading(lookup_widget<Gtk::Label>(xml, "schema_faults.heading"))
    , list(lookup_widget<Gtk::TextView>(xml, "schema_faults.list"))
    , list_scroll(lookup_widget<Gtk::Widget>(xml, "schema_faults.scroll"))
    , references_heading(lookup_widget<Gtk::Label>(xml, "schema_faults.references_heading"))
    , references(lookup_widget<Gtk::TextView>(xml, "schema_faults.references"))
    , references_scroll(lookup_widget<Gtk::Widget>(xml, "schema_faults.references_scroll"))
{ }

namespace {

void show_lines(Gtk::TextView& view, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    // Record keys come from the parser in UTF-8; a file name from another
    // system may not be, and a text buffer takes UTF-8 only.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        text = Glib::convert(text, "UTF-8", "ISO-8859-1");
    view.get_buffer()->set_text(text);
}

void show_section(bool shown, Gtk::Widget& heading, Gtk::Widget& scroll)
{
    if (shown) {
        heading.show();
        scroll.show();
    } else {
        heading.hide();
        scroll.hide();
    }
}

} // namespace

void SchemaFaultsDialog::set_faults(unsigned files, const std::vector<std::string>& faults)
{
    heading->set_text(format("%u %s may not load in the game: %s the order or the content that the "
                             "game's schemas require.",
        files, files == 1 ? "file" : "files", files == 1 ? "it breaks" : "they break"));
    show_lines(*list, faults);
    show_section(!faults.empty(), *heading, *list_scroll);
}

void SchemaFaultsDialog::set_references(const std::vector<std::string>& lines)
{
    const std::size_t n = lines.size();
    references_heading->set_text(format("%u %s nowhere: the game may stop while loading, show raw keys or fail "
                                        "when %s first used.",
        static_cast<unsigned>(n), n == 1 ? "name points" : "names point", n == 1 ? "it is" : "they are"));
    show_lines(*references, lines);
    show_section(n != 0, *references_heading, *references_scroll);
}

} // namespace velmora
