#include "ui/restoredialog.h"

#include <gtkmm/cellrenderertext.h>
#include <gtkmm/stock.h>

#include "base/human_text.h"

namespace velmora {

std::string build_mods_text(const BuildInfo& info)
{
    if (info.mods.empty())
        return "no mods";
    std::string text;
    for (const BuildMod& m : info.mods)
        text += (text.empty() ? "" : ", ") + m.name + (m.version.empty() ? "" : " " + m.version);
    return text;
}

RestoreDialog::Columns::Columns()
{
    add(built);
    add(profile);
    add(mods);
    add(disk);
}

RestoreDialog::RestoreDialog(Gtk::Window& parent)
    : Gtk::Dialog("Restore Previous Build", parent, true, true)
    , heading("", 0.0, 0.5)
{
    set_default_size(680, 250);
    set_border_width(6);
    heading.set_line_wrap(true);
    heading.set_size_request(600, -1);
    get_vbox()->set_spacing(8);
    get_vbox()->pack_start(heading, false, false);
    store = Gtk::ListStore::create(columns);
    list.set_model(store);
    list.append_column("Built", columns.built);
    list.append_column("Profile", columns.profile);
    list.append_column("Disk Use", columns.disk);
    list.append_column("Mods", columns.mods);
    for (int i = 0; i < 4; ++i)
        list.get_column(i)->set_resizable(true);
    // A long list of mods is cut short; its row's tooltip has it whole.
    Gtk::TreeViewColumn* mods = list.get_column(3);
    mods->set_expand(true);
    if (auto* text = dynamic_cast<Gtk::CellRendererText*>(mods->get_first_cell_renderer()))
        text->property_ellipsize() = Pango::ELLIPSIZE_END;
    list.set_tooltip_column(columns.mods.index());
    scroll.set_policy(Gtk::POLICY_NEVER, Gtk::POLICY_AUTOMATIC);
    scroll.set_shadow_type(Gtk::SHADOW_IN);
    scroll.add(list);
    get_vbox()->pack_start(scroll, true, true);
    add_button(Gtk::Stock::CANCEL, Gtk::RESPONSE_CANCEL);
    restore_button = add_button("_Restore", Gtk::RESPONSE_OK);
    restore_button->set_use_underline(true);
    set_default_response(Gtk::RESPONSE_OK);
    list.get_selection()->signal_changed().connect(
        [this] { restore_button->set_sensitive(get_chosen() != 0); });
    show_all_children();
}

void RestoreDialog::set_points(const std::vector<RestorePoint>& points)
{
    store->clear();
    for (const RestorePoint& p : points) {
        Gtk::TreeModel::Row row = *store->append();
        row[columns.built] = local_time_text(p.info.time ? p.info.time : p.replaced);
        row[columns.profile] = p.info.profile;
        row[columns.mods] = build_mods_text(p.info);
        row[columns.disk] = size_text(p.own_bytes) + " of " + size_text(p.bytes);
    }
    heading.set_text(points.empty()
            ? "There are no restore points yet: each apply keeps the build it replaces."
            : "Each apply keeps the build it replaces. Choose the build to put back in the custom assets folder; "
              "the build there now becomes a restore point itself. Disk use: what deleting it would free, of "
              "its files' total size.");
    restore_button->set_sensitive(false);
    if (!points.empty())
        choose(1);
}

void RestoreDialog::choose(unsigned n)
{
    if (n < 1 || n > store->children().size())
        return;
    Gtk::TreeModel::Path path;
    path.push_back(static_cast<int>(n - 1));
    list.get_selection()->select(path);
}

unsigned RestoreDialog::get_chosen() const
{
    Gtk::TreeModel::iterator it = const_cast<Gtk::TreeView&>(list).get_selection()->get_selected();
    if (!it)
        return 0;
    return static_cast<unsigned>(store->get_path(it)[0]) + 1;
}

std::vector<std::vector<std::string>> RestoreDialog::rows() const
{
    std::vector<std::vector<std::string>> out;
    for (const Gtk::TreeModel::Row& row : store->children())
        out.push_back({Glib::ustring(row[columns.built]), Glib::ustring(row[columns.profile]),
            Glib::ustring(row[columns.disk]), Glib::ustring(row[columns.mods])});
    return out;
}

} // namespace velmora
