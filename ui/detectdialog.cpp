#include "ui/detectdialog.h"

#include <glibmm/markup.h>

#include "path/platform.h"
#include "ui/lookup.h"

namespace velmora {

DetectDialog::Columns::Columns()
{
    add(edition);
    add(found_in);
    add(civ4_dir);
    add(custom_assets_dir);
    add(mods);
    add(index);
}

DetectDialog::DetectDialog(GtkDialog* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Dialog(cobject)
    , label(lookup_widget<Gtk::Label>(xml, "detect.label"))
    , list(lookup_widget<Gtk::TreeView>(xml, "detect.list"))
{
    list->set_model(Gtk::ListStore::create(columns));
    list->append_column("Edition", columns.edition);
    list->append_column("Found in", columns.found_in);
    list->append_column("Game folder", columns.civ4_dir);
    list->append_column("Custom assets folder", columns.custom_assets_dir);
    list->append_column("Mods", columns.mods);
    for (Gtk::TreeViewColumn* column : list->get_columns())
        column->set_resizable(true);
    list->signal_row_activated().connect(sigc::mem_fun(*this, &DetectDialog::row_activated));
}

void DetectDialog::set_installs(const std::vector<GameInstall>& installs, const std::string& intro)
{
    label->set_markup(Glib::Markup::escape_text(intro));
    Glib::RefPtr<Gtk::ListStore> store = Glib::RefPtr<Gtk::ListStore>::cast_static(list->get_model());
    store->clear();
    for (std::size_t i = 0; i < installs.size(); ++i) {
        Gtk::TreeModel::Row row = *store->append();
        row[columns.edition] = installs[i].edition;
        row[columns.found_in] = installs[i].found_in;
        row[columns.civ4_dir] = platform::native(installs[i].civ4_dir);
        row[columns.custom_assets_dir] = installs[i].custom_assets_dir.empty()
            ? std::string("(set it in the preferences)")
            : platform::native(installs[i].custom_assets_dir);
        std::string mods;
        for (const FoundMod& mod : installs[i].mods)
            mods += (mods.empty() ? "" : ", ") + mod.name;
        row[columns.mods] = mods.empty() ? std::string("(none)") : mods;
        row[columns.index] = static_cast<int>(i);
    }
    choose(0);
}

int DetectDialog::chosen() const
{
    Gtk::TreeModel::iterator it = list->get_selection()->get_selected();
    return it ? static_cast<int>((*it)[columns.index]) : -1;
}

void DetectDialog::choose(int index)
{
    Glib::RefPtr<Gtk::TreeModel> model = list->get_model();
    for (Gtk::TreeModel::iterator it = model->children().begin(); it != model->children().end(); ++it)
        if ((*it)[columns.index] == index)
            list->get_selection()->select(it);
}

void DetectDialog::row_activated(const Gtk::TreeModel::Path&, Gtk::TreeViewColumn*) { response(Gtk::RESPONSE_OK); }

bool DetectDialog::on_delete_event(GdkEventAny*) { return true; }

} // namespace velmora
